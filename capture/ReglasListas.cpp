#include "capture/ReglasCampos.h"

#include "events/HojaDatos.h"
#include "lookups/modSeleccionaCatalogos.h"

ListasSeleccion ListasReales(Contexto &ctx, HojaDatos &hoja)
{
    // The sheet's caller codes: 1 for the health units, 5 for the places.
    ListasSeleccion l;
    l.Clues = [&ctx, &hoja](QWidget *padre) { SeleccionaClues(ctx, hoja, OrigenHojaClues, padre); };
    l.Estado = [&ctx, &hoja](QWidget *padre) { SeleccionaEstado(ctx, hoja, OrigenHojaRegistro, padre); };
    l.Municipio = [&ctx, &hoja](QWidget *padre, const QString &estado) {
        SeleccionaMunicipio(ctx, hoja, estado, OrigenHojaRegistro, padre);
    };
    l.Localidad = [&ctx, &hoja](QWidget *padre, const QString &estado, const QString &municipio) {
        SeleccionaLocalidad(ctx, hoja, estado, municipio, OrigenHojaRegistro, padre);
    };
    l.Catalogo = [&ctx, &hoja](QWidget *padre, int campo, const QString &catalogo, const CodigosCatalogo &codigos) {
        SeleccionaCatalogo(ctx, hoja, campo, catalogo, codigos, padre);
    };
    l.CIE10 = [&ctx, &hoja](QWidget *padre, int campo) { MuestraListadet(ctx, &hoja, campo, padre); };
    return l;
}
