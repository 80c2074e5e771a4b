#include "comun/ProgramaTemporal.h"
#include "platform/ArchivoDestino.h"
#include "platform/BaseDatos.h"
#include "platform/Empaque.h"
#include "platform/Progreso.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A small VELMORAN-marked SQLite file, independent of the template.
QString CreaBaseMarcada(const QString &ruta, bool marcada = true)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "crea");
        db.setDatabaseName(ruta);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec("CREATE TABLE T (Clave INTEGER PRIMARY KEY, Texto TEXT)"));
        if (marcada) {
            EXPECT_TRUE(q.exec(QStringLiteral("PRAGMA application_id = %1").arg(BaseDatos::IdAplicacion)));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("crea");
    return ruta;
}

class BaseDatosTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Ruta(const QString &nombre) const { return dir.filePath(nombre); }
};

TEST_F(BaseDatosTest, NuncaCreaUnArchivoQueFalta)
{
    BaseDatos bd;
    const QString falta = Ruta("no_existe.db");
    EXPECT_THROW(bd.Abre(falta), ErrorBD);
    EXPECT_FALSE(QFileInfo::exists(falta));
    EXPECT_FALSE(bd.EstaAbierta());
}

TEST_F(BaseDatosTest, RechazaArchivosQueNoSonDeVelmoran)
{
    ASSERT_TRUE(EscribeArchivo(Ruta("texto.db"), "esto no es una base de datos"));
    const QString ajena = CreaBaseMarcada(Ruta("ajena.db"), false);

    BaseDatos bd;
    for (const QString &archivo : {Ruta("texto.db"), ajena}) {
        try {
            bd.Abre(archivo);
            ADD_FAILURE() << "Se abrió " << archivo.toStdString();
        } catch (const ErrorBD &e) {
            EXPECT_TRUE(e.Descripcion().contains("no es una Base de Datos de VELMORAN"));
        }
        EXPECT_FALSE(bd.EstaAbierta());
    }
}

TEST_F(BaseDatosTest, FuncionesDelDialectoTrasCadaApertura)
{
    BaseDatos bd;
    const QString ruta = CreaBaseMarcada(Ruta("v.db"));
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        bd.Abre(ruta);
        EXPECT_EQ(bd.Valor("SELECT CDATE(?)", {"26/12/2003"}).toString(), "2003-12-26");
        EXPECT_TRUE(bd.Valor("SELECT CDATE(?)", {"31/02/2004"}).isNull());
        EXPECT_EQ(bd.Valor("SELECT VAL(?)", {"  12ab"}).toInt(), 12);
        EXPECT_EQ(bd.Valor("SELECT VAL(?)", {"x1"}).toInt(), 0);
        EXPECT_EQ(bd.Valor("SELECT LEN(?)", {"ÑU"}).toInt(), 2);
        EXPECT_EQ(bd.Valor("SELECT MID(?, 2, 2)", {"ABCD"}).toString(), "BC");
        bd.Cierra();
    }
}

// A confirmed save reaches the disk with its commit, not at the next checkpoint.
TEST_F(BaseDatosTest, CadaConfirmacionSeVuelcaAlDisco)
{
    BaseDatos bd;
    bd.Abre(CreaBaseMarcada(Ruta("s.db")));
    EXPECT_EQ(bd.Valor("PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(bd.Valor("PRAGMA synchronous").toInt(), 2);   // FULL
}

TEST_F(BaseDatosTest, TransaccionSinConfirmarNoDejaNada)
{
    BaseDatos bd;
    bd.Abre(CreaBaseMarcada(Ruta("t.db")));
    {
        Transaccion t(bd);
        bd.EjecutaAccion("INSERT INTO T VALUES (?, ?)", {1, "uno"});
    }
    EXPECT_EQ(bd.Valor("SELECT count(*) FROM T").toInt(), 0);
    {
        Transaccion t(bd);
        bd.EjecutaAccion("INSERT INTO T VALUES (?, ?)", {1, "uno"});
        t.Confirma();
    }
    EXPECT_EQ(bd.Valor("SELECT count(*) FROM T").toInt(), 1);
}

TEST_F(BaseDatosTest, ErroresConNumeroYClaveDuplicada)
{
    BaseDatos bd;
    bd.Abre(CreaBaseMarcada(Ruta("e.db")));
    bd.EjecutaAccion("INSERT INTO T VALUES (?, ?)", {1, "uno"});
    try {
        bd.EjecutaAccion("INSERT INTO T VALUES (?, ?)", {1, "otra vez"});
        ADD_FAILURE() << "La clave duplicada no falló";
    } catch (const ErrorBD &e) {
        EXPECT_TRUE(e.ViolaClave());
        EXPECT_NE(e.Numero(), 0);
    }
    try {
        bd.Ejecuta("SELECT * FROM NoHay");
        ADD_FAILURE() << "La tabla inexistente no falló";
    } catch (const ErrorBD &e) {
        EXPECT_FALSE(e.ViolaClave());
        // The clerk reads what failed in Spanish; the engine's words follow.
        EXPECT_EQ(e.Descripcion(),
                  QStringLiteral("La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoHay)"));
    }
    // Text typed by a user is a value, never SQL.
    bd.EjecutaAccion("INSERT INTO T VALUES (?, ?)", {2, "O'BRIEN'); DROP TABLE T;--"});
    EXPECT_TRUE(ExisteTabla(bd, "T"));
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
