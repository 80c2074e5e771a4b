#include "platform/BaseDatos.h"

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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crea"));
        db.setDatabaseName(ruta);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QStringLiteral("CREATE TABLE T (Clave INTEGER PRIMARY KEY, Texto TEXT)")));
        if (marcada)
            EXPECT_TRUE(q.exec(QStringLiteral("PRAGMA application_id = %1").arg(BaseDatos::IdAplicacion)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crea"));
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
    const QString falta = Ruta(QStringLiteral("no_existe.db"));
    EXPECT_THROW(bd.Abre(falta), ErrorBD);
    EXPECT_FALSE(QFileInfo::exists(falta));
    EXPECT_FALSE(bd.EstaAbierta());
}

TEST_F(BaseDatosTest, RechazaArchivosQueNoSonDeVelmoran)
{
    QFile texto(Ruta(QStringLiteral("texto.db")));
    ASSERT_TRUE(texto.open(QIODevice::WriteOnly));
    texto.write("esto no es una base de datos");
    texto.close();
    const QString ajena = CreaBaseMarcada(Ruta(QStringLiteral("ajena.db")), false);

    BaseDatos bd;
    for (const QString &archivo : {texto.fileName(), ajena}) {
        try {
            bd.Abre(archivo);
            ADD_FAILURE() << "Se abrió " << archivo.toStdString();
        } catch (const ErrorBD &e) {
            EXPECT_TRUE(e.Descripcion().contains(QStringLiteral("no es una Base de Datos de VELMORAN")));
        }
        EXPECT_FALSE(bd.EstaAbierta());
    }
}

TEST_F(BaseDatosTest, FuncionesDelDialectoTrasCadaApertura)
{
    BaseDatos bd;
    const QString ruta = CreaBaseMarcada(Ruta(QStringLiteral("v.db")));
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        bd.Abre(ruta);
        EXPECT_EQ(bd.Valor(QStringLiteral("SELECT CDATE(?)"), {QStringLiteral("26/12/2003")}).toString(),
                  QStringLiteral("2003-12-26"));
        EXPECT_TRUE(bd.Valor(QStringLiteral("SELECT CDATE(?)"), {QStringLiteral("31/02/2004")}).isNull());
        EXPECT_EQ(bd.Valor(QStringLiteral("SELECT VAL(?)"), {QStringLiteral("  12ab")}).toInt(), 12);
        EXPECT_EQ(bd.Valor(QStringLiteral("SELECT VAL(?)"), {QStringLiteral("x1")}).toInt(), 0);
        EXPECT_EQ(bd.Valor(QStringLiteral("SELECT LEN(?)"), {QStringLiteral("ÑU")}).toInt(), 2);
        EXPECT_EQ(bd.Valor(QStringLiteral("SELECT MID(?, 2, 2)"), {QStringLiteral("ABCD")}).toString(), QStringLiteral("BC"));
        bd.Cierra();
    }
}

TEST_F(BaseDatosTest, TransaccionSinConfirmarNoDejaNada)
{
    BaseDatos bd;
    bd.Abre(CreaBaseMarcada(Ruta(QStringLiteral("t.db"))));
    {
        Transaccion t(bd);
        bd.EjecutaAccion(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {1, QStringLiteral("uno")});
    }
    EXPECT_EQ(bd.Valor(QStringLiteral("SELECT count(*) FROM T")).toInt(), 0);
    {
        Transaccion t(bd);
        bd.EjecutaAccion(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {1, QStringLiteral("uno")});
        t.Confirma();
    }
    EXPECT_EQ(bd.Valor(QStringLiteral("SELECT count(*) FROM T")).toInt(), 1);
}

TEST_F(BaseDatosTest, ErroresConNumeroYClaveDuplicada)
{
    BaseDatos bd;
    bd.Abre(CreaBaseMarcada(Ruta(QStringLiteral("e.db"))));
    bd.EjecutaAccion(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {1, QStringLiteral("uno")});
    try {
        bd.EjecutaAccion(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {1, QStringLiteral("otra vez")});
        ADD_FAILURE() << "La clave duplicada no falló";
    } catch (const ErrorBD &e) {
        EXPECT_TRUE(e.ViolaClave());
        EXPECT_NE(e.Numero(), 0);
    }
    try {
        bd.Ejecuta(QStringLiteral("SELECT * FROM NoHay"));
        ADD_FAILURE() << "La tabla inexistente no falló";
    } catch (const ErrorBD &e) {
        EXPECT_FALSE(e.ViolaClave());
        EXPECT_FALSE(e.Descripcion().isEmpty());
    }
    // Text typed by a user is a value, never SQL.
    bd.EjecutaAccion(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {2, QStringLiteral("O'BRIEN'); DROP TABLE T;--")});
    EXPECT_TRUE(bd.ExisteTabla(QStringLiteral("T")));
}

} // namespace
