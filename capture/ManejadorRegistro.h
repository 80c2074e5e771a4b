#pragma once

#include "capture/FechasHoja.h"
#include "capture/ListaDiagnosticos.h"
#include "capture/ListasHoja.h"
#include "capture/ReglasCampos.h"
#include "capture/VidaRegistro.h"
#include "events/HojaDatos.h"
#include "events/modEvento.h"

class Contexto;

// The sheet's one change handler: field changes go to the field rules, date
// changes to the date boxes, ticks to the list rules.
class ManejadorRegistro : public ManejadorHoja {
public:
    ManejadorRegistro(ReglasCampos &reglas, FechasHoja &fechas, ListasHoja &listas);

    void CampoCambiado(int indice) override;
    void FechaCambiada(int indice) override;
    void ElementoMarcado(ListaHoja lista, int fila) override;

private:
    ReglasCampos &reglas_;
    FechasHoja &fechas_;
    ListasHoja &listas_;
};

// Everything behind one capture sheet, without widgets: its state, the record
// store, the field, date and list rules wired as its change handler, the
// diagnosis list and the record life. The window builds one; so do the tests.
class HojaRegistro {
public:
    explicit HojaRegistro(Contexto &ctx);
    // With the pick-lists given (tests watch or fake them).
    HojaRegistro(Contexto &ctx, const ListasSeleccion &listas);
    ~HojaRegistro();
    HojaRegistro(const HojaRegistro &) = delete;
    HojaRegistro &operator=(const HojaRegistro &) = delete;

    HojaDatos hoja;
    modEvento eventos;
    ListasSeleccion listas;
    ReglasCampos reglas;
    FechasHoja fechas;
    ListasHoja listasHoja;
    ListaDiagnosticos diagnosticos;
    VidaRegistro vida;

private:
    ManejadorRegistro manejador_;
};
