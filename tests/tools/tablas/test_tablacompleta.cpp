#include "FixtureTablas.h"

#include "tools/TablaCompleta.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

class PruebaCompleta : public PruebaTablas {
protected:
    // The table's columns named, for one folio, "name=value" with null as "-", joined by blanks.
    QString Fila(const TablaCompleta &t, int folio, const QStringList &columnas)
    {
        QSqlQuery q = p.bd().Ejecuta("SELECT * FROM (" + t.Consulta() + ") WHERE Folio = ?", {folio});
        const bool hay = q.next();
        QStringList r;
        for (const QString &c : columnas)
            r << c + "=" + (!hay ? "<sin fila>" : q.value(c).isNull() ? "-" : q.value(c).toString());
        return r.join(' ');
    }
    QString Archivo(const char *ext) const { return Ruta(QStringLiteral("TablaCompletaVELMORAN.") + ext); }
};

TEST_F(PruebaCompleta, FamiliasConCodigosDistintosEnOrdenFijo)
{
    // Duplicate codes only where no key forbids them.
    p.Ejecuta("DROP TABLE D_Derechohabiencia");
    p.Ejecuta("CREATE TABLE D_Derechohabiencia (CLUES TEXT, Folio INTEGER, fechaAtencion TEXT, CodDerechohabiencia TEXT COLLATE NOCASE)");
    for (int folio = 1; folio <= 3; ++folio)
        Evento(folio, "2004-06-15");
    for (const char *c : {"2", "1", "2"})
        Detalle("D_Derechohabiencia", 1, {c});
    for (int c = 1; c <= 12; ++c)   // 12 distinct codes: columns up to Derhab012
        Detalle("D_Derechohabiencia", 2, {QString::number(c, 16).toUpper()});
    Detalle("D_Diagnosticos", 1, {"T07X", 2});
    Detalle("D_Diagnosticos", 1, {"S069", 1});
    Detalle("D_BajoEfectos", 3, {2, 3});   // aggressor only
    Detalle("D_BajoEfectos", 1, {1, 2});
    Detalle("D_BajoEfectos", 1, {1, 1});

    TablaCompleta t(p.bd());

    QStringList esperadas;
    for (int k = 1; k <= 12; ++k)
        esperadas << QStringLiteral("Derhab0%1").arg(k);
    EXPECT_EQ(t.ColumnasFamilias(), esperadas << "EfectoPaciente01" << "EfectoPaciente02" << "CIE10_01" << "CIE10_02" << "EfectoAgresor01");
    EXPECT_EQ(Fila(t, 1, {"Derhab01", "Derhab02", "Derhab03", "CIE10_01", "CIE10_02", "EfectoPaciente01", "EfectoPaciente02", "EfectoAgresor01"}),
              "Derhab01=1 Derhab02=2 Derhab03=- CIE10_01=S069 CIE10_02=T07X EfectoPaciente01=1 EfectoPaciente02=2 EfectoAgresor01=-");
    EXPECT_EQ(Fila(t, 2, {"Derhab09", "Derhab010", "Derhab012"}), "Derhab09=9 Derhab010=A Derhab012=C");
    EXPECT_EQ(Fila(t, 3, {"Derhab01", "EfectoPaciente01", "EfectoAgresor01", "CIE10_01"}),
              "Derhab01=- EfectoPaciente01=- EfectoAgresor01=3 CIE10_01=-");
}

// Without events only the event's columns and the two statistical ones; then
// the statistical month and year at their edges.
TEST_F(PruebaCompleta, SinEventosSoloLasColumnasDelEventoYMesYAnioEnSusBordes)
{
    {
        TablaCompleta t(p.bd());
        const QSqlRecord r = p.bd().Ejecuta(t.Consulta()).record();
        EXPECT_EQ(r.count(), p.bd().Conexion().record("D_EVENTO").count() + 2);
        EXPECT_EQ(r.fieldName(r.count() - 2) + "," + r.fieldName(r.count() - 1), "MES,ANIO_ESTADISTICO");
    }
    const char *const casos[][2] = {{"2004-12-26", "MES=ENERO ANIO_ESTADISTICO=2005"}, {"2004-12-25", "MES=DICIEMBRE ANIO_ESTADISTICO=2004"},
                                    {"2005-01-26", "MES=FEBRERO ANIO_ESTADISTICO=2005"}, {"2004-11-30", "MES=DICIEMBRE ANIO_ESTADISTICO=2004"}};
    for (int i = 0; i < 4; ++i)
        Evento(i + 1, casos[i][0]);
    TablaCompleta t(p.bd());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Fila(t, i + 1, {"MES", "ANIO_ESTADISTICO"}), casos[i][1]) << casos[i][0];
}

TEST_F(PruebaCompleta, BaseYLibroConLaMismaTablaSinTocarLaBaseDeTrabajo)
{
    Evento(1, "2004-12-26", {{"CodEstado", "09"}, {"FechaCaptura", "2004-12-27"}, {"FechaEdicion", "2004-12-28"}});
    Detalle("D_Derechohabiencia", 1, {"1"}, "2004-12-26");
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master");
    QStringList panel;   // the stages and counts, and when the work starts and ends
    p.ctx->PanelMensajes = [&](const QString &t) { panel << t; };
    p.ctx->TrabajoLargo = [&](bool empieza) { panel << (empieza ? "<empieza>" : "<termina>"); };

    p.ctx->TablaEnAccess = true;
    GeneraTablaCompleta(*p.ctx);
    const QString escribe = "Escribiendo la Tabla Completa en " + Archivo("db") + ": registros";
    EXPECT_EQ(panel, (QStringList{"<empieza>", "Generando la Tabla Completa: eventos", "Generando la Tabla Completa: eventos 0 de 1",
                                  "Generando la Tabla Completa: eventos 1 de 1", escribe, escribe + " 1 de 1", "Listo.....", "<termina>"}));
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"VELMORAN2016"});
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("db"));
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Archivo("db")});
    EXPECT_EQ(p.Filas("SELECT Clues, CodEstado, Derhab01, MES, ANIO_ESTADISTICO FROM salida.TablaVELMORANCompleta"),
              QStringList{"DFQRV000015|09|1|ENERO|2005"});
    // Every date is a date, every event column keeps its type.
    EXPECT_EQ(p.Filas("SELECT name || ' ' || type FROM pragma_table_info('TablaVELMORANCompleta', 'salida') WHERE name IN "
                      "('Folio', 'fechaAtencion', 'CodEstado', 'FechaCaptura', 'MES', 'ANIO_ESTADISTICO')"),
              (QStringList{"Folio INTEGER", "fechaAtencion DATE", "CodEstado TEXT(2)", "FechaCaptura DATE", "MES CHAR(12)",
                           "ANIO_ESTADISTICO CHAR(4)"}));
    p.Ejecuta("DETACH DATABASE salida");

    p.ctx->TablaEnAccess = false;
    GeneraTablaCompleta(*p.ctx);
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("xlsx"));
    const QString hoja = ParteZip(Archivo("xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(ParteZip(Archivo("xlsx"), "xl/workbook.xml").contains("<sheet name=\"TablaVELMORAN\""));
    EXPECT_TRUE(hoja.contains("<is><t>09</t></is>"));   // the state code stays text
    EXPECT_TRUE(hoja.contains(QRegularExpression("<c r=\"C2\" s=\"\\d+\"><v>38347</v>")));   // 26/12/2004
    EXPECT_EQ(hoja.count(QRegularExpression("s=\"\\d+\"><v>3834[89]</v>")), 2);   // days of capture and edition
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master"), tablas);
}

TEST_F(PruebaCompleta, UnaFallaSeMuestraEnLugarDelMensajeDeExito)
{
    Evento(1, "2004-06-15");
    QDir(p.Carpeta()).mkdir("TablaCompletaVELMORAN.xlsx");   // a folder stands where the file goes
    GeneraTablaCompleta(*p.ctx);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
    EXPECT_FALSE(p.mensajes.Ultimo().startsWith("Puede revisar"));
}

} // namespace
