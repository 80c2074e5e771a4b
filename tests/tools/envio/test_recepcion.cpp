#include "Paquetes.h"

#include "platform/Empaque.h"
#include "tools/Recepcion.h"
#include "tools/frmRecive.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <sqlite3.h>

namespace {

const QString NoReconocido = "Archivo no reconocido por esta versión,  verifique por favor.....";
const QString Paquete = "ENVIO0436_061226VEL.ZIP";

class Recibe : public Paquetes {
public:   // the hostile cases build their packages through it
    void SetUp() override
    {
        Paquetes::SetUp();
        destino.AbreBase();
    }
    // Every event of the working database and cSexo, sent whole.
    QString EnviaTodo() { return Envia({true, true, {A + "  UNO", B + "  DOS"}, {}, {}, {"cSexo"}}, dir.path()); }
    // A package database written by hand: `sql` runs on it, attached as h.
    QString PaqueteHecho(const QStringList &sql)
    {
        const QString base = dir.filePath("hecho.db");
        QFile::remove(base);
        {
            BaseAdjunta h(p.bd(), base, "h");
            for (const QString &s : sql)
                p.Ejecuta(s);
        }
        return Empaca(base, "ENV0436.db");
    }
    QString Empaca(const QString &archivo, const QString &miembro)
    {
        QString error;
        const QString zip = dir.filePath(Paquete);
        EXPECT_TRUE(EmpacaArchivo(archivo, miembro, zip, &error)) << qPrintable(error);
        return zip;
    }
    QString EmpacaBytes(const QByteArray &contenido)
    {
        EscribeArchivo(dir.filePath("x"), contenido);
        return Empaca(dir.filePath("x"), "ENV0436.db");
    }
    // The six tables copied as they are, then `cambios`.
    QString PaqueteCon(const QStringList &cambios)
    {
        QStringList sql;
        for (const QString &t : TablasEvento)
            sql << QStringLiteral("CREATE TABLE h.%1 AS SELECT * FROM main.%1").arg(t);
        return PaqueteHecho(sql + cambios);
    }
    QTemporaryDir dir;
    ProgramaTemporal destino;
};

TEST_F(Recibe, EnvioYRecepcionDevuelvenLosMismosDatosYDosVecesNoCambiaNada)
{
    const QString zip = EnviaTodo();
    for (int vez = 1; vez <= 2; ++vez) {
        frmRecive ventana(*destino.ctx);
        ventana.PideArchivo = [&](const QString &) { return zip; };
        ventana.cmdRuta->click();
        ASSERT_TRUE(ventana.chkEventos->isChecked()) << qPrintable(destino.mensajes.Ultimo());
        ventana.cmdAceptar->click();
        EXPECT_EQ(destino.mensajes.Ultimo(), "Se recibió correctamente la siguiente información....\n***     ***\n\n"
                                             "Atenciónes por Violencia y/o Lesión       = 4\nCatálogos     = 1");
        EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    }
    EXPECT_EQ(destino.Filas("SELECT TIPO, NOMBRE, RUTA, UNIDADES, EVENTOS, FECHAINI, FECHAFIN, CATALOGOS FROM BITACORA"),
              QStringList(2, "3|" + Paquete + "|" + dir.path() + "/|3|4|||1"));
    // The unpacked database went with the window.
    EXPECT_EQ(QDir(destino.ctx->RutaDatos).entryList({"Recive*"}, QDir::AllEntries | QDir::Hidden), QStringList());
}

TEST_F(Recibe, ElEventoRecibidoReemplazaAlLocalConTodosSusDetalles)
{
    // Locally the event A|2 has more detail rows than the package brings, and one other event.
    AltaEvento(destino, A, 2, "2004-06-15");
    destino.Ejecuta("INSERT INTO D_TipoViolencia VALUES (?, 2, '2004-06-15', 5)", {A});
    AltaEvento(destino, A, 9, "2004-09-09");
    const QString zip = PaqueteCon({
        "DELETE FROM h.D_EVENTO WHERE Folio <> 2 OR CLUES <> '" + A + "'",
        "UPDATE h.D_EVENTO SET Paterno = 'RECIBIDO'",
        "DELETE FROM h.D_TipoViolencia",   // fewer details
        "INSERT INTO h.D_TipoAtencion VALUES ('" + X + "', 99, '2004-01-01', 1)",   // an orphan
    });
    Recepcion r(*destino.ctx);
    ASSERT_TRUE(r.Abre(zip)) << qPrintable(destino.mensajes.Ultimo());
    ASSERT_TRUE(r.Recibe(true, {}));
    EXPECT_EQ(destino.Filas("SELECT CLUES || '|' || Folio || '|' || Paterno FROM D_EVENTO ORDER BY Folio"),
              (QStringList{A + "|2|RECIBIDO", A + "|9|PEREZ"}));
    EXPECT_EQ(destino.Cuenta("D_TipoViolencia", "Folio = 2"), 0);
    EXPECT_EQ(destino.Cuenta("D_Diagnosticos", "Folio = 9"), 2);
    EXPECT_EQ(destino.Valor("PRAGMA foreign_key_check").isValid(), false);
    EXPECT_EQ(destino.Valor("PRAGMA foreign_keys").toInt(), 1);
}

TEST_F(Recibe, SoloCatalogosReemplazaElCatalogoYCuentaCeroEventos)
{
    const QString zip = PaqueteHecho({"CREATE TABLE h.cSexo AS SELECT CodSexo, Descripcion || ' R' AS Descripcion FROM main.cSexo"});
    frmRecive ventana(*destino.ctx);
    ventana.PideArchivo = [&](const QString &) { return zip; };
    ventana.cmdRuta->click();
    EXPECT_FALSE(ventana.chkEventos->isEnabled());
    ventana.cmdAceptar->click();
    EXPECT_EQ(destino.Filas("SELECT Descripcion FROM cSexo ORDER BY CodSexo"), (QStringList{"HOMBRE R", "MUJER R", "NO ESPECIFICADO R"}));
    EXPECT_EQ(destino.Filas("SELECT UNIDADES, EVENTOS, CATALOGOS FROM BITACORA"), QStringList{"0|0|1"});
    // The table keeps its own key and collation.
    EXPECT_TRUE(destino.Valor("SELECT sql FROM sqlite_master WHERE name = 'cSexo'").toString().contains("PRIMARY KEY"));
}

TEST_F(Recibe, UnNombreAjenoSeRechaza)
{
    const QString zip = EnviaTodo();
    for (const QString &nombre : {"ENVIO0436_061226vel.ZIP", "ENVIO0436_06126VEL.ZIP", "ENVIO0436_0612266VEL.ZIP", "ENVIO0436_061226VEL.RAR"}) {
        QFile::copy(zip, dir.filePath(nombre));
        Recepcion r(*destino.ctx);
        EXPECT_FALSE(r.Abre(dir.filePath(nombre)));
        EXPECT_EQ(destino.mensajes.Ultimo(), nombre.endsWith("RAR") ? "No selecciono un archivo con extensión ZIP (comprimido), "
                                                                      "verifique por favor....." : NoReconocido);
        EXPECT_EQ(destino.mensajes.cajas.last().titulo, "Herramientas VELMORAN");
    }
}

struct CasoHostil {
    const char *nombre;
    std::function<QString(Recibe &)> paquete;
    const char *motivo;
};

class PaqueteHostil : public Recibe, public ::testing::WithParamInterface<CasoHostil> {};

const CasoHostil CasosHostiles[] = {
    {"MiembroConElNombreDeLaBase", [](Recibe &t) { return t.Empaca(t.p.ctx->ArchivoBD, "VELMORAN0436.db"); }, "no contiene el archivo ENV0436.db"},
    {"NoEsSqlite", [](Recibe &t) { return t.EmpacaBytes("no soy una base"); }, "no es una Base de Datos"},
    {"Danado", [](Recibe &t) { return t.EmpacaBytes(LeeArchivo(t.p.ctx->ArchivoPlantilla()).replace(4096, 8192, QByteArray(8192, 'x'))); },
     "dañada"},
    {"VistaEnLugarDeTabla",
     [](Recibe &t) { return t.PaqueteCon({"ALTER TABLE h.D_TipoAtencion RENAME TO O", "CREATE VIEW h.D_TipoAtencion AS SELECT * FROM O"}); },
     "D_TIPOATENCION no es una tabla en el paquete."},
    {"FaltaUnaColumna", [](Recibe &t) { return t.PaqueteCon({"ALTER TABLE h.D_EVENTO DROP COLUMN Paterno"}); },
     "A la tabla D_EVENTO del paquete le falta la columna Paterno."},
    {"FechaInexistente", [](Recibe &t) { return t.PaqueteCon({"UPDATE h.D_EVENTO SET fechaAtencion = '2004-02-30' WHERE Folio = 7"}); },
     "La tabla D_EVENTO del paquete tiene claves de evento mal formadas."},
    {"FolioNoEntero", [](Recibe &t) { return t.PaqueteCon({"UPDATE h.D_Diagnosticos SET Folio = '1x'"}); },
     "La tabla D_DIAGNOSTICOS del paquete tiene claves de evento mal formadas."},
    {"NoEsZip", [](Recibe &t) { EscribeArchivo(t.dir.filePath(Paquete), "no soy un zip"); return t.dir.filePath(Paquete); },
     "no es un archivo comprimido .zip o llegó incompleto."},
    {"MiembroMayorDeLoQueCabe", [](Recibe &t) { return t.EmpacaBytes(QByteArray(1 << 21, '\0')); }, "dice medir 2097152 bytes, más de los "},
    {"ClavesRepetidas", [](Recibe &t) { return t.PaqueteCon({"INSERT INTO h.D_EVENTO SELECT * FROM h.D_EVENTO WHERE Folio = 7"}); },
     "La tabla D_EVENTO del paquete repite claves de evento."},
};

TEST_P(PaqueteHostil, SeRechazaSinTocarLaBaseNiDejarArchivos)
{
    const QString zip = GetParam().paquete(*this);
    const QStringList antes = Contenido(destino.bd());
    Recepcion r(*destino.ctx);
    EXPECT_FALSE(r.Abre(zip));
    EXPECT_TRUE(destino.mensajes.Ultimo().contains(QString::fromUtf8(GetParam().motivo))) << qPrintable(destino.mensajes.Ultimo());
    EXPECT_FALSE(r.Recibe(true, {}));
    EXPECT_EQ(Contenido(destino.bd()), antes);
    EXPECT_EQ(QDir(destino.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
}

INSTANTIATE_TEST_SUITE_P(Recepcion, PaqueteHostil, ::testing::ValuesIn(CasosHostiles),
                         [](const auto &i) { return std::string(i.param.nombre); });

TEST_F(Recibe, BaseQueNoSeAbreSeNombraPorSuRutaSinUri)
{
    EXPECT_THROW(try { BaseAdjunta h(destino.bd(), dir.path(), "h", true); } catch (const ErrorBD &e) {
        EXPECT_EQ(e.Descripcion(), "No se pudo abrir la Base de Datos " + dir.path() + " (unable to open database: " + dir.path() + ").");
        throw;
    }, ErrorBD);
}

// Columns in another order are matched by name; codes in lower case or with
// blanks are stored as the sheet writes them.
TEST_F(Recibe, ColumnasEnOtroOrdenYCodigosEnMinusculasOConBlancosDanLosMismosDatos)
{
    QStringList columnas = ColumnasTabla(p.bd(), "main", "D_EVENTO"), codigos;
    std::reverse(columnas.begin(), columnas.end());
    for (const QString &t : TablasEvento)
        codigos << "UPDATE h." + t + " SET CLUES = lower(CLUES)";
    codigos << "UPDATE h.D_Diagnosticos SET CodDiagnostico = iif(Orden = 1, ' ' || lower(CodDiagnostico), CodDiagnostico || ' ')"
            << "UPDATE h.D_EVENTO SET CodAfecprin = ' ' || lower(CodAfecprin) || ' ', CodMunicipio = lower(CodMunicipio)";
    const QStringList orden = {"DROP TABLE h.D_EVENTO", "CREATE TABLE h.D_EVENTO AS SELECT " + ListaNombres(columnas) + " FROM main.D_EVENTO"};
    for (const QStringList &cambios : {orden, codigos}) {
        Recepcion r(*destino.ctx);
        ASSERT_TRUE(r.Abre(PaqueteCon(cambios))) << qPrintable(destino.mensajes.Ultimo());
        ASSERT_TRUE(r.Recibe(true, {}));
        EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    }
}

// The merge killed at a statement, in a child process: the database is as before.
TEST_F(Recibe, MuertoAMitadDeLaReunionLaBaseQuedaComoEstaba)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const QString zip = EnviaTodo();
    AltaEvento(destino, A, 2, "2004-06-15");
    for (const char *punto : {"DELETE FROM main.D_EVENTO", "INSERT INTO main.D_DIAGNOSTICOS", "COMMIT"}) {
        Recepcion r(*destino.ctx);
        ASSERT_TRUE(r.Abre(zip));
        const QStringList antes = Contenido(destino.bd());
        destino.bd().Cierra();
        EXPECT_EXIT(
            {
                destino.bd().Abre(destino.ctx->ArchivoBD);
                static const char *texto;
                texto = punto;
                sqlite3_trace_v2(destino.bd().Manejador(), SQLITE_TRACE_STMT,
                                 [](unsigned, void *, void *, void *x) {
                                     if (std::strstr(static_cast<const char *>(x), texto))
                                         std::raise(SIGKILL);
                                     return 0;
                                 },
                                 nullptr);
                r.Recibe(true, {"cSexo"});
                std::exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "")
            << punto;
        destino.bd().Abre(destino.ctx->ArchivoBD);
        EXPECT_EQ(destino.Valor("PRAGMA integrity_check").toString(), "ok");
        EXPECT_EQ(Contenido(destino.bd()), antes) << punto;
        EXPECT_EQ(destino.Cuenta("BITACORA"), 0);
    }
}

} // namespace
