#include "comun/ProgramaTemporal.h"
#include "platform/Empaque.h"
#include "platform/ExportaTabla.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <unistd.h>

namespace {

// One row of every kind: a text code with a leading zero, an Ñ, a date, a null,
// names that shorten alike for dBase.
const char *Origen = "SELECT * FROM T ORDER BY Folio";

class ExportaTablaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        p.Ejecuta("CREATE TEMP TABLE T (CodEstado TEXT, Folio INTEGER, fechaAtencion DATE, Paterno TEXT, "
                  "Edad INTEGER, Derechohabiencia01 TEXT, Derechohabiencia02 TEXT, EntreCalleUno TEXT, EntreCalleDos TEXT)");
        p.Ejecuta("INSERT INTO T VALUES ('09', 1, '2004-01-05', 'PEÑA', 30, '01', NULL, 'A', 'B'), "
                  "('36', 22, '2004-12-25', 'LÓPEZ', NULL, ' ', '02', NULL, 'C')");
    }
    ResultadoExportacion Exporta(FormatoExportacion f, const QString &archivo, const QString &origen = Origen)
    {
        PeticionExportacion pe;
        pe.origen = origen;
        pe.destino = Ruta(archivo);
        pe.formato = f;
        pe.nombre = f == FormatoExportacion::Excel ? "ExcelTabla" : "Resumen";
        pe.protegidos = {p.ctx->ArchivoPlantilla()};
        return ExportaTabla(p.bd(), pe);
    }
    QString Ruta(const QString &archivo) const { return QDir(p.Carpeta()).filePath(archivo); }
    ProgramaTemporal p;
};

} // namespace

TEST_F(ExportaTablaTest, BaseDatosConservaTiposYValores)
{
    const auto r = Exporta(FormatoExportacion::BaseDatos, "Resumen.db");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.filas, 2);
    p.Ejecuta("ATTACH DATABASE ? AS r", {Ruta("Resumen.db")});
    EXPECT_EQ(p.Filas("SELECT CodEstado, typeof(CodEstado), Folio, typeof(Folio), fechaAtencion, Paterno, Edad IS NULL "
                      "FROM r.Resumen ORDER BY Folio"),
              (QStringList{"09|text|1|integer|2004-01-05|PEÑA|0", "36|text|22|integer|2004-12-25|LÓPEZ|1"}));
}

TEST_F(ExportaTablaTest, ExcelHojaConFechasComoFechasYCodigosComoTexto)
{
    const auto r = Exporta(FormatoExportacion::Excel, "libro.xlsx");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(ParteZip(Ruta("libro.xlsx"), "xl/workbook.xml").contains("name=\"ExcelTabla\""));
    const QString hoja = ParteZip(Ruta("libro.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(hoja.contains("<c r=\"A2\" t=\"inlineStr\"><is><t>09</t></is></c>")) << hoja.toStdString();
    EXPECT_TRUE(hoja.contains("<c r=\"B3\"><v>22</v></c>"));
    EXPECT_TRUE(hoja.contains("<c r=\"D2\" t=\"inlineStr\"><is><t>PEÑA</t></is></c>"));
    // 5 January 2004 is day 37991 of Excel's calendar, shown through a date format.
    EXPECT_TRUE(hoja.contains(QRegularExpression("<c r=\"C2\" s=\"\\d+\"><v>37991</v></c>")));
    EXPECT_TRUE(ParteZip(Ruta("libro.xlsx"), "xl/styles.xml").contains("formatCode=\"dd/mm/yyyy\""));
}

TEST_F(ExportaTablaTest, DbaseCodigoDePagina1252NombresUnicosYFechas)
{
    const auto r = Exporta(FormatoExportacion::Dbase, "Res.dbf");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    DBFHandle h = DBFOpen(QFile::encodeName(Ruta("Res.dbf")).constData(), "rb");
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(DBFGetCodePage(h), "LDID/87");
    ASSERT_EQ(DBFGetRecordCount(h), 2);
    QStringList campos;
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char nombre[12];
        int ancho;
        DBFGetFieldInfo(h, i, nombre, &ancho, nullptr);
        campos << QStringLiteral("%1:%2%3").arg(nombre).arg(QChar(DBFGetNativeFieldType(h, i))).arg(ancho);
    }
    EXPECT_EQ(campos.join(' ').toStdString(),
              "CODESTADO:C2 FOLIO:N2 FECHAATENC:D8 PATERNO:C5 EDAD:N2 DERECHOH01:C2 DERECHOH02:C2 "
              "ENTRECALLE:C1 ENTRECAL_2:C1");
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 0), "09");
    EXPECT_EQ(DBFReadIntegerAttribute(h, 1, 1), 22);
    EXPECT_STREQ(DBFReadStringAttribute(h, 0, 2), "20040105");
    EXPECT_EQ(QByteArray(DBFReadStringAttribute(h, 0, 3)), QByteArray("PE\xD1" "A"));
    EXPECT_TRUE(DBFIsAttributeNULL(h, 1, 4));
    DBFClose(h);
}

TEST(NombresDbase, CortosUnicosYConSuNumero)
{
    EXPECT_EQ(NombresDbase({"Derechohabiencia01", "Derechohabiencia02", "Derechohabiencia03", "fechaAtencion",
                            "E.Folio", "Folio", "CodLesionadoVehiculo", "1x"}),
              QStringList({"DERECHOH01", "DERECHOH02", "DERECHOH03", "FECHAATENC", "E_FOLIO", "FOLIO",
                           "CODLESIONA", "C1X"}));
}

TEST_F(ExportaTablaTest, RehusaLaBaseDeTrabajoLaPlantillaYLoQueEstaEnUso)
{
    const QString enUso = Ruta("solo.dbf");
    EscribeArchivo(enUso, "viejo");
    QFile::setPermissions(enUso, QFile::ReadOwner);
    const bool root = ::geteuid() == 0;
    struct Caso {
        QString destino;
        QString dice;
    };
    for (const Caso &c : {Caso{p.ctx->ArchivoBD, "Base de Datos de trabajo"},
                          Caso{p.ctx->ArchivoPlantilla(), "Base de Datos de trabajo"},
                          Caso{p.ctx->ArchivoBD + "-wal", "Base de Datos de trabajo"},
                          Caso{root ? QString() : enUso, "en uso"},
                          Caso{Ruta("no/hay.dbf"), "No existe la carpeta " + Ruta("no") + "; elija una carpeta que exista para el archivo hay.dbf."}}) {
        if (c.destino.isEmpty())
            continue;
        const QByteArray antes = LeeArchivo(c.destino);
        PeticionExportacion pe{Origen, {}, c.destino, FormatoExportacion::Dbase, {}, {}, {p.ctx->ArchivoPlantilla()}, {}, {}};
        const auto r = ExportaTabla(p.bd(), pe);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(c.dice)) << r.error.toStdString();
        EXPECT_EQ(LeeArchivo(c.destino), antes);
    }
}

TEST_F(ExportaTablaTest, CarpetaSinPermisoDejaEnteroElArchivoAnterior)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes in any folder";
    QDir(p.Carpeta()).mkdir("cerrada");
    EscribeArchivo(Ruta("cerrada/libro.xlsx"), "viejo");
    QFile::setPermissions(Ruta("cerrada"), QFile::ReadOwner | QFile::ExeOwner);
    const auto r = Exporta(FormatoExportacion::Excel, "cerrada/libro.xlsx");
    QFile::setPermissions(Ruta("cerrada"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(LeeArchivo(Ruta("cerrada/libro.xlsx")), "viejo");
}

TEST_F(ExportaTablaTest, DiscoLlenoLoDiceEnCadaFormato)
{
    DiscoPequeno disco(Ruta("lleno"));
    if (!disco.Montado())
        GTEST_SKIP() << "no se pudo montar un disco pequeño";
    disco.Llena();
    const auto lleno = [&](const QString &archivo, const QString &detalle = {}) {
        return "No hay espacio suficiente en el disco para escribir el archivo " + Ruta("lleno/" + archivo)
               + "; libere espacio en ese disco y vuelva a intentarlo" + detalle + ".";
    };
    for (const auto &[f, archivo] : {std::pair{FormatoExportacion::Excel, "libro.xlsx"},
                                     std::pair{FormatoExportacion::Dbase, "tabla.dbf"},
                                     std::pair{FormatoExportacion::BaseDatos, "base.db"}})
        EXPECT_EQ(Exporta(f, QStringLiteral("lleno/") + archivo).error, lleno(archivo));
    QString error;
    EXPECT_FALSE(EmpacaArchivo(p.ctx->ArchivoBD, "BKUP0436.db", Ruta("lleno/R.zip"), &error));
    EXPECT_EQ(error, lleno("R.zip", " (Write error: No space left on device)"));
    EXPECT_EQ(QDir(Ruta("lleno")).entryList(QDir::Files | QDir::Hidden), QStringList{".relleno"});
}

// A result larger than the format holds is refused, not cut; a failure halfway
// leaves the old file whole and no temporary one.
TEST_F(ExportaTablaTest, ResultadoMayorQueElFormatoOFallaAMitadDejaEnteroElArchivoAnterior)
{
    struct Caso {
        FormatoExportacion f;
        const char *origen;
        const char *dice;
    };
    const Caso casos[] = {
        {FormatoExportacion::Excel, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n LIMIT 1048576) SELECT i FROM n",
         "1048576 registros y una hoja de Excel admite 1048575"},
        {FormatoExportacion::Dbase, "SELECT printf('%300s', 'x') AS Largo", "textos de 300 caracteres"},
        {FormatoExportacion::Dbase, nullptr, "Cada registro ocupa 4251 bytes"},   // 17 texts of 250
        // The third row overflows an integer while the file is being written.
        {FormatoExportacion::BaseDatos, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n LIMIT 3) "
         "SELECT CASE WHEN i < 3 THEN i ELSE abs(-9223372036854775807 - 1) END AS x FROM n", "integer overflow"},
    };
    QStringList anchos;
    for (char c = 'a'; c <= 'q'; ++c)
        anchos << "printf('%250s', 'x') AS " + QString(QChar(c));
    EscribeArchivo(Ruta("grande"), "viejo");
    for (const Caso &c : casos) {
        const auto r = Exporta(c.f, "grande", c.origen ? QString(c.origen) : "SELECT " + anchos.join(", "));
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(c.dice)) << r.error.toStdString();
        EXPECT_EQ(LeeArchivo(Ruta("grande")), "viejo");
        EXPECT_EQ(QDir(p.Carpeta()).entryList({"*.tmp", ".*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
    }
}
