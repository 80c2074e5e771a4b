#pragma once

#include "comun/ProgramaTemporal.h"
#include "comun/Teclado.h"
#include "lookups/CamposDestino.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QWidget>
#include <gtest/gtest.h>

class BaseDatos;

// Known catalog contents for the pick-list tests, in place of the template's.
void LlenaCatalogos(const BaseDatos &bd);
// `cuantas` health units of state 36 ("CLSSA000001" ...) besides the fixed ones.
void AgregaUnidades(const BaseDatos &bd, int cuantas);

// A destination that records what the pick-lists write and focus.
class DestinoFalso : public CamposDestino {
public:
    QString Texto(int indice) const override { return textos.value(indice); }
    void PonTexto(int indice, const QString &texto) override { textos[indice] = texto; escritos << qMakePair(indice, texto); }
    bool Editable(int indice) const override { return !bloqueados.contains(indice); }
    void Enfoca(int indice) override { enfocados << indice; }

    QMap<int, QString> textos;
    QList<QPair<int, QString>> escritos;
    QSet<int> bloqueados;
    QList<int> enfocados;
};

// A program folder with the catalogs filled and a destination.
class PruebaListas : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        LlenaCatalogos(p.ctx->ConexionBD);
    }
    const BaseDatos &bd() const { return p.bd(); }

    ProgramaTemporal p;
    DestinoFalso destino;
};

