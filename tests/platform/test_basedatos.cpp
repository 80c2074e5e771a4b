#include "comun/ProgramaTemporal.h"
#include "platform/ArchivoDestino.h"
#include "platform/BaseDatos.h"
#include "platform/Empaque.h"
#include "platform/Progreso.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class BaseDatosTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        p.Ejecuta("CREATE TABLE T (Clave INTEGER PRIMARY KEY, Texto TEXT)");
    }
    ProgramaTemporal p;
};

// A missing file is never created; text or a SQLite file of another program is refused.
TEST_F(BaseDatosTest, SoloAbreBasesDeVelmoranQueExisten)
{
    const QString falta = p.Carpeta() + "/no_existe.db", texto = p.Carpeta() + "/texto.db", ajena = p.Carpeta() + "/ajena.db";
    ASSERT_TRUE(EscribeArchivo(texto, "esto no es una base de datos"));
    p.Ejecuta("ATTACH DATABASE ? AS a", {ajena});
    p.Ejecuta("CREATE TABLE a.T (x)");
    p.Ejecuta("DETACH DATABASE a");
    BaseDatos bd("otra");
    for (const QString &archivo : {falta, texto, ajena}) {
        EXPECT_THROW(try { bd.Abre(archivo); } catch (const ErrorBD &e) {
            EXPECT_TRUE(archivo == falta || e.Descripcion().contains("no es una Base de Datos de VELMORAN"));
            throw;
        }, ErrorBD);
        EXPECT_FALSE(bd.EstaAbierta());
    }
    EXPECT_FALSE(QFileInfo::exists(falta));
}

// The dialect's functions come back with every opening; a confirmed save
// reaches the disk with its commit, not at the next checkpoint.
TEST_F(BaseDatosTest, FuncionesDelDialectoTrasCadaAperturaYVolcadoAlConfirmar)
{
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        EXPECT_EQ(p.Filas("SELECT CDATE(?), CDATE(?) IS NULL, VAL(?), VAL(?), LEN(?), MID(?, 2, 2)",
                          {"26/12/2003", "31/02/2004", "  12ab", "x1", "ÑU", "ABCD"}),
                  QStringList{"2003-12-26|1|12|0|2|BC"});
        p.bd().Cierra();
        p.bd().Abre(p.ctx->ArchivoBD);
    }
    EXPECT_EQ(p.Filas("PRAGMA journal_mode") + p.Filas("PRAGMA synchronous"), (QStringList{"wal", "2"}));   // FULL
}

TEST_F(BaseDatosTest, TransaccionErroresConNumeroYValoresQueNoSonSql)
{
    for (const bool confirma : {false, true}) {
        Transaccion t(p.bd());
        p.Ejecuta("INSERT INTO T VALUES (?, ?)", {1, "uno"});
        if (confirma)
            t.Confirma();
    }
    EXPECT_EQ(p.Filas("SELECT * FROM T"), QStringList{"1|uno"});
    try {
        p.Ejecuta("INSERT INTO T VALUES (?, ?)", {1, "otra vez"});
        ADD_FAILURE() << "La clave duplicada no falló";
    } catch (const ErrorBD &e) {
        EXPECT_TRUE(e.ViolaClave());
        EXPECT_NE(e.Numero(), 0);
    }
    try {
        p.Valor("SELECT * FROM NoHay");
        ADD_FAILURE() << "La tabla inexistente no falló";
    } catch (const ErrorBD &e) {
        EXPECT_FALSE(e.ViolaClave());
        // The clerk reads what failed in Spanish; the engine's words follow.
        EXPECT_EQ(e.Descripcion(), "La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoHay)");
    }
    p.Ejecuta("INSERT INTO T VALUES (?, ?)", {2, "O'BRIEN'); DROP TABLE T;--"});
    EXPECT_TRUE(ExisteTabla(p.bd(), "T"));
}

// The old file stays until the new one is confirmed; one unconfirmed or unwritten leaves nothing.
TEST(ArchivoDestino, SoloAlConfirmarReemplazaAlAnterior)
{
    QTemporaryDir dir;
    const QString destino = dir.filePath("salida.db");
    EscribeArchivo(destino, "viejo");
    EscribeArchivo(ArchivoDestino(destino).RutaTemporal(), "a medias");
    EXPECT_EQ(LeeArchivo(destino), "viejo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"salida.db"});
    ArchivoDestino archivo(destino);
    EscribeArchivo(archivo.RutaTemporal(), "nuevo");
    EXPECT_EQ(LeeArchivo(destino), "viejo");
    ASSERT_TRUE(archivo.Confirma());
    EXPECT_EQ(LeeArchivo(destino), "nuevo");
    EXPECT_FALSE(QFile::exists(archivo.RutaTemporal()));
    QString error;
    EXPECT_FALSE(ArchivoDestino(dir.filePath("x.xlsx")).Confirma(&error));
    EXPECT_TRUE(error.contains("x.xlsx"));
}

// Counts with thousands separated; only the outermost work holds the panel timer.
TEST(Progreso, EtapaYCuentaEnElPanelYSoloLaObraDeFueraDetieneElReloj)
{
    QStringList panel;
    const auto escribe = [&](const QString &t) { panel << t; };
    const auto ocupado = [&](bool empieza) { panel << (empieza ? "<empieza>" : "<termina>"); };
    {
        Progreso fuera(escribe, ocupado, "Exportando");
        fuera.Cuenta(250000, 1000000);
        Progreso dentro(escribe, ocupado, "Copiando");
        dentro.Cuenta(1234567);
    }
    EXPECT_EQ(panel, (QStringList{"<empieza>", "Exportando", "Exportando 250,000 de 1,000,000", "Copiando",
                                  "Copiando 1,234,567", "<termina>"}));
}

} // namespace

// The working database and its journals, under any name, are refused before
// anything opens them: closing that descriptor would drop SQLite's locks.
TEST(BaseDeTrabajo, LasRevisionesLaRechazanSinAbrirla)
{
    ProgramaTemporal p;
    p.AbreBase();
    const QString bd = p.ctx->ArchivoBD, enlace = p.Carpeta() + "/enlace.zip";
    QFile::link(bd, enlace);
    QString error;
    for (const QString &ruta : {bd, bd + "-wal", bd + "-shm", bd + "-journal", enlace}) {
        EXPECT_TRUE(BaseDatos::EsArchivoDeBaseAbierta(ruta)) << ruta.toStdString();
        EXPECT_TRUE(BaseDatos::EsArchivoSqlite(ruta));
        ArchivoDestino destino(ruta);
        EscribeArchivo(destino.RutaTemporal(), "x");
        EXPECT_FALSE(destino.Confirma(&error));
        EXPECT_EQ(error, BaseDatos::TextoBaseAbierta(ruta));
    }
    EXPECT_FALSE(ExtraeMiembro(enlace, "x.db", p.Carpeta() + "/x.db", LimiteExtraccion, &error));
    EXPECT_EQ(error, "El archivo " + enlace + " es la Base de Datos que el programa tiene abierta, elija otro archivo, "
                     "verifique por favor.....");
    EXPECT_FALSE(BaseDatos::EsBaseVelmoran(bd + "-wal"));
    EXPECT_FALSE(BaseDatos::EsArchivoDeBaseAbierta(p.CreaBase("09", "2026")));
    EXPECT_EQ(BloqueosPerdidos(bd), "");
}
