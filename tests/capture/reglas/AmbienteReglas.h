#pragma once

#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>

using Textos = QList<QPair<int, QString>>;

// The field rules of a sheet adding a new event on the template catalogs.
class AmbienteReglas : public ::testing::Test, public HojaEnBase {
protected:
    AmbienteReglas()
    {
        Vida().BotonPulsado(5);
        focos.clear();
    }
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
    void Espera(const Textos &textos, const QList<int> &abiertos = {}, const QList<int> &cerrados = {})
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

    HojaDatos &hoja = Hoja();
    ReglasCampos *reglas = &Reg().reglas;
};
