#include "comun/ProgramaTemporal.h"
#include "shell/mdiPrincipal.h"

#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

// The misspelt menu caption opens the catalog under its right title.
TEST(MenuPrincipal, CadaMenuDeCatalogoAbreSuTabla)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    EXPECT_EQ(m.windowTitle(), "Sistema VELMORAN");
    QStringList abiertos;
    m.AsignaCargaCatalogo([&abiertos](const QString &t, const QString &c, const QString &titulo) {
        abiertos << t + '|' + c + '|' + titulo;
    });
    m.Item("mnuCat", 14)->trigger();
    m.Item("mnuCat", 21)->trigger();
    EXPECT_EQ(abiertos, (QStringList{"cSitio|CodSitio|Sitio de Ocurrencia", "cReferido|CodReferido|Usuario Referido por"}));
}

TEST(MenuPrincipal, UnErrorDeBaseEnUnMenuSeMuestraYNoTerminaElPrograma)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    m.AsignaAccion("mnuHerra", 1, [] { throw ErrorBD(5, "database is locked"); });
    EXPECT_NO_THROW(m.Item("mnuHerra", 1)->trigger());
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto + "|" + p.mensajes.cajas[0].titulo, "5 - database is locked|Sistema VELMORAN");
    EXPECT_EQ(p.mensajes.cajas[0].icono, Mensajes::Icono::Informacion);
}

TEST(MenuPrincipal, SalirYLaCajaDeCierreCierranLaConexionSinPreguntar)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    for (bool porMenu : {true, false}) {
        p.AbreBase();
        m.show();
        if (porMenu)
            m.Item("mnuArch", 10)->trigger();
        else
            m.close();
        EXPECT_FALSE(m.isVisible() || p.ctx->ConexionBD.EstaAbierta()) << porMenu;
    }
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
}

TEST(MenuPrincipal, PanelEstadoAnoConYSinCatalogo)
{
    ProgramaTemporal p;
    p.AbreBase();
    const BaseDatos &bd = p.bd();
    EXPECT_EQ(TextoEstadoAno(bd, "09", "2004"), p.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '09'").toString() + " - 2004");
    EXPECT_EQ(TextoEstadoAno(bd, "77", "2004"), "2004");
    p.bd().Cierra();
    EXPECT_EQ(TextoEstadoAno(bd, "09", "2004"), "2004");
}

} // namespace
