#include "comun/ProgramaTemporal.h"
#include "platform/InstanciaUnica.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "shell/modPrincipal.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class VentanasFalsas : public VentanasArranque {
public:
    bool Login() override { ++logins; return aceptaLogin; }
    bool ParamInicio() override { ++parametros; return alParametros && alParametros(); }
    int logins = 0, parametros = 0;
    bool aceptaLogin = true;
    std::function<bool()> alParametros;
};

class ArranqueTest : public ::testing::Test {
protected:
    bool Arranca()
    {
        return Main(*p.ctx, instancia, principal, ventanas, QSize(1024, 768));
    }
    ProgramaTemporal p;
    QTemporaryDir candados;
    InstanciaUnica instancia{candados.path()};
    mdiPrincipal principal{*p.ctx};
    VentanasFalsas ventanas;
};

const QString MensajeNombreIncorrecto =
    "El nombre de la Base de Datos es incorrecto\npor favor ingrese el nombre correcto ";

TEST_F(ArranqueTest, SinAjustesAbreLaBaseDe2004Y36)
{
    p.CreaBase("36", "2004");
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName(), "VELMORAN0436.db");
    EXPECT_EQ(ventanas.logins * 10 + ventanas.parametros, 10);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty() && principal.isVisible());
    EXPECT_EQ(principal.Panel(1)->text() + "|" + principal.Panel(2)->text(), "Bienvenidos al Sistema VELMORAN|"
              + p.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '36'").toString() + " - 2004");
    EXPECT_FALSE(principal.TieneFondo());   // no picture in RECURSOS: none, and nothing said
    // The timer empties the message panel.
    p.ctx->EscribePanel("Un momento por favor.....");
    principal.tmrMDI()->start(1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return principal.Panel(1)->text().isEmpty(); }, 5000));
    principal.close();
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta());
}

TEST_F(ArranqueTest, AjustesEnBlancoTomanLosValoresPorOmision)
{
    p.ajustes->Escribe("AnoActual", "   ");
    p.ajustes->Escribe("EstadoActual", "09");
    p.CreaBase("09", "2004");
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(p.ctx->AnoActual + p.ctx->EstadoActual, "200409");
    EXPECT_EQ(principal.Panel(2)->text(), p.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '09'").toString() + " - 2004");
}

TEST_F(ArranqueTest, BaseFaltanteLlevaALosParametrosYSigue)
{
    ventanas.alParametros = [this] {
        // The user creates the database from the start-parameter window.
        p.mensajes.Responde(true);
        ParamInicio logica(*p.ctx);
        return logica.AplicaParamInicio("15", "2026") == ParamInicio::Resultado::Abierta;
    };
    ASSERT_TRUE(Arranca());
    ASSERT_GE(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto + "|" + p.mensajes.cajas[0].titulo, MensajeNombreIncorrecto + "|Parámetros del sistema");
    EXPECT_EQ(ventanas.parametros * 10 + ventanas.logins, 11);
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName(), "VELMORAN2615.db");
    EXPECT_EQ(p.ajustes->Lee("EstadoActual"), "15");
}

// Every failed open asks again; a file that is there but is no database gets
// its reason after the message of a wrong name, and is never touched.
TEST_F(ArranqueTest, CadaFalloVuelveAPedirLosParametrosYNoTocaUnArchivoAjeno)
{
    const QString ruta = p.ctx->NombreArchivoBD("36", "2004");
    ASSERT_TRUE(EscribeArchivo(ruta, "datos ajenos"));
    ventanas.alParametros = [this] { return ventanas.parametros < 3; };   // closes twice, then gives up
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(ventanas.parametros * 10 + p.mensajes.cajas.size(), 33);
    for (const auto &c : p.mensajes.cajas)
        EXPECT_EQ(c.texto, MensajeNombreIncorrecto + "\n\nEl archivo " + ruta + " no es una Base de Datos de VELMORAN");
    EXPECT_FALSE(ventanas.logins || principal.isVisible());
    EXPECT_EQ(LeeArchivo(ruta), "datos ajenos");
}

TEST_F(ArranqueTest, SegundaInstanciaOLoginCanceladoTerminanSinBaseAbierta)
{
    p.CreaBase();
    {
        InstanciaUnica otra(candados.path());
        ASSERT_TRUE(otra.Adquiere());
        EXPECT_FALSE(Arranca());
        EXPECT_EQ(p.mensajes.Ultimo() + "|" + p.mensajes.cajas.value(0).titulo, "La aplicacion VELMORAN ya se encuentra activa|VELMORAN");
        EXPECT_EQ(ventanas.logins, 0);
    }
    ventanas.aceptaLogin = false;
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(ventanas.logins, 1);
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta() || principal.isVisible());
}

TEST(ImagenFondo, AmbosLimitesDebenCumplirse)
{
    EXPECT_TRUE(ImagenFondo("/p/RECURSOS", QSize(1024, 768)).endsWith("RECURSOS/TELMORIX1024.jpg"));
    EXPECT_TRUE(ImagenFondo("/p/RECURSOS", QSize(1280, 720)).endsWith("RECURSOS/TELMORIX800.jpg"));
    EXPECT_TRUE(ImagenFondo("/p/RECURSOS", QSize(800, 600)).endsWith("RECURSOS/TELMORIX800.jpg"));
}

TEST_F(ArranqueTest, ElIconoDeRecursosLoLlevanTodasLasVentanas)
{
    p.CreaBase();
    QImage rojo(16, 16, QImage::Format_RGB32);
    rojo.fill(Qt::red);
    ASSERT_TRUE(QDir().mkpath(p.Carpeta() + "/RECURSOS"));
    ASSERT_TRUE(rojo.save(ArchivoIcono(p.ctx->CarpetaRecursos()), "PNG"));
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(principal.windowIcon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QWidget hija;
    EXPECT_EQ(hija.windowIcon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QApplication::setWindowIcon(QIcon());
}

} // namespace
