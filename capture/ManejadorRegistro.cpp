#include "capture/ManejadorRegistro.h"

ManejadorRegistro::ManejadorRegistro(ReglasCampos &reglas, FechasHoja &fechas, ListasHoja &listas)
    : reglas_(reglas), fechas_(fechas), listas_(listas)
{
}

void ManejadorRegistro::CampoCambiado(int indice)
{
    reglas_.CampoCambiado(indice);
}

void ManejadorRegistro::FechaCambiada(int indice)
{
    fechas_.FechaCambiada(indice);
}

void ManejadorRegistro::ElementoMarcado(ListaHoja lista, int fila)
{
    listas_.ElementoMarcado(lista, fila);
}

HojaRegistro::HojaRegistro(Contexto &ctx) : HojaRegistro(ctx, ListasReales(ctx, hoja))
{
}

HojaRegistro::HojaRegistro(Contexto &ctx, const ListasSeleccion &listasDadas)
    : eventos(ctx, hoja),
      listas(listasDadas),
      reglas(ctx, hoja, listas),
      fechas(ctx, hoja, eventos),
      listasHoja(hoja, eventos),
      diagnosticos(ctx, hoja),
      vida(ctx, hoja, eventos),
      manejador_(reglas, fechas, listasHoja)
{
    hoja.AsignaManejador(&manejador_);
    vida.AbreSeleccionClues = [this] {
        if (listas.Clues)
            listas.Clues(nullptr);
    };
}

HojaRegistro::~HojaRegistro()
{
    hoja.AsignaManejador(nullptr);
}
