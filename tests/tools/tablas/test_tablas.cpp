#include "comun/ProgramaTemporal.h"
#include "platform/ExportaTabla.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <functional>
#include <gmock/gmock.h>
#include <zip.h>

namespace {

// The parts of a zip package.
QStringList PartesZip(const QString &ruta)
{
    QStringList partes;
    if (zip_t *z = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, nullptr)) {
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            partes << QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0));
        zip_discard(z);
    }
    return partes;
}

QStringList Todos(const QString &texto, const QString &patron)
{
    QStringList r;
    for (auto it = QRegularExpression(patron).globalMatch(texto); it.hasNext();)
        r << it.next().captured(1);
    return r;
}
QString Uno(const QString &texto, const QString &patron)
{
    return Todos(texto, patron).value(0);
}

// Every part has a content type, every relationship reaches a part, and the
// pivot table, its cache and the workbook agree on ids, counts and fields.
void CompruebaPartes(const QString &libro)
{
    const QStringList partes = PartesZip(libro);
    const QString tipos = ParteZip(libro, "[Content_Types].xml");
    for (const QString &parte : partes) {
        EXPECT_TRUE(tipos.contains("PartName=\"/" + parte + "\"") || tipos.contains("Extension=\"" + QFileInfo(parte).suffix() + "\""))
            << parte.toStdString();
        const QString base = QFileInfo(QFileInfo(parte).path()).path();   // the folder above _rels
        for (const QString &destino : parte.endsWith(".rels") ? Todos(ParteZip(libro, parte), "Target=\"([^\"]+)\"") : QStringList()) {
            const QString completo = destino.startsWith('/') ? destino.mid(1) : QDir::cleanPath((base == "." ? QString() : base + "/") + destino);
            EXPECT_TRUE(partes.contains(completo)) << parte.toStdString() << " -> " << completo.toStdString();
        }
    }
    const QString cache = ParteZip(libro, "xl/pivotCache/pivotCacheDefinition1.xml");
    const QString tabla = ParteZip(libro, "xl/pivotTables/pivotTable1.xml");
    const QString wb = ParteZip(libro, "xl/workbook.xml");
    EXPECT_EQ(Uno(wb, "<pivotCache cacheId=\"(\\d+)\""), Uno(tabla, "cacheId=\"(\\d+)\""));
    EXPECT_TRUE(ParteZip(libro, "xl/_rels/workbook.xml.rels").contains("Id=\"" + Uno(wb, "<pivotCache cacheId=\"\\d+\" r:id=\"(\\w+)\"")
        + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/pivotCacheDefinition\""));
    EXPECT_TRUE(cache.contains("refreshOnLoad=\"1\""));
    const QStringList campos = Todos(cache, "<cacheField name=\"([^\"]+)\"");
    EXPECT_EQ(QStringList({QString::number(campos.size()), Uno(cache, "<cacheFields count=\"(\\d+)\""), Uno(tabla, "<pivotFields count=\"(\\d+)\""),
                           QString::number(Todos(tabla, "<pivotField[ >/]").size())}), QStringList(4, "46"));
    EXPECT_EQ(campos.value(Uno(tabla, "<rowFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "UNIDAD");
    EXPECT_EQ(campos.value(Uno(tabla, "<colFields count=\"1\"><field x=\"(\\d+)\"").toInt()), "MES");
    EXPECT_EQ(campos.value(Uno(tabla, "<dataField name=\"Sum of CONTADOR\" fld=\"(\\d+)\"").toInt()), "CONTADOR");
    // Each axis: its items are the shared items plus the subtotal; its lines the items plus the total.
    const QStringList compartidos = Todos(cache, "<sharedItems[^/>]* count=\"(\\d+)\"");
    QStringList lineas;
    for (const QString &n : compartidos)
        lineas << QString::number(n.toInt() + 1);
    EXPECT_EQ(Todos(tabla, "<items count=\"(\\d+)\""), lineas);
    EXPECT_EQ(Todos(tabla, "<(?:row|col)Items count=\"(\\d+)\""), lineas);
}

// A working database with hand-made events, and readers for the outputs.
class PruebaTablas : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase(); }

    // One event of unit `clues`; `campos` sets further D_EVENTO columns.
    void Evento(int folio, const QString &fecha, QVariantMap campos = {}, const QString &clues = "DFQRV000015")
    {
        campos.insert("Clues", clues);
        campos.insert("Folio", folio);
        campos.insert("fechaAtencion", fecha);
        p.Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (%2)")
                      .arg(campos.keys().join(','), QStringLiteral("?,").repeated(campos.size()).chopped(1)),
                  campos.values());
    }
    // A detail row of event `folio` (same unit and date as made by Evento).
    void Detalle(const QString &tabla, int folio, const QVariantList &codigos, const QString &fecha = "2004-06-15")
    {
        const QVariantList v = QVariantList{QStringLiteral("DFQRV000015"), folio, fecha} + codigos;
        p.Ejecuta(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, QStringLiteral("?,").repeated(v.size()).chopped(1)), v);
    }
    QString Ruta(const QString &relativa) const { return QDir(p.Carpeta()).filePath(relativa); }
    QString Base() const { return Ruta("Datos/DinamicaVELMORAN.db"); }
    QString Libro() const { return Ruta("TablaDinamicaVELMORAN.xlsx"); }
    QString Archivo(const char *ext) const { return Ruta(QStringLiteral("TablaCompletaVELMORAN.") + ext); }
    // The inline text or the number of each cell, joined by '|'.
    QString Celdas(int hoja, const QStringList &refs) const
    {
        const QString xml = ParteZip(Libro(), QStringLiteral("xl/worksheets/sheet%1.xml").arg(hoja));
        QStringList r;
        for (const QString &ref : refs)
            r << Uno(xml, "<c r=\"" + ref + "\"[^>]*>(?:<is><t[^>]*>|<v>)([^<]*)<");
        return r.join('|');
    }
    // The range the pivot table reads from its data sheet.
    QString Origen() const { return Uno(ParteZip(Libro(), "xl/pivotCache/pivotCacheDefinition1.xml"), "<worksheetSource ref=\"([^\"]+)\""); }

    ProgramaTemporal p;
};

struct CasoRegla {
    const char *nombre;
    QVariantMap evento;   // D_EVENTO columns of the case's event
    const char *columna;  // the D_EVENTO_DAT column
    const char *esperado;
    const char *clues = "DFQRV000015";
};

// Each rule on an event of its own; catalogs and details copied with their descriptions.
TEST_F(PruebaTablas, CadaReglaDeReescrituraDaSuValorSinTocarLaBaseDeTrabajo)
{
    p.Ejecuta("INSERT INTO cVez VALUES (0, 'CERO')");
    const CasoRegla casos[] = {
        // place rule: code, hyphen, description; null without a catalog row
        {"lugar_ocurrencia", {{"CodEstado", "09"}, {"CodMunicipio", "003"}, {"CodLocalidad", "0001"}}, "LOC_OCU", "0001-COYOACAN"},
        {"municipio_ocurrencia", {{"CodEstado", "09"}, {"CodMunicipio", "003"}}, "MPO_OCU", "003-COYOACAN"},
        {"estado_ocurrencia", {{"CodEstado", "09"}}, "ENT_OCU", "09-CIUDAD DE MEXICO"},
        {"localidad_inexistente", {{"CodEstado", "09"}, {"CodMunicipio", "003"}, {"CodLocalidad", "9998"}}, "LOC_OCU", "<null>"},
        {"estado_de_atencion", {}, "EDO_ATEN", "09-CIUDAD DE MEXICO"},
        {"unidad_fuera_del_catalogo", {}, "UNIDAD", "<null>", "ZZZZZ999999"},
        // code rule
        {"codigo_descrito", {{"CodSexo", 2}}, "SEXO", "MUJER"},
        {"codigo_inexistente_en_blanco", {{"CodSexo", 7}}, "SEXO", "<null>"},
        {"codigo_nulo_en_blanco", {}, "ESCOLARIDAD", "<null>"},
        {"codigo_vacio_se_busca_como_cero", {}, "VEZ", "CERO"},
        // ICD-10 rule
        {"afeccion_descrita", {{"CodAfecprin", "T07X"}}, "AFECPRIN", "T07X TRAUMATISMOS MULTIPLES, NO ESPECIFICADOS"},
        {"afeccion_inexistente_codigo_y_blanco", {{"CodAfecprin", "Q999"}}, "AFECPRIN", "Q999 "},
        {"afeccion_vacia_un_blanco", {}, "AFECPRIN", " "},
        {"causa_externa_inexistente_nula", {{"CodCausaExt", "Q999"}}, "CAUSAEXT", "<null>"},
        // age groups
        {"edad_cero_cualquier_unidad", {{"CodClaveEdad", 9}, {"Edad", 0}}, "GPO_QUIN", "< A 1"},
        {"horas_99", {{"CodClaveEdad", 0}, {"Edad", 99}}, "GPO_QUIN", "< A 1"},
        {"anos_4", {{"CodClaveEdad", 3}, {"Edad", 4}}, "GPO_QUIN", "01 A 04"},
        {"anos_5", {{"CodClaveEdad", 3}, {"Edad", 5}}, "GPO_QUIN", "05 A 14"},
        {"anos_24", {{"CodClaveEdad", 3}, {"Edad", 24}}, "GPO_QUIN", "15 A 24"},
        {"anos_44", {{"CodClaveEdad", 3}, {"Edad", 44}}, "GPO_QUIN", "25 A 44"},
        {"anos_64", {{"CodClaveEdad", 3}, {"Edad", 64}}, "GPO_QUIN", "45 A 64"},
        {"anos_65", {{"CodClaveEdad", 3}, {"Edad", 65}}, "GPO_QUIN", "65 Y MAS"},
        {"anos_999", {{"CodClaveEdad", 3}, {"Edad", 999}}, "GPO_QUIN", "NE"},
        {"anos_sin_edad", {{"CodClaveEdad", 3}}, "GPO_QUIN", "NE"},
        {"unidad_no_especificada", {{"CodClaveEdad", 9}, {"Edad", 999}}, "GPO_QUIN", " "},
    };
    int folio = 0;
    for (const CasoRegla &c : casos)
        Evento(++folio, "2004-06-15", c.evento, c.clues);
    Detalle("D_BajoEfectos", 1, {2, 3});
    Detalle("D_BajoEfectos", 1, {1, 1});
    Detalle("D_Derechohabiencia", 1, {"0"});
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master");

    GeneraTablaDinamica(*p.ctx);
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master"), tablas);
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Base()});
    folio = 0;
    for (const CasoRegla &c : casos)
        EXPECT_EQ(p.Valor(QStringLiteral("SELECT ifnull(%1, '<null>') FROM salida.D_EVENTO_DAT WHERE FOLIO = ?").arg(c.columna), {++folio}),
                  QString::fromUtf8(c.esperado)) << c.nombre;
    EXPECT_EQ(p.Valor("SELECT count(*) FROM salida.sqlite_master WHERE type = 'table'").toInt(), 35 + 5);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM salida.CatClues").toInt(), p.Cuenta("CATCLUES"));
    EXPECT_EQ(p.Filas("SELECT AFECTADOAGRESOR, EFECTOS FROM salida.D_EFECTOS_DAT UNION ALL SELECT DERECHOHABIENCIA, '' "
                      "FROM salida.D_DERECHOHABIENCIA_DAT ORDER BY 1"),
              QStringList({"AFECTADO (PACIENTE)|ALCOHOL", "AGRESOR|DROGAS ILEGALES", "NINGUNA|"}));
}

TEST_F(PruebaTablas, UnaFallaSeMuestraYConservaLosArchivosAnteriores)
{
    Evento(1, "2004-06-15");
    EscribeArchivo(Base(), "anterior");
    EscribeArchivo(Libro(), "anterior");
    p.Ejecuta("DROP TABLE cSitio");

    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
    EXPECT_THAT(p.mensajes.Ultimo().toStdString(), ::testing::HasSubstr("cSitio"));
    EXPECT_EQ(LeeArchivo(Base()) + LeeArchivo(Libro()), "anterioranterior");
    EXPECT_EQ(QDir(Ruta("Datos")).entryList(QDir::Files | QDir::Hidden), QStringList({"DinamicaVELMORAN.db", "VELMORAN00.db",
                                              "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
    EXPECT_EQ(p.Filas("PRAGMA database_list").size(), 1);
}

// An existing file that cannot be replaced, the database or the workbook, is
// named before anything is built, in the words the flat table uses; both
// files stay as they were.
TEST_F(PruebaTablas, UnArchivoQueNoSePuedeReemplazarSeNombraAntesDeGenerarYAmbosQuedan)
{
    Evento(1, "2004-06-15");
    for (const QString &fijo : {Libro(), Base()}) {
        EscribeArchivo(Base(), "base anterior");
        EscribeArchivo(Libro(), "libro anterior");
        const ArchivoInmutable inmutable(fijo);
        if (!inmutable.Listo())
            GTEST_SKIP() << "no se pudo hacer inmutable un archivo";
        p.mensajes.Limpia();
        QStringList panel;
        p.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
        GeneraTablaDinamica(*p.ctx);
        EXPECT_EQ(p.mensajes.Ultimo(), "El archivo " + fijo + " está en uso o es de solo lectura; ciérrelo o elija otro nombre.....");
        EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
        EXPECT_EQ(panel, QStringList{""}) << "nada se construyó";
        EXPECT_EQ(p.mensajes.beeps, 0);
        EXPECT_EQ(LeeArchivo(Base()) + "|" + LeeArchivo(Libro()), "base anterior|libro anterior");
    }
}

TEST_F(PruebaTablas, TitulosTablaYDatosSeLeenDeVuelta)
{
    Evento(1, "2004-06-15", {{"CodEstado", "09"}, {"Expediente", "09"}});
    Evento(2, "2004-06-26");
    Evento(3, "2004-06-20", {}, "ZZZZZ999999");

    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro());
    EXPECT_EQ(p.mensajes.cajas.value(0).titulo, "Herramientas VELMORAN");
    EXPECT_EQ(Celdas(1, {"B1", "B2", "B6"}), "Eventos por Lesión y/o Violencia, Tabla Dinámica VELMORAN|"
                                              "*DELVARIA 2004 Creado el : 06/12/2026|Sum of CONTADOR");
    // Units (the unknown one blank, last) by months in calendar order, and totals.
    EXPECT_EQ(Celdas(1, {"C7", "D7", "E7", "B8", "B9", "B10"}),
              "JUNIO|JULIO|Total general|HOSPITAL GENERAL DE ZONA QUIRVAL 1-A|(en blanco)|Total general");
    EXPECT_EQ(Celdas(1, {"C8", "D8", "E8", "E10"}), "1|1|2|3");
    EXPECT_EQ(Uno(ParteZip(Libro(), "xl/pivotTables/pivotTable1.xml"), "<location ref=\"([^\"]+)\"") + " " + Origen(), "B6:E10 A1:AT4");
    // The data sheet: "09" stays text, dates are date serials with a date format.
    EXPECT_EQ(Celdas(2, {"A1", "N2"}), "EDO_ATEN|09");
    EXPECT_TRUE(ParteZip(Libro(), "xl/worksheets/sheet2.xml").contains(QRegularExpression("<c r=\"G2\" s=\"\\d+\"><v>38153</v>")));
    CompruebaPartes(Libro());
}

// Without events the table is empty but whole; with more events than the data
// sheet holds it counts those it holds and says so.
TEST_F(PruebaTablas, SinEventosOConMasQueFilasDeLaHojaLaTablaQuedaEntera)
{
    GeneraTablaDinamica(*p.ctx);
    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro());
    EXPECT_EQ(Celdas(1, {"B8", "C8"}), "(en blanco)|");
    CompruebaPartes(Libro());

    for (int f = 1; f <= 4; ++f)
        Evento(f, "2004-06-15");
    GeneraTablaDinamica(*p.ctx, 3);
    const QString aviso = "La hoja D_EVENTO_DAT admite 2 de los 4 eventos; la tabla dinámica cuenta solo esos. "
                          "Todos los eventos están en Datos/DinamicaVELMORAN.db";
    EXPECT_EQ(p.mensajes.Ultimo(), "La Tabla Dinámica, puede revisarla en la siguiente dirección: " + Libro() + "\n\n" + aviso);
    EXPECT_EQ(Celdas(1, {"B4", "D8"}) + " " + Origen(), aviso + "|2 A1:AT3");
    CompruebaPartes(Libro());
}

TEST_F(PruebaTablas, FamiliasConCodigosDistintosEnOrdenFijo)
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
    const QString tabla = " FROM (" + t.Consulta() + ") ORDER BY Folio";
    EXPECT_EQ(p.Filas("SELECT Derhab01, Derhab02, Derhab03, CIE10_01, CIE10_02, EfectoPaciente01, EfectoPaciente02, EfectoAgresor01" + tabla),
              (QStringList{"1|2||S069|T07X|1|2|", "1|2|3|||||", "|||||||3"}));
    EXPECT_EQ(p.Filas("SELECT Derhab09, Derhab010, Derhab012" + tabla).value(1), "9|A|C");
}

TEST_F(PruebaTablas, BaseYLibroConLaMismaTablaSinTocarLaBaseDeTrabajo)
{
    // The statistical month and year on each side of their edges.
    int folio = 0;
    for (const char *fecha : {"2004-12-26", "2004-12-25", "2005-01-26", "2004-11-30"})
        Evento(++folio, fecha, {{"CodEstado", "09"}, {"FechaCaptura", "2004-12-27"}});
    Detalle("D_Derechohabiencia", 1, {"1"}, "2004-12-26");
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master");
    QStringList trabajo;   // when the long work starts and ends
    p.ctx->TrabajoLargo = [&](bool empieza) { trabajo << (empieza ? "empieza" : "termina"); };

    p.ctx->TablaEnAccess = true;
    GeneraTablaCompleta(*p.ctx);
    EXPECT_EQ(trabajo, QStringList({"empieza", "termina"}));
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"VELMORAN2016"});
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("db"));
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Archivo("db")});
    EXPECT_EQ(p.Filas("SELECT fechaAtencion, CodEstado, Derhab01, MES, ANIO_ESTADISTICO FROM salida.TablaVELMORANCompleta ORDER BY Folio"),
              (QStringList{"2004-12-26|09|1|ENERO|2005", "2004-12-25|09||DICIEMBRE|2004", "2005-01-26|09||FEBRERO|2005",
                           "2004-11-30|09||DICIEMBRE|2004"}));
    // Every date is a date, every event column keeps its type.
    EXPECT_EQ(p.Filas("SELECT name || ' ' || type FROM pragma_table_info('TablaVELMORANCompleta', 'salida') WHERE name IN "
                      "('Folio', 'fechaAtencion', 'CodEstado', 'FechaCaptura', 'MES', 'ANIO_ESTADISTICO')"),
              (QStringList{"Folio INTEGER", "fechaAtencion DATE", "CodEstado TEXT(2)", "FechaCaptura DATE", "MES CHAR(12)",
                           "ANIO_ESTADISTICO CHAR(4)"}));
    p.Ejecuta("DETACH DATABASE salida");

    p.ctx->TablaEnAccess = false;
    GeneraTablaCompleta(*p.ctx);
    EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + Archivo("xlsx"));
    EXPECT_TRUE(ParteZip(Archivo("xlsx"), "xl/workbook.xml").contains("<sheet name=\"TablaVELMORAN\""));
    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master"), tablas);
}

// The last stage, which packs the workbook or finishes the file, says so in
// the panel before the file is written.
TEST_F(PruebaTablas, ElPanelDiceQueSeGuardaElArchivoAntesDeEscribirlo)
{
    Evento(1, "2004-06-15");
    Evento(2, "2004-06-16");
    for (const bool enBase : {true, false}) {
        const QString archivo = Archivo(enBase ? "db" : "xlsx");
        QStringList panel;   // each text, with "+" when the file stood already
        p.ctx->PanelMensajes = [&](const QString &t) { panel << t + (QFileInfo::exists(archivo) ? "+" : ""); };
        p.ctx->TablaEnAccess = enBase;
        GeneraTablaCompleta(*p.ctx);
        EXPECT_EQ(p.mensajes.Ultimo(), "Puede revisar su tabla en: " + archivo);
        EXPECT_EQ(panel.mid(panel.size() - 3),
                  (QStringList{"Escribiendo la Tabla Completa en " + archivo + ": registros 2 de 2",
                               "Guardando la Tabla Completa en " + archivo + ", un momento por favor.....", "Listo.....+"}));
    }
}

TEST_F(PruebaTablas, UnaFallaSeMuestraEnLugarDelMensajeDeExito)
{
    Evento(1, "2004-06-15");
    QDir(p.Carpeta()).mkdir("TablaCompletaVELMORAN.xlsx");   // a folder stands where the file goes
    GeneraTablaCompleta(*p.ctx);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
    EXPECT_FALSE(p.mensajes.Ultimo().startsWith("Puede revisar"));
}

// A folder standing where a tool writes its file of a fixed name is named
// with what the user can do about it, since the tool asks for no name;
// nothing is built. Where the user names the file, a name is asked for.
TEST_F(PruebaTablas, UnaCarpetaEnLugarDelArchivoDeNombreFijoDiceQueHacer)
{
    Evento(1, "2004-06-15");
    const struct {
        QString carpeta;
        std::function<void()> corre;
    } casos[] = {
        {Libro(), [&] { GeneraTablaDinamica(*p.ctx); }},
        {Base(), [&] { GeneraTablaDinamica(*p.ctx); }},
        {Archivo("xlsx"), [&] {
             p.ctx->TablaEnAccess = false;
             GeneraTablaCompleta(*p.ctx);
         }},
        {Archivo("db"), [&] {
             p.ctx->TablaEnAccess = true;
             GeneraTablaCompleta(*p.ctx);
         }},
    };
    for (const auto &c : casos) {
        ASSERT_TRUE(QDir().mkpath(c.carpeta));
        p.mensajes.Limpia();
        QStringList panel;
        p.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
        c.corre();
        p.ctx->PanelMensajes = nullptr;
        EXPECT_EQ(p.mensajes.Ultimo(), c.carpeta + " es una carpeta, y el programa guarda ahí su archivo con ese nombre: "
                                                   "quite esa carpeta o cámbiele el nombre, y vuelva a intentarlo.");
        EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
        EXPECT_EQ(panel, QStringList{""}) << "nada se construyó";
        ASSERT_TRUE(QDir(c.carpeta).removeRecursively());
    }
    EXPECT_EQ(RevisaDestino(p.Carpeta(), {}), p.Carpeta() + " es una carpeta; proporcione el nombre de un archivo.");
}

// A program folder that cannot take the file is named before anything is
// built, for both tables.
TEST_F(PruebaTablas, UnaCarpetaSinEscrituraSeNombraAntesDeGenerar)
{
    Evento(1, "2004-06-15");
    CarpetaSoloLectura soloLectura(p.Carpeta(), CarpetaSoloLectura::Con::Contenido);
    if (!soloLectura.Lista())
        GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
    QStringList panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
    GeneraTablaCompleta(*p.ctx);
    GeneraTablaDinamica(*p.ctx);
    const QString dice = "No se puede escribir en la carpeta " + p.Carpeta() + ": esa carpeta debe permitir escritura, "
                         "verifique por favor.....";
    ASSERT_EQ(p.mensajes.cajas.size(), 2);
    EXPECT_EQ(QStringList({p.mensajes.cajas[0].texto, p.mensajes.cajas[1].texto}), QStringList({dice, dice}));
    EXPECT_EQ(p.mensajes.Titulos(), QStringList({"Herramientas VELMORAN", "Herramientas VELMORAN"}));
    EXPECT_EQ(panel, QStringList({"", ""}));
}

} // namespace
