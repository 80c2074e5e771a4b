#include "comun/ProgramaTemporal.h"
#include "platform/Empaque.h"
#include "platform/ExportaTabla.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <tuple>

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
        return ExportaTabla(p.bd(), {origen, {}, Ruta(archivo), f, "Resumen", {}, {p.ctx->ArchivoPlantilla()}, {}, {}, {}});
    }
    QString Ruta(const QString &archivo) const { return QDir(p.Carpeta()).filePath(archivo); }
    ProgramaTemporal p;
};

} // namespace

TEST_F(ExportaTablaTest, ExcelHojaConFechasComoFechasYCodigosComoTexto)
{
    ASSERT_TRUE(Exporta(FormatoExportacion::Excel, "libro.xlsx").ok);
    const QString hoja = ParteZip(Ruta("libro.xlsx"), "xl/worksheets/sheet1.xml");
    // 5 January 2004 is day 37991 of Excel's calendar, shown through a date format.
    EXPECT_TRUE(hoja.contains(QRegularExpression("<c r=\"A2\" t=\"inlineStr\"><is><t>09</t></is></c><c r=\"B2\"><v>1</v></c>"
                                                 "<c r=\"C2\" s=\"\\d+\"><v>37991</v></c><c r=\"D2\" t=\"inlineStr\"><is><t>PEÑA</t>"))) << hoja.toStdString();
    EXPECT_TRUE(ParteZip(Ruta("libro.xlsx"), "xl/styles.xml").contains("formatCode=\"dd/mm/yyyy\""));
}

TEST_F(ExportaTablaTest, DbaseCodigoDePagina1252NombresUnicosYFechas)
{
    ASSERT_TRUE(Exporta(FormatoExportacion::Dbase, "Res.dbf").ok);
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
    // Each read is copied before the next one reuses the library's buffer.
    EXPECT_EQ(QByteArrayList({DBFReadStringAttribute(h, 0, 0), DBFReadStringAttribute(h, 0, 2), DBFReadStringAttribute(h, 0, 3)}),
              QByteArrayList({"09", "20040105", "PE\xD1" "A"}));
    EXPECT_EQ(DBFReadIntegerAttribute(h, 1, 1), 22);
    EXPECT_TRUE(DBFIsAttributeNULL(h, 1, 4));
    DBFClose(h);
    EXPECT_EQ(NombresDbase({"E.Folio", "1x"}), QStringList({"E_FOLIO", "C1X"}));
}

// A column whose widest value is negative is wide enough for its sign: every
// value reads back whole, from a number field and from a text one.
TEST_F(ExportaTablaTest, DbaseConElValorMasAnchoNegativoLeeCadaValorEntero)
{
    p.Ejecuta("CREATE TEMP TABLE Signos (Entero INTEGER, Corto INTEGER, Libre, Real REAL)");
    p.Ejecuta("INSERT INTO Signos VALUES (-123, -5, -123, -1.5), (45, 3, 45, 45)");
    ASSERT_TRUE(Exporta(FormatoExportacion::Dbase, "Signos.dbf", "SELECT * FROM Signos ORDER BY rowid").ok);
    DBFHandle h = DBFOpen(QFile::encodeName(Ruta("Signos.dbf")).constData(), "rb");
    ASSERT_NE(h, nullptr);
    QStringList leidos;   // field:type and width=each value read back
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char nombre[12];
        int ancho;
        DBFGetFieldInfo(h, i, nombre, &ancho, nullptr);
        QStringList valores;
        for (int r = 0; r < DBFGetRecordCount(h); ++r)
            valores << QByteArray(DBFReadStringAttribute(h, r, i)).trimmed();
        leidos << QStringLiteral("%1:%2%3=%4").arg(nombre).arg(QChar(DBFGetNativeFieldType(h, i))).arg(ancho).arg(valores.join(','));
    }
    DBFClose(h);
    EXPECT_EQ(leidos.join(' ').toStdString(), "ENTERO:N4=-123,45 CORTO:N2=-5,3 LIBRE:C4=-123,45 REAL:N19=-1.500000,45.000000");
}

// The rows in their order, each value of its kind under the declared types;
// an older file is replaced and the connection keeps no other file attached.
TEST_F(ExportaTablaTest, BaseDeDatosConLosTiposDeclaradosYNadaAdjuntoDespues)
{
    EscribeArchivo(Ruta("Res.db"), "viejo");
    const auto r = Exporta(FormatoExportacion::BaseDatos, "Res.db");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.filas, 2);
    EXPECT_EQ(p.Filas("SELECT name FROM pragma_database_list"), QStringList({"main", "temp"}));
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Ruta("Res.db")});
    EXPECT_EQ(p.Filas("SELECT name || ' ' || type FROM pragma_table_info('Resumen', 'salida') WHERE cid < 5"),
              QStringList({"CodEstado TEXT", "Folio INTEGER", "fechaAtencion DATE", "Paterno TEXT", "Edad INTEGER"}));
    EXPECT_EQ(p.Filas("SELECT typeof(CodEstado), CodEstado, typeof(Folio), fechaAtencion, Paterno, quote(Edad), quote(Derechohabiencia02) "
                      "FROM salida.Resumen ORDER BY rowid"),
              QStringList({"text|09|integer|2004-01-05|PEÑA|30|NULL", "text|36|integer|2004-12-25|LÓPEZ|NULL|'02'"}));
    p.Ejecuta("DETACH DATABASE salida");
}

// Each format says once, with every row written, that it goes on to finish a
// file that is not yet in place.
TEST_F(ExportaTablaTest, CadaFormatoAvisaAlCerrarAntesDeColocarElArchivo)
{
    for (const auto &[formato, archivo] : {std::pair{FormatoExportacion::BaseDatos, "r.db"}, {FormatoExportacion::Excel, "r.xlsx"},
                                           {FormatoExportacion::Dbase, "r.dbf"}}) {
        PeticionExportacion pet{Origen, {}, Ruta(archivo), formato, "Resumen", {}, {}, {}, {}, {}};
        QStringList avisos;
        pet.alCerrar = [&](qint64 filas) { avisos << QString::number(filas) + (QFileInfo::exists(Ruta(archivo)) ? "+" : ""); };
        EXPECT_TRUE(ExportaTabla(p.bd(), pet).ok);
        EXPECT_EQ(avisos, QStringList{"2"}) << archivo;
        EXPECT_TRUE(QFileInfo::exists(Ruta(archivo)));
    }
}

TEST_F(ExportaTablaTest, RehusaLaPlantillaLoQueEstaEnUsoYUnaCarpetaQueFalta)
{
    EscribeArchivo(Ruta("abierto.dbf"), "viejo");
    EscribeArchivo(Ruta(".~lock.abierto.dbf#"), "");   // an office program has it open
    const std::pair<QString, QString> casos[] = {
        {p.ctx->ArchivoPlantilla(), "El archivo " + p.ctx->ArchivoPlantilla() + " es la Base de Datos de trabajo, su "
                                    "plantilla o una Base de Datos abierta; no se puede exportar sobre él. Elija otro nombre....."},
        {Ruta("abierto.dbf"), "El archivo " + Ruta("abierto.dbf") + " está en uso o es de solo lectura; ciérrelo o elija otro nombre....."},
        {Ruta("no/hay.dbf"), "No existe la carpeta " + Ruta("no") + "; elija una carpeta que exista para el archivo hay.dbf."}};
    for (const auto &[destino, dice] : casos) {
        const QByteArray antes = LeeArchivo(destino);
        EXPECT_EQ(Exporta(FormatoExportacion::Dbase, destino).error, dice);
        EXPECT_EQ(LeeArchivo(destino), antes);
    }
}

// A folder that cannot be written is named in every format, before a row is
// read; the hidden name the file would have been written under is not shown.
TEST_F(ExportaTablaTest, UnaCarpetaSinEscrituraSeNombraEnCadaFormato)
{
    CarpetaSoloLectura soloLectura(Ruta("solo"));
    if (!soloLectura.Lista())
        GTEST_SKIP() << "no se pudo hacer una carpeta de solo lectura";
    for (const auto &[f, archivo] : {std::pair{FormatoExportacion::BaseDatos, "base.db"},
                                     std::pair{FormatoExportacion::Excel, "libro.xlsx"},
                                     std::pair{FormatoExportacion::Dbase, "tabla.dbf"}})
        EXPECT_EQ(Exporta(f, QStringLiteral("solo/") + archivo, "SELECT * FROM NoHay").error,
                  "No se puede escribir en la carpeta " + Ruta("solo") + ": esa carpeta debe permitir escritura, "
                  "verifique por favor.....");
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
    QStringList anchos;   // 17 texts of 250
    for (char c = 'a'; c <= 'q'; ++c)
        anchos << "printf('%250s', 'x') AS " + QString(QChar(c));
    const std::tuple<FormatoExportacion, QString, const char *> casos[] = {
        {FormatoExportacion::Excel, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n LIMIT 1048576) SELECT i FROM n",
         "1048576 registros y una hoja de Excel admite 1048575"},
        {FormatoExportacion::Dbase, "SELECT printf('%300s', 'x') AS Largo", "textos de 300 caracteres"},
        {FormatoExportacion::Dbase, "SELECT " + anchos.join(", "), "Cada registro ocupa 4251 bytes"},
        // The third row overflows an integer while the file is being written.
        {FormatoExportacion::BaseDatos, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n LIMIT 3) "
         "SELECT CASE WHEN i < 3 THEN i ELSE abs(-9223372036854775807 - 1) END AS x FROM n", "integer overflow"},
    };
    EscribeArchivo(Ruta("grande"), "viejo");
    for (const auto &[f, origen, dice] : casos) {
        const auto r = Exporta(f, "grande", origen);
        EXPECT_TRUE(!r.ok && r.error.contains(dice)) << r.error.toStdString();
        EXPECT_EQ(LeeArchivo(Ruta("grande")), "viejo");
        EXPECT_EQ(QDir(p.Carpeta()).entryList({"*.tmp", ".*.tmp"}, QDir::Files | QDir::Hidden), QStringList());
    }
}
