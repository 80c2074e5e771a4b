#include "FixtureTablas.h"

#include "tools/TablaCompleta.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {

class PruebaCompleta : public PruebaTablas {
protected:
    // The table's columns named, for one folio, "name=value" with null as "<null>".
    QStringList Fila(const TablaCompleta &t, int folio, const QStringList &columnas)
    {
        QStringList r;
        QSqlQuery q = p.bd().Ejecuta("SELECT * FROM (" + t.Consulta() + ") WHERE Folio = ?", {folio});
        if (!q.next())
            return {"<sin fila>"};
        for (const QString &c : columnas)
            r << c + "=" + (q.value(c).isNull() ? QString("<null>") : q.value(c).toString());
        return r;
    }
};

TEST_F(PruebaCompleta, FamiliasConCodigosDistintosEnOrdenFijo)
{
    // Duplicate codes only where no key forbids them.
    p.Ejecuta("CREATE TABLE D_Dup AS SELECT * FROM D_Derechohabiencia");
    p.Ejecuta("DROP TABLE D_Derechohabiencia");
    p.Ejecuta("CREATE TABLE D_Derechohabiencia (CLUES TEXT, Folio INTEGER, fechaAtencion TEXT, "
              "CodDerechohabiencia TEXT COLLATE NOCASE)");
    Evento(1, "2004-06-15");
    Evento(2, "2004-06-15");
    Evento(3, "2004-06-15");
    for (const char *c : {"2", "1", "2"})
        Detalle("D_Derechohabiencia", 1, {c});
    for (int c = 1; c <= 12; ++c)   // 12 distinct codes: columns up to Derhab012
        Detalle("D_Derechohabiencia", 2, {QString::number(c, 16).toUpper()});
    Detalle("D_Diagnosticos", 1, {"T07X", 2});
    Detalle("D_Diagnosticos", 1, {"S069", 1});
    Detalle("D_BajoEfectos", 3, {2, 3});      // aggressor only
    Detalle("D_BajoEfectos", 1, {1, 2});
    Detalle("D_BajoEfectos", 1, {1, 1});

    TablaCompleta t(p.bd());

    QStringList derhab;
    for (int k = 1; k <= 12; ++k)
        derhab << QStringLiteral("Derhab0%1").arg(k);
    QStringList esperadas = derhab;
    esperadas << "EfectoPaciente01" << "EfectoPaciente02" << "CIE10_01" << "CIE10_02" << "EfectoAgresor01";
    EXPECT_EQ(t.ColumnasFamilias(), esperadas);
    EXPECT_EQ(Fila(t, 1, {"Derhab01", "Derhab02", "Derhab03", "CIE10_01", "CIE10_02", "EfectoPaciente01",
                          "EfectoPaciente02", "EfectoAgresor01"}),
              QStringList({"Derhab01=1", "Derhab02=2", "Derhab03=<null>", "CIE10_01=S069", "CIE10_02=T07X",
                           "EfectoPaciente01=1", "EfectoPaciente02=2", "EfectoAgresor01=<null>"}));
    EXPECT_EQ(Fila(t, 2, {"Derhab09", "Derhab010", "Derhab012"}),
              QStringList({"Derhab09=9", "Derhab010=A", "Derhab012=C"}));
    EXPECT_EQ(Fila(t, 3, {"Derhab01", "EfectoPaciente01", "EfectoAgresor01", "CIE10_01"}),
              QStringList({"Derhab01=<null>", "EfectoPaciente01=<null>", "EfectoAgresor01=3", "CIE10_01=<null>"}));
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_temp_master WHERE type = 'table'").size(), 4);
}

TEST_F(PruebaCompleta, MesYAnioEstadisticosEnSusBordes)
{
    const char *const casos[][3] = {{"2004-12-26", "ENERO", "2005"}, {"2004-12-25", "DICIEMBRE", "2004"},
                                    {"2005-01-26", "FEBRERO", "2005"}, {"2005-01-01", "ENERO", "2005"},
                                    {"2004-11-30", "DICIEMBRE", "2004"}};
    int folio = 0;
    for (const auto &c : casos)
        Evento(++folio, c[0]);
    TablaCompleta t(p.bd());
    folio = 0;
    for (const auto &c : casos)
        EXPECT_EQ(Fila(t, ++folio, {"MES", "ANIO_ESTADISTICO"}),
                  QStringList({QString("MES=") + c[1], QString("ANIO_ESTADISTICO=") + c[2]})) << c[0];
}

TEST_F(PruebaCompleta, SinEventosSoloLasColumnasDelEventoYLasEstadisticas)
{
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master ORDER BY name");
    {
        TablaCompleta t(p.bd());
        QSqlQuery q = p.bd().Ejecuta(t.Consulta());
        EXPECT_FALSE(q.next());
        const QSqlRecord r = q.record();
        EXPECT_EQ(r.count(), p.bd().Conexion().record("D_EVENTO").count() + 2);
        EXPECT_EQ(r.fieldName(r.count() - 2) + "," + r.fieldName(r.count() - 1), "MES,ANIO_ESTADISTICO");
        EXPECT_TRUE(t.ColumnasFamilias().isEmpty());
    }
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master ORDER BY name"), tablas);
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_temp_master"), QStringList());
}

} // namespace
