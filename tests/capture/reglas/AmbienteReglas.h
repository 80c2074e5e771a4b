#pragma once

#include "capture/ReglasCampos.h"
#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>
#include <memory>

using Textos = QList<QPair<int, QString>>;

// Sends each field change to the rules, as the sheet's one handler does.
class ManejadorPrueba : public ManejadorHoja {
public:
    ReglasCampos *reglas = nullptr;
    void CampoCambiado(int indice) override { reglas->CampoCambiado(indice); }
    void FechaCambiada(int) override {}
};

// A sheet on a fresh database with a few catalog rows of its own, the rules
// alone on it with pick-lists that only note that they were opened, and the
// sheet adding a new event with its dependent fields closed.
class AmbienteReglas : public ::testing::Test {
protected:
    AmbienteReglas();
    ~AmbienteReglas() override { hoja.AsignaManejador(nullptr); }

    // Writes the texts in the order given, each running its change handling.
    void Escribe(const Textos &textos)
    {
        for (const auto &t : textos)
            hoja.PonTexto(t.first, t.second);
    }
    // Leaves a field holding `texto`; returns what it holds afterwards.
    QString Sale(int campo, const QString &texto)
    {
        hoja.HabilitaCampo(campo, true);
        hoja.PonTexto(campo, texto);
        reglas->SaleCampo(campo);
        return hoja.Texto(campo);
    }
    // Expects the texts and the enabled state of fields.
    void Espera(const Textos &textos, const QList<int> &abiertos, const QList<int> &cerrados)
    {
        for (const auto &[c, t] : textos)
            EXPECT_EQ(hoja.Texto(c), t) << "texto de " << c;
        for (int c : abiertos + cerrados)
            EXPECT_EQ(hoja.CampoHabilitado(c), abiertos.contains(c)) << "habilitado " << c;
    }
    void EsperaLista(ListaHoja lista, bool abierta, const QStringList &marcados)
    {
        EXPECT_EQ(hoja.CodigosMarcados(lista) << QString::number(hoja.ListaHabilitada(lista)), marcados + QStringList{QString::number(abierta)}) << int(lista);
    }
    MensajesFalsos &Mensajes() { return prog.mensajes; }

    ProgramaTemporal prog;
    HojaDatos hoja;
    ManejadorPrueba manejador;
    QStringList abiertas;           // pick-lists opened, "Nombre(argumentos)"
    QStringList focos;              // focus requests of the sheet
    ListasSeleccion listas = ListasQueAnotan(abiertas);
    std::unique_ptr<ReglasCampos> reglas;
    int consultasClave = 0;         // duplicate-key tests run
    bool claveDuplicada = false;    // their answer
};
