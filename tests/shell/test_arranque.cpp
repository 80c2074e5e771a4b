#include "comun/ProgramaTemporal.h"
#include "platform/InstanciaUnica.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "shell/modPrincipal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class VentanasFalsas : public VentanasArranque {
public:
    bool Login() override
    {
        ++logins;
        return aceptaLogin;
    }
    bool ParamInicio() override
    {
        ++parametros;
        return alParametros ? alParametros() : false;
    }
    int logins = 0;
    int parametros = 0;
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
    QStringLiteral("El nombre de la Base de Datos es incorrecto\npor favor ingrese el nombre correcto ");

TEST_F(ArranqueTest, SinAjustesAbreLaBaseDe2004Y36)
{
    p.CreaBase(QStringLiteral("36"), QStringLiteral("2004"));
    ASSERT_TRUE(Arranca());
    EXPECT_TRUE(p.ctx->ConexionBD.EstaAbierta());
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName(), QStringLiteral("VELMORAN0436.db"));
    EXPECT_EQ(ventanas.logins, 1);
    EXPECT_EQ(ventanas.parametros, 0);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
    EXPECT_EQ(principal.Panel(1)->text(), QStringLiteral("Bienvenidos al Sistema VELMORAN"));
    const QString pais = p.ctx->ConexionBD.Valor(QStringLiteral("SELECT Descripcion FROM cEstados WHERE CodEstado = '36'")).toString();
    EXPECT_EQ(principal.Panel(2)->text(), pais + QStringLiteral(" - 2004"));
    EXPECT_EQ(principal.tmrMDI()->interval(), 20000);
    EXPECT_TRUE(principal.tmrMDI()->isActive());
    EXPECT_TRUE(principal.isVisible());
    principal.close();
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta());
}

TEST_F(ArranqueTest, AjustesEnBlancoTomanLosValoresPorOmision)
{
    p.ajustes->Escribe(QStringLiteral("AnoActual"), QStringLiteral("   "));
    p.ajustes->Escribe(QStringLiteral("EstadoActual"), QStringLiteral("09"));
    p.CreaBase(QStringLiteral("09"), QStringLiteral("2004"));
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(p.ctx->AnoActual, QStringLiteral("2004"));
    EXPECT_EQ(p.ctx->EstadoActual, QStringLiteral("09"));
    EXPECT_TRUE(principal.Panel(2)->text().endsWith(QStringLiteral(" - 2004")));
    EXPECT_NE(principal.Panel(2)->text(), QStringLiteral(" - 2004"));
}

TEST_F(ArranqueTest, BaseFaltanteLlevaALosParametrosYSigue)
{
    ventanas.alParametros = [this] {
        // The user creates the database from the start-parameter window.
        p.mensajes.Responde(true);
        ParamInicio logica(*p.ctx);
        return logica.AplicaParamInicio(QStringLiteral("15"), QStringLiteral("2026")) == ParamInicio::Resultado::Abierta;
    };
    ASSERT_TRUE(Arranca());
    ASSERT_GE(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto, MensajeNombreIncorrecto);
    EXPECT_EQ(p.mensajes.cajas[0].titulo, QStringLiteral("Parámetros del sistema"));
    EXPECT_EQ(ventanas.parametros, 1);
    EXPECT_EQ(ventanas.logins, 1);
    EXPECT_EQ(QFileInfo(p.ctx->ArchivoBD).fileName(), QStringLiteral("VELMORAN2615.db"));
    EXPECT_EQ(p.ajustes->Lee(QStringLiteral("EstadoActual")), QStringLiteral("15"));
}

TEST_F(ArranqueTest, CadaFalloVuelveAPedirLosParametros)
{
    // The window closes without opening anything twice, then the user gives up.
    ventanas.alParametros = [this] { return ventanas.parametros < 3; };
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(ventanas.parametros, 3);
    EXPECT_EQ(p.mensajes.cajas.size(), 3);
    for (const auto &c : p.mensajes.cajas)
        EXPECT_EQ(c.texto, MensajeNombreIncorrecto);
    EXPECT_EQ(ventanas.logins, 0);
    EXPECT_FALSE(principal.isVisible());
}

TEST_F(ArranqueTest, UnArchivoQueNoEsBaseNoSeAbreNiSeToca)
{
    const QString ruta = p.ctx->NombreArchivoBD(QStringLiteral("36"), QStringLiteral("2004"));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("datos ajenos");
    f.close();
    EXPECT_FALSE(Arranca());
    EXPECT_EQ(p.mensajes.Ultimo(), MensajeNombreIncorrecto);
    QFile g(ruta);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), QByteArray("datos ajenos"));
}

TEST_F(ArranqueTest, SegundaInstanciaTerminaSinAbrirLaBase)
{
    p.CreaBase();
    InstanciaUnica otra(candados.path());
    ASSERT_TRUE(otra.Adquiere());
    EXPECT_FALSE(Arranca());
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto, QStringLiteral("La aplicacion VELMORAN ya se encuentra activa"));
    EXPECT_EQ(p.mensajes.cajas[0].titulo, QStringLiteral("VELMORAN"));
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta());
}

TEST_F(ArranqueTest, LoginCanceladoCierraLaConexion)
{
    p.CreaBase();
    ventanas.aceptaLogin = false;
    EXPECT_FALSE(Arranca());
    EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta());
    EXPECT_FALSE(principal.isVisible());
}

TEST(ImagenFondo, AmbosLimitesDebenCumplirse)
{
    EXPECT_TRUE(ImagenFondo(QStringLiteral("/p"), QSize(1024, 768)).endsWith(QStringLiteral("RECURSOS/TELMORIX1024.jpg")));
    EXPECT_TRUE(ImagenFondo(QStringLiteral("/p"), QSize(1280, 720)).endsWith(QStringLiteral("RECURSOS/TELMORIX800.jpg")));
    EXPECT_TRUE(ImagenFondo(QStringLiteral("/p"), QSize(800, 600)).endsWith(QStringLiteral("RECURSOS/TELMORIX800.jpg")));
}

TEST_F(ArranqueTest, SinImagenNoHayFondoNiMensaje)
{
    p.CreaBase();
    ASSERT_TRUE(Arranca());
    EXPECT_FALSE(principal.TieneFondo());
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
}

TEST_F(ArranqueTest, ElTemporizadorVaciaElPanelDeMensajes)
{
    p.CreaBase();
    ASSERT_TRUE(Arranca());
    p.ctx->EscribePanel(QStringLiteral("Un momento por favor....."));
    principal.tmrMDI()->start(1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return principal.Panel(1)->text().isEmpty(); }, 5000));
}

} // namespace
