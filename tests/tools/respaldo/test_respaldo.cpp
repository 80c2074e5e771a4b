#include "comun/ProgramaTemporal.h"
#include "platform/Empaque.h"
#include "tools/Compacta.h"
#include "tools/SqlTablas.h"
#include "tools/frmRespaldarBase.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString TituloRespaldo = "Respaldos VELMORAN";

class Respaldar : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        for (int folio = 1; folio <= 3; ++folio)
            p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000011', ?, '2004-06-15')", {folio});
        p.ctx->PanelMensajes = [this](const QString &t) { panel << t; };
        ventana = std::make_unique<frmRespaldarBase>(*p.ctx, [this] {
            ++compactaciones;
            return CompactaBaseDatos(*p.ctx, nullptr, {});
        });
        ventana->show();
    }
    void Acepta(const QString &ruta)
    {
        ventana->txtRuta->setText(ruta);
        ventana->cmdAceptar->click();
    }

    ProgramaTemporal p;
    std::unique_ptr<frmRespaldarBase> ventana;
    QStringList panel;
    int compactaciones = 0;
};

TEST_F(Respaldar, NombreConLaFechaYRutaElegidaOCancelada)
{
    EXPECT_EQ(ventana->txtRuta->text(), p.ctx->RutaDatos + "/VELMORAN0436_061226.ZIP");
    ventana->PideRuta = [](const QString &) { return QString("/media/usb/mio.zip"); };
    ventana->cmdRuta->click();
    EXPECT_EQ(ventana->txtRuta->text(), "/media/usb/mio.zip");
    EXPECT_EQ(ventana->logica.RutaElegida(""), p.ctx->RutaDatos + "/mio.zip");
    EXPECT_EQ(ventana->logica.Destino(" /media/usb/ "), "/media/usb/mio.zip");
}

TEST_F(Respaldar, ElArchivoLeidoDeNuevoGuardaLaBaseYQuedaEnLaBitacora)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("O'Brien"));
    const QString destino = dir.filePath("O'Brien/VELMORAN0436_061226.ZIP");
    ASSERT_TRUE(EscribeArchivo(destino, "respaldo de ayer"));
    // What an interrupted backup left goes; a file of another name stays.
    const QStringList restos = {p.ctx->RutaDatos + "/.BKUP0436.db.0123456789ab.tmp",
                                p.ctx->RutaDatos + "/.BKUP0436.db.0123456789ab.tmp-journal",
                                dir.filePath("O'Brien/.VELMORAN0436_061226.ZIP.a1b2c3d4e5f6.tmp")};
    for (const QString &r : restos + QStringList{dir.filePath("O'Brien/.VELMORAN0436_061226.ZIP.nota.tmp")})
        ASSERT_TRUE(EscribeArchivo(r, "resto"));

    Acepta(destino);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{TituloRespaldo});
    EXPECT_EQ(p.mensajes.Ultimo(), "Se terminó el Respaldo de la Base de Datos");
    EXPECT_EQ(panel, (QStringList{"Compactanto Base de Datos", "Listo.....", "Respaldando Base de Datos...........",
                                  "Empacando el Respaldo en " + destino + "...........", "", "Listo.........."}));
    EXPECT_EQ(compactaciones, 1);
    EXPECT_EQ(p.Filas("SELECT TIPO, NOMBRE, RUTA, FECHA, EVENTOS FROM BITACORA"),
              QStringList{"1|VELMORAN0436_061226.ZIP|" + dir.path() + "/O'Brien/|2026-12-06 10:00:00|3"});

    QString error;
    ASSERT_TRUE(ExtraeMiembro(destino, "BKUP0436.db", dir.filePath("copia.db"), LimiteExtraccion, &error)) << qPrintable(error);
    BaseAdjunta leida(p.bd(), dir.filePath("copia.db"), "leida", true);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM leida.D_EVENTO").toInt(), 3);
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
    EXPECT_EQ(QDir(dir.filePath("O'Brien")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".VELMORAN0436_061226.ZIP.nota.tmp", "VELMORAN0436_061226.ZIP"}));
}

TEST_F(Respaldar, UnDestinoRechazadoNoCompactaNiEscribeYLoDice)
{
    const QString otra = p.ctx->RutaDatos + "/VELMORAN0509.DB", fuera = p.Carpeta() + "/respaldo.zip";
    QFile::copy(p.ctx->ArchivoPlantilla(), fuera);
    const QString sobreBase = "El Respaldo no puede guardarse sobre la Base de Datos %1, elija otro archivo, verifique por favor.....";
    const QString casos[][2] = {
        {otra, sobreBase.arg(otra)},   // by its name in Datos
        {fuera, sobreBase.arg(fuera)},   // by its content elsewhere
        {p.Carpeta(), p.Carpeta() + " es una carpeta; escriba también el nombre del archivo, verifique por favor....."},
        {"   ", "Escriba la ruta del Respaldo, verifique por favor....."},
        {fuera + "/V.ZIP", "No existe la carpeta " + fuera + ", verifique por favor....."},
    };
    for (const auto &c : casos) {
        const QByteArray antes = LeeArchivo(c[0]);
        Acepta(c[0]);
        EXPECT_EQ(p.mensajes.Ultimo(), c[1]);
        EXPECT_EQ(LeeArchivo(c[0]), antes);
    }
    EXPECT_EQ(p.mensajes.Titulos(), QStringList(5, TituloRespaldo));
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_EQ(compactaciones, 0);
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
}

} // namespace
