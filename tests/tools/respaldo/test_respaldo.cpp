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
const QStringList SoloLasBases = {"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"};

class Respaldar : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        for (int folio = 1; folio <= 3; ++folio)
            p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                      "VALUES ('DFSSA000011', ?, '2004-06-15', 'PEREZ', '2004-06-15')",
                      {folio});
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
    const QString inicial = p.ctx->RutaDatos + "/VELMORAN0436_061226.ZIP";
    EXPECT_EQ(ventana->txtRuta->text(), inicial);
    ventana->PideRuta = [&](const QString &propuesta) {
        EXPECT_EQ(propuesta, inicial);
        return QString("/media/usb/mio.zip");
    };
    ventana->cmdRuta->click();
    EXPECT_EQ(ventana->txtRuta->text(), "/media/usb/mio.zip");
    ventana->PideRuta = [](const QString &) { return QString(); };
    ventana->cmdRuta->click();
    EXPECT_EQ(ventana->txtRuta->text(), p.ctx->RutaDatos + "/mio.zip");
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
    EXPECT_FALSE(ventana->isVisible());
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
    EXPECT_EQ(p.Valor("PRAGMA leida.integrity_check").toString(), "ok");
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::Files | QDir::Hidden), SoloLasBases);
    EXPECT_EQ(QDir(dir.filePath("O'Brien")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".VELMORAN0436_061226.ZIP.nota.tmp", "VELMORAN0436_061226.ZIP"}));
}

struct CasoRechazo {
    const char *nombre;
    std::function<QString(const ProgramaTemporal &)> destino;
    const char *mensaje;
};

class DestinoRechazado : public Respaldar, public ::testing::WithParamInterface<CasoRechazo> {};

const CasoRechazo CasosRechazo[] = {
    {"LaBaseDeTrabajo", [](const ProgramaTemporal &p) { return p.ctx->ArchivoBD; }, "no puede guardarse sobre la Base de Datos"},
    {"LaPlantilla", [](const ProgramaTemporal &p) { return p.ctx->ArchivoPlantilla(); }, "no puede guardarse sobre la Base de Datos"},
    {"OtraBaseDeDatos", [](const ProgramaTemporal &p) { return p.ctx->RutaDatos + "/VELMORAN0509.DB"; },
     "no puede guardarse sobre la Base de Datos"},
    {"UnaBaseFueraDeDatos",
     [](const ProgramaTemporal &p) {
         QFile::copy(p.ctx->ArchivoPlantilla(), p.Carpeta() + "/respaldo.zip");
         return p.Carpeta() + "/respaldo.zip";
     },
     "no puede guardarse sobre la Base de Datos"},
    {"UnaCarpeta", [](const ProgramaTemporal &p) { return p.Carpeta(); }, "es una carpeta"},
    {"SinRuta", [](const ProgramaTemporal &) { return QString("   "); }, "Escriba la ruta del Respaldo"},
    {"UnaCarpetaQueNoExiste", [](const ProgramaTemporal &p) { return p.ctx->ArchivoPlantilla() + "/V.ZIP"; },
     "No existe la carpeta "},
};

TEST_P(DestinoRechazado, NoCompactaNiEscribeYLoDice)
{
    const QString destino = GetParam().destino(p);
    const QByteArray antes = LeeArchivo(destino);
    Acepta(destino);
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{TituloRespaldo});
    EXPECT_TRUE(p.mensajes.Ultimo().contains(GetParam().mensaje)) << qPrintable(p.mensajes.Ultimo());
    EXPECT_TRUE(ventana->isVisible());
    EXPECT_EQ(compactaciones, 0);
    EXPECT_EQ(LeeArchivo(destino), antes);
    EXPECT_EQ(p.Cuenta("BITACORA"), 0);
}

INSTANTIATE_TEST_SUITE_P(Respaldo, DestinoRechazado, ::testing::ValuesIn(CasosRechazo),
                         [](const auto &i) { return std::string(i.param.nombre); });

} // namespace

