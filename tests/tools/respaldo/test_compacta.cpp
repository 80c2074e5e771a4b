#include "capture/frmRegistro.h"
#include "comun/ProgramaTemporal.h"
#include "shell/mdiPrincipal.h"
#include "tools/Compacta.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <gtest/gtest.h>

namespace {

const QString TituloCompacta = "Herramientas VELMORAN - Compactar BD";

class Compacta : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        principal = std::make_unique<mdiPrincipal>(*p.ctx);
        // What the panel shows, marked when its clearing timer runs meanwhile.
        p.ctx->PanelMensajes = [this](const QString &t) { panel << t + (principal->tmrMDI()->isActive() ? " (reloj)" : ""); };
    }
    // Rows that leave free pages behind once deleted.
    void Relleno(int filas)
    {
        p.Ejecuta("CREATE TABLE RELLENO(x)");
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) INSERT INTO RELLENO SELECT randomblob(600) FROM n",
                  {filas});
    }
    bool Compacta_() { return CompactaBaseDatos(*p.ctx, principal.get(), [this] { ++paramInicio; }); }
    int Paginas() const { return p.Valor("PRAGMA page_count").toInt(); }

    ProgramaTemporal p;
    std::unique_ptr<mdiPrincipal> principal;
    QStringList panel;
    int paramInicio = 0;
};

TEST_F(Compacta, CierraLasVentanasYDejaElArchivoCompactadoYAbierto)
{
    Relleno(3000);
    p.Ejecuta("DELETE FROM RELLENO");
    const int antes = Paginas();
    AbreHojaRegistro(*p.ctx, *principal->Area());
    ASSERT_EQ(principal->Area()->subWindowList().size(), 1);
    panel.clear();
    // The panel's timer waits during the work and counts its 20 seconds from the end.
    principal->tmrMDI()->setInterval(20000);
    principal->tmrMDI()->start();

    EXPECT_TRUE(Compacta_());
    EXPECT_TRUE(principal->tmrMDI()->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(principal->Area()->subWindowList().isEmpty());
    EXPECT_LT(Paginas(), antes - 400);
    EXPECT_EQ(panel, (QStringList{"Compactanto Base de Datos", "Listo....."}));
    EXPECT_TRUE(principal->isEnabled() && p.mensajes.cajas.isEmpty());
    EXPECT_EQ(p.mensajes.beeps, 1);
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD + "-wal").size(), 0);
}

TEST_F(Compacta, UnaFallaDejaElArchivoComoEstabaYDiceElMotivo)
{
    Relleno(2000);
    p.bd().Cierra();   // the journal goes into the file
    QByteArray danado = LeeArchivo(p.ctx->ArchivoBD);
    danado.replace(danado.size() - 3 * 4096, 4096, QByteArray(4096, '\xff'));
    ASSERT_TRUE(EscribeArchivo(p.ctx->ArchivoBD, danado));
    p.bd().Abre(p.ctx->ArchivoBD);

    EXPECT_TRUE(Compacta_());
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{TituloCompacta});
    EXPECT_TRUE(p.mensajes.Ultimo().startsWith("11 - La Base de Datos está dañada")) << qPrintable(p.mensajes.Ultimo());
    p.bd().Cierra();
    EXPECT_EQ(LeeArchivo(p.ctx->ArchivoBD), danado);
    EXPECT_EQ(panel.last(), "");
    EXPECT_EQ(paramInicio, 0);
}

TEST_F(Compacta, SiNoSePuedeAbrirDeNuevoLlevaALosParametrosDeInicio)
{
    for (const char *sufijo : {"", "-wal", "-shm"})
        QFile::remove(p.ctx->ArchivoBD + sufijo);
    // A folder in its place: closing cannot put a deleted database back.
    QDir().mkdir(p.ctx->ArchivoBD);
    EXPECT_FALSE(Compacta_());
    EXPECT_EQ(p.mensajes.Ultimo(), "14 - No existe el archivo " + p.ctx->ArchivoBD);
    EXPECT_EQ(paramInicio, 1);
    EXPECT_TRUE(principal->isEnabled());
}

} // namespace
