#pragma once

#include "comun/ProgramaTemporal.h"
#include "catalogs/CatalogoNavegable.h"
#include "comun/Teclado.h"
#include "platform/BaseDatos.h"

#include <QList>
#include <QStringList>
#include <QVariantList>
#include <gtest/gtest.h>

// Replaces a table's rows.
inline void Inserta(const BaseDatos &bd, const QString &tabla, const QList<QVariantList> &filas)
{
    bd.EjecutaAccion(QStringLiteral("DELETE FROM %1").arg(tabla));
    for (const QVariantList &f : filas) {
        const QStringList marcas(f.size(), QStringLiteral("?"));
        bd.EjecutaAccion(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, marcas.join(QLatin1Char(','))), f);
    }
}

// Known small catalogs in place of the template's.
inline void LlenaCatalogos(const BaseDatos &bd)
{
    Inserta(bd, "cEstados",
            {{"01", "AGUASCALIENTES"}, {"09", "CIUDAD DE MÉXICO"}, {"12", "GUERRERO"}, {"15", "MÉXICO"},
             {"16", "MICHOACÁN"}, {"19", "NUEVO LEÓN"}});
    Inserta(bd, "cJurisdicciones",
            {{"09", "01", "CUAUHTEMOC"}, {"09", "02", "IZTAPALAPA"}, {"15", "01", "TOLUCA"}, {"15", "02", "ECATEPEC"},
             {"16", "01", "MORELIA"}});
    Inserta(bd, "cMunicipios",
            {{"09", "002", "AZCAPOTZALCO", "01"}, {"15", "001", "ACAMBAY", "01"}, {"15", "058", "NEZAHUALCÓYOTL", "02"}});
    Inserta(bd, "cLocalidades",
            {{"09", "002", "0001", "AZCAPOTZALCO"}, {"15", "001", "0001", "ACAMBAY"},
             {"15", "001", "0010", "PEÑA BLANCA"}, {"15", "002", "0001", "ACOLMAN"},
             {"16", "001", "0001", "ACUITZIO DEL CANJE"}});
    // Clues, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CVERCVE, CINSCVE, CTUNCVE, CCOMCVE, DomUnidad, CP, Corta
    auto unidad = [](const char *clues, const char *nombre, const char *edo, const char *tun) {
        return QVariantList{clues, nombre, edo, "01", "002", "0001", "36", "1", tun, "001", "AV. UNO 1", "01000", "N"};
    };
    Inserta(bd, "CATCLUES",
            {unidad("DFSSA000011", "CENTRO DE SALUD T-III PEÑÓN", "09", "C"),
             unidad("MCSSA000022", "HOSPITAL GENERAL 50% & ANEXO", "15", "H"),
             unidad("MCSSA000033", "CENTRO DE SALUD ACOLMAN", "15", "C")});
}

// The passing rows as their columns `columnas` joined by '-', e.g. "15-001".
inline QStringList Visibles(const CatalogoNavegable &c, const QList<int> &columnas = {0})
{
    QStringList r;
    for (int f = 0; f < c.Lista().Cantidad(); ++f) {
        QStringList partes;
        for (int col : columnas)
            partes << c.Lista().Texto(f, col);
        r << partes.join(QLatin1Char('-'));
    }
    return r;
}

inline QString Actual(const CatalogoNavegable &c, const QList<int> &columnas = {0})
{
    QStringList partes;
    for (int col : columnas)
        partes << c.TextoActual(col);
    return partes.join(QLatin1Char('-'));
}

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
