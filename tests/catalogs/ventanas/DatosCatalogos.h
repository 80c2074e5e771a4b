#pragma once

#include "comun/ProgramaTemporal.h"
#include "comun/Teclado.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <gtest/gtest.h>

class CatalogoNavegable;

// Replaces a table's rows.
void Inserta(const BaseDatos &bd, const QString &tabla, const QList<QVariantList> &filas);

// Known small catalogs in place of the template's.
void LlenaCatalogos(const BaseDatos &bd);

// The passing rows as their columns `columnas` joined by '-', e.g. "15-001".
QStringList Visibles(const CatalogoNavegable &c, const QList<int> &columnas = {0});
QString Actual(const CatalogoNavegable &c, const QList<int> &columnas = {0});

// A fresh program folder with the small catalogs.
class PruebaCatalogos : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        LlenaCatalogos(p.bd());
    }

    ProgramaTemporal p;
};
