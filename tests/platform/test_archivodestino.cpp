#include "platform/ArchivoDestino.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray Lee(const QString &ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void Escribe(const QString &ruta, const QByteArray &datos)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(datos);
}
} // namespace

TEST(ArchivoDestino, SoloAlConfirmarReemplazaAlAnterior)
{
    QTemporaryDir dir;
    const QString destino = dir.filePath(QStringLiteral("salida.db"));
    Escribe(destino, "viejo");
    {
        ArchivoDestino sinConfirmar(destino);
        Escribe(sinConfirmar.RutaTemporal(), "a medias");
    }
    EXPECT_EQ(Lee(destino), "viejo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    ArchivoDestino archivo(destino);
    Escribe(archivo.RutaTemporal(), "nuevo");
    EXPECT_EQ(Lee(destino), "viejo");
    ASSERT_TRUE(archivo.Confirma());
    EXPECT_EQ(Lee(destino), "nuevo");
    EXPECT_FALSE(QFile::exists(archivo.RutaTemporal()));
}

TEST(ArchivoDestino, SinArchivoEscritoNoConfirmaYLoDice)
{
    QTemporaryDir dir;
    ArchivoDestino archivo(dir.filePath(QStringLiteral("x.xlsx")));
    QString error;
    EXPECT_FALSE(archivo.Confirma(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("x.xlsx")));
}
