#include "platform/Ajustes.h"
#include "platform/InstanciaUnica.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(InstanciaUnica, LaSegundaCopiaSeRechaza)
{
    QTemporaryDir dir;
    InstanciaUnica primera(dir.path());
    ASSERT_TRUE(primera.Adquiere());
    InstanciaUnica segunda(dir.path());
    EXPECT_FALSE(segunda.Adquiere());
}

TEST(InstanciaUnica, ElCandadoDeUnaCopiaMuertaSeRompe)
{
    QTemporaryDir dir;
    InstanciaUnica instancia(dir.path());
    // A lock left by a process that no longer runs.
    QFile candado(instancia.Ruta());
    ASSERT_TRUE(candado.open(QIODevice::WriteOnly));
    candado.write(QByteArray("2147483000\nvelmoran\n") + QSysInfo::machineHostName().toUtf8() + "\n");
    candado.close();
    EXPECT_TRUE(instancia.Adquiere());
}

TEST(Ajustes, LeeEscribeYDistingueLaClaveQueFalta)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("a.ini");
    {
        Ajustes a(ini);
        EXPECT_TRUE(a.Lee("AnoActual").isNull());
        EXPECT_TRUE(a.Escribe("AnoActual", "2026"));
    }
    Ajustes b(ini);
    EXPECT_EQ(b.Lee("AnoActual"), "2026");
}
