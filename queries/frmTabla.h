#pragma once

#include "queries/TablaTrabajo.h"
#include "queries/VistaTablaTrabajo.h"

#include <functional>

class HojaRegistro;

// The table view: the care events of the capture sheet's last filter (all of
// them without one) as one wide table, sorted by a click on a heading. A
// double click or button 6 ("Aceptar") shows that event on the capture sheet;
// button 20 ("Exportar") opens the export generator over all events; button 7
// or Esc closes it.
class frmTabla : public VistaTablaTrabajo {
    Q_OBJECT
public:
    // Over the selected events; throws ErrorBD when they cannot be read.
    frmTabla(Contexto &ctx, HojaRegistro &hoja, const SeleccionEventos &seleccion = {}, QWidget *padre = nullptr);

    // Positions the capture sheet on the event of the current row and closes.
    // An event the sheet's set does not hold leaves the sheet where it was,
    // says so, and the view stays open.
    void AsignaDatos();
    // What button 20 opens (the export generator, modal over this view).
    std::function<void(QWidget *padre)> Exportar;

protected:
    void Boton(int posicion) override;
    void DobleClic() override { AsignaDatos(); }

private:
    HojaRegistro &hoja_;
};

// "Ver Tabla": the view over the events of the sheet's kept filter, modal. A
// filter that fails is shown, and no empty view opens.
void AbreTabla(Contexto &ctx, HojaRegistro &hoja, const std::function<void(QWidget *)> &exportar, QWidget *padre);
