#pragma once

#include "capture/ReglasCampos.h"
#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>
#include <memory>

// Sends each field change to the rules, as the sheet's one handler does.
class ManejadorPrueba : public ManejadorHoja {
public:
    ReglasCampos *reglas = nullptr;
    void CampoCambiado(int indice) override
    {
        if (reglas)
            reglas->CampoCambiado(indice);
    }
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
    void Escribe(const QList<QPair<int, QString>> &textos)
    {
        for (const auto &t : textos)
            hoja.PonTexto(t.first, t.second);
    }
    MensajesFalsos &Mensajes() { return prog.mensajes; }
    QStringList Marcados(ListaHoja lista) const { return hoja.CodigosMarcados(lista); }

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
