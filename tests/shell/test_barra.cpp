#include "comun/ProgramaTemporal.h"
#include "shell/BarraDatos.h"
#include "shell/mdiPrincipal.h"

#include <QMenuBar>
#include <gtest/gtest.h>

namespace {

QList<int> Habilitados(const BarraDatos &b)
{
    QList<int> r;
    for (int pos = 1; pos <= b.Cantidad(); ++pos)
        if (b.Boton(pos) && b.Boton(pos)->isEnabled())
            r << pos;
    return r;
}

TEST(BarraDatos, ModosDeEdicionYNavegacion)
{
    BarraDatos barra(TitulosBarraCompleta());
    ASSERT_EQ(barra.Cantidad(), 13);
    HabilitaBotones(1, barra);
    EXPECT_EQ(Habilitados(barra), (QList<int>{8, 9}));
    HabilitaBotones(2, barra);
    EXPECT_EQ(Habilitados(barra), (QList<int>{1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13}));
    HabilitaBotones(3, barra);   // unknown mode: nothing changes
    EXPECT_EQ(Habilitados(barra), (QList<int>{1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13}));
}

TEST(BarraDatos, BarraCortaConSeparadorContadoComoPosicion)
{
    BarraDatos barra({"Primero", "Anterior", "Siguiente", "Último", "-", "Aceptar", "Cancelar"});
    EXPECT_EQ(barra.Cantidad(), 7);
    EXPECT_EQ(barra.Boton(5), nullptr);
    EXPECT_EQ(barra.Boton(6)->text(), "Aceptar");
    EXPECT_EQ(barra.Boton(8), nullptr);
    int pulsado = 0;
    QObject::connect(&barra, &BarraDatos::BotonPulsado, [&pulsado](int pos) { pulsado = pos; });
    barra.Boton(7)->trigger();
    EXPECT_EQ(pulsado, 7);
    // Positions the toolbar lacks are skipped without complaint.
    AsignaImagenes(barra, 3);
    HabilitaBotones(1, barra);
    EXPECT_EQ(Habilitados(barra), QList<int>{});
}

TEST(BarraDatos, ImagenesPorModo)
{
    // The pictures per position and mode, as the toolbars' design gives them.
    BarraDatos barra(TitulosBarraCompleta());
    auto imagen = [&barra](int pos) { return barra.Boton(pos)->icon().pixmap(16, 16).toImage(); };
    auto dibujo = [](int n) { return ImagenTB(n).pixmap(16, 16).toImage(); };
    AsignaImagenes(barra, 0);
    EXPECT_EQ(imagen(7), dibujo(16));
    EXPECT_EQ(imagen(5), dibujo(20));
    AsignaImagenes(barra, 3);
    EXPECT_EQ(imagen(6), dibujo(22));
    EXPECT_EQ(imagen(7), dibujo(17));
    AsignaImagenes(barra, 2);
    EXPECT_EQ(imagen(5), dibujo(22));
}

TEST(MenuPrincipal, TodosLosMenusYLosNoConstruidosDeshabilitados)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    EXPECT_EQ(m.windowTitle(), "Sistema VELMORAN");
    QStringList titulos;
    for (QAction *a : m.menuBar()->actions())
        titulos << a->text();
    EXPECT_EQ(titulos, (QStringList{"&Archivo", "&Catalogos", "Ca&ptura", "&Reportes", "&Herramientas"}));
    EXPECT_EQ(m.Item("mnuCat", 14)->text(), "Sitio de Ocuerrencia");
    EXPECT_EQ(m.Item("mnuCapt", 0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_FALSE(m.Item("mnuCapt", 0)->isEnabled());
    EXPECT_FALSE(m.Item("mnuReportes", 0)->isEnabled());
    EXPECT_TRUE(m.Item("mnuArch", 10)->isEnabled());

    QStringList abiertos;
    m.AsignaCargaCatalogo([&abiertos](const QString &t, const QString &c, const QString &titulo) {
        abiertos << t + QLatin1Char('|') + c + QLatin1Char('|') + titulo;
    });
    m.Item("mnuCat", 14)->trigger();
    m.Item("mnuCat", 21)->trigger();
    EXPECT_EQ(abiertos, (QStringList{"cSitio|CodSitio|Sitio de Ocurrencia",
                                     "cReferido|CodReferido|Usuario Referido por"}));
}

TEST(MenuPrincipal, UnErrorDeBaseEnUnMenuSeMuestraYNoTerminaElPrograma)
{
    ProgramaTemporal p;
    mdiPrincipal m(*p.ctx);
    m.AsignaAccion("mnuHerra", 1, [] { throw ErrorBD(5, "database is locked"); });
    EXPECT_NO_THROW(m.Item("mnuHerra", 1)->trigger());
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    EXPECT_EQ(p.mensajes.cajas[0].texto, "5 - database is locked");
    EXPECT_EQ(p.mensajes.cajas[0].titulo, "Sistema VELMORAN");
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
        EXPECT_FALSE(m.isVisible()) << porMenu;
        EXPECT_FALSE(p.ctx->ConexionBD.EstaAbierta()) << porMenu;
    }
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
}

TEST(MenuPrincipal, PanelEstadoAnoConYSinCatalogo)
{
    ProgramaTemporal p;
    p.AbreBase();
    const BaseDatos &bd = p.ctx->ConexionBD;
    const QString descripcion = bd.Valor("SELECT Descripcion FROM cEstados WHERE CodEstado = '09'").toString();
    EXPECT_EQ(TextoEstadoAno(bd, "09", "2004"), descripcion + " - 2004");
    EXPECT_EQ(TextoEstadoAno(bd, "77", "2004"), "2004");
    p.ctx->ConexionBD.Cierra();
    EXPECT_EQ(TextoEstadoAno(bd, "09", "2004"), "2004");
}

} // namespace
