// The "&Catalogos" menu of the main window opens each catalog in its window.
#include "DatosCatalogos.h"

#include "app/Conexiones.h"
#include "catalogs/modCatalogos.h"
#include "queries/PanelCriterio.h"
#include "queries/frmQuery.h"
#include "shell/mdiPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace {

TEST_F(PruebaCatalogos, CadaItemDelMenuAbreSuVentana)
{
    mdiPrincipal principal(*p.ctx);
    ConectaCatalogos(*p.ctx, principal);
    principal.show();
    struct Caso {
        int indice;
        const char *ventana, *titulo;
    };
    const Caso casos[] = {
        {0, "frmCatEstados", "Catálogo de Estados"},
        {1, "frmCatJurisd", "Catalogo de Jurisdicciones"},
        {2, "frmCatMpos", "Catalogo de Municipios"},
        {3, "frmCatLocalidades", "Catálogo de Localidades"},
        {5, "frmCatalogos", "Catálogo de Tipo de Unidad"},
        {6, "frmCatCLUES", "Catálogo de CLUES.  Registro: 1 de 3"},
        {8, "frmCatListaDetallada", "Lista Detallada"},
        {16, "frmCatalogos", "Catálogo de Área Anatomica de Mayor Gravedad"},
        {22, "frmCatalogos", "Catálogo de Destino Después de la Atención"},
    };
    for (const Caso &c : casos) {
        QAction *item = principal.Item("mnuCat", c.indice);
        ASSERT_TRUE(item && item->isEnabled()) << c.indice;
        item->trigger();
        QMdiSubWindow *sub = principal.Area()->activeSubWindow();
        ASSERT_TRUE(sub) << c.indice;
        EXPECT_EQ(sub->widget()->objectName(), c.ventana);
        EXPECT_EQ(sub->widget()->windowTitle(), c.titulo);
    }
    EXPECT_EQ(principal.Area()->subWindowList().size(), 7);   // one coded catalogs' window
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());

    // "&Buscar" of the ICD-10 list: the filter window over CATCIE10 hands its causes back.
    principal.Item("mnuCat", 8)->trigger();
    auto *lista = qobject_cast<frmCatListaDetallada *>(principal.Area()->activeSubWindow()->widget());
    ASSERT_TRUE(lista);
    bool filtro = false;
    QTimer::singleShot(0, [&filtro] {
        auto *w = qobject_cast<frmQuery *>(QApplication::activeModalWidget());
        if (!w)
            return;
        filtro = true;
        w->Panel()->PonCriterio("Causa = 'S000' Or Causa = 'S001'");
        w->cmdRunQuery()->click();
        if (w->isVisible())
            w->reject();
    });
    lista->cmdBuscar()->click();
    EXPECT_TRUE(filtro);
    EXPECT_EQ(Visibles(lista->Catalogo()), QStringList({"S000", "S001"}));
    EXPECT_EQ(lista->txtDatos(0)->text(), "S000");
}

} // namespace
