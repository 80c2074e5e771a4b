#include "FixtureTablas.h"

#include "tools/TablaCompleta.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QFileInfo>
#include <QRegularExpression>

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
}

// Without events only the event's columns and the two statistical ones; then
// the statistical month and year at their edges.
TEST_F(PruebaCompleta, SinEventosSoloLasColumnasDelEventoYMesYAnioEnSusBordes)
{
    {
        TablaCompleta t(p.bd());
        QSqlQuery q = p.bd().Ejecuta(t.Consulta());
        EXPECT_FALSE(q.next());
        const QSqlRecord r = q.record();
        EXPECT_EQ(r.count(), p.bd().Conexion().record("D_EVENTO").count() + 2);
        EXPECT_EQ(r.fieldName(r.count() - 2) + "," + r.fieldName(r.count() - 1), "MES,ANIO_ESTADISTICO");
        EXPECT_TRUE(t.ColumnasFamilias().isEmpty());
    }
    const char *const casos[][3] = {{"2004-12-26", "ENERO", "2005"}, {"2004-12-25", "DICIEMBRE", "2004"},
                                    {"2005-01-26", "FEBRERO", "2005"}, {"2005-01-01", "ENERO", "2005"},
                                    {"2004-11-30", "DICIEMBRE", "2004"}, {"2004-02-29", "MARZO", "2004"}};
    int folio = 0;
    for (const auto &c : casos)
        Evento(++folio, c[0]);
    TablaCompleta t(p.bd());
    folio = 0;
    for (const auto &c : casos)
        EXPECT_EQ(Fila(t, ++folio, {"MES", "ANIO_ESTADISTICO"}),
                  QStringList({QString("MES=") + c[1], QString("ANIO_ESTADISTICO=") + c[2]})) << c[0];
}

} // namespace

namespace {

class PruebaSalidaCompleta : public PruebaTablas {
protected:
    QString Archivo(const char *ext) const { return Ruta(QStringLiteral("TablaCompletaVELMORAN.") + ext); }
    void Genera(bool enBase)
    {
        p.ctx->TablaEnAccess = enBase;
        GeneraTablaCompleta(*p.ctx);
    }
};

TEST_F(PruebaSalidaCompleta, BaseYLibroConLaMismaTablaSinTocarLaBaseDeTrabajo)
{
    Evento(1, "2004-12-26", {{"CodEstado", "09"}, {"FechaCaptura", "2004-12-27"}, {"FechaEdicion", "2004-12-28"}});
    Detalle("D_Derechohabiencia", 1, {"1"}, "2004-12-26");
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master ORDER BY name");
    QStringList panel;   // the stages and counts, and when the work starts and ends
    p.ctx->PanelMensajes = [&](const QString &t) { panel << t; };
    p.ctx->TrabajoLargo = [&](bool empieza) { panel << (empieza ? "<empieza>" : "<termina>"); };

    Genera(true);
    const QString escribe = "Escribiendo la Tabla Completa en " + Archivo("db") + ": registros";
    EXPECT_EQ(panel, (QStringList{"<empieza>", "Generando la Tabla Completa: eventos", "Generando la Tabla Completa: eventos 0 de 1",
                                  "Generando la Tabla Completa: eventos 1 de 1", escribe, escribe + " 1 de 1", "Listo.....",
                                  "<termina>"}));
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"VELMORAN2016"});
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("db"));
    EXPECT_EQ(p.mensajes.cajas.value(0).icono, Mensajes::Icono::Ninguno);
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Archivo("db")});
    EXPECT_EQ(p.Filas("SELECT Clues, CodEstado, Derhab01, MES, ANIO_ESTADISTICO FROM salida.TablaVELMORANCompleta"),
              QStringList{"DFQRV000015|09|1|ENERO|2005"});
    // Every date is a date, every event column keeps its type.
    EXPECT_EQ(p.Filas("SELECT name || ' ' || type FROM pragma_table_info('TablaVELMORANCompleta', 'salida') WHERE name IN "
                      "('Folio', 'fechaAtencion', 'CodEstado', 'FechaCaptura', 'FechaEdicion', 'MES', 'ANIO_ESTADISTICO')"),
              (QStringList{"Folio INTEGER", "fechaAtencion DATE", "CodEstado TEXT(2)", "FechaCaptura DATE",
                           "FechaEdicion DATE", "MES CHAR(12)", "ANIO_ESTADISTICO CHAR(4)"}));
    p.Ejecuta("DETACH DATABASE salida");

    Genera(false);
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("xlsx"));
    EXPECT_TRUE(QFileInfo::exists(Archivo("db")));
    const QString hoja = ParteZip(Archivo("xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(ParteZip(Archivo("xlsx"), "xl/workbook.xml").contains("<sheet name=\"TablaVELMORAN\""));
    EXPECT_TRUE(hoja.contains("<is><t>09</t></is>"));                     // the state code stays text
    EXPECT_TRUE(hoja.contains(QRegularExpression("<c r=\"C2\" s=\"\\d+\"><v>38347</v>")));   // 26/12/2004
    EXPECT_EQ(hoja.count(QRegularExpression("s=\"\\d+\"><v>3834[89]</v>")), 2);   // days of capture and edition
    EXPECT_FALSE(hoja.contains("<t>2004-12-2"));
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master ORDER BY name"), tablas);
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_temp_master"), QStringList());
}

TEST_F(PruebaSalidaCompleta, UnaFallaSeMuestraEnLugarDelMensajeDeExito)
{
    Evento(1, "2004-06-15");
    QDir(p.Carpeta()).mkdir("TablaCompletaVELMORAN.xlsx");   // a folder stands where the file goes

    Genera(false);

    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
    EXPECT_FALSE(p.mensajes.Ultimo().startsWith("Puede revisar"));
    EXPECT_TRUE(QFileInfo(Archivo("xlsx")).isDir());
}

} // namespace
