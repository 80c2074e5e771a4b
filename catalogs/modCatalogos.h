#pragma once

#include "catalogs/VentanaCatalogo.h"
#include "catalogs/frmCatListaDetallada.h"
#include "catalogs/frmCatalogos.h"

#include <QString>

class Contexto;
class QMdiArea;

// What the catalog windows call outside their folder; the composition root
// fills it in. A service left empty leaves its button disabled.
struct ServiciosCatalogos {
    ImpresionCatalogo Imprime;
    BusquedaCIE10 BuscaCIE10;
};

// The loaders of the catalog menu. Each opens its window in the main
// window's area, or reads the catalog again into the one already open,
// places it and brings it to the front (the health units' window is only
// brought to the front, as it stood). A catalog that cannot be read is
// said so and the window opens empty.
VentanaCatalogo *CargaCatEstados(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);
VentanaCatalogo *CargaCatJurisd(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);
VentanaCatalogo *CargaCatMpos(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);
VentanaCatalogo *CargaCatLocalidades(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);
VentanaCatalogo *CargaCatCLUES(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);
// One of the coded catalogs (table, code column, title) in the one shared window.
frmCatalogos *CargaCatalogo(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios,
                            const QString &tabla, const QString &campo, const QString &titulo);
frmCatListaDetallada *CargaListaDetallada(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &servicios);

// The designs of the windows above.
VentanaCatalogo::Diseno DisenoCatEstados();
VentanaCatalogo::Diseno DisenoCatJurisd();
VentanaCatalogo::Diseno DisenoCatMpos();
VentanaCatalogo::Diseno DisenoCatLocalidades();
VentanaCatalogo::Diseno DisenoCatCLUES();
