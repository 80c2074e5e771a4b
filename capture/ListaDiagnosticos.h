#pragma once

#include <QString>
#include <functional>
#include <memory>

class Contexto;
class HojaDatos;
class modEvento;

// The final diagnoses of the event on the sheet, in order of importance: the
// work table TMPGRIDAFEC (NUMAFEC, AFECCION; the list order is the table's row
// order) shown as HojaDatos::Afecciones(). The entry field is txtDatos(76).
// Each button marks the list as edited (GridAfeccionesEditado), so that a
// refresh no longer rebuilds it from the stored diagnoses, and refreshes it
// through the record store (the entry field then shows the first row's code).
// A press never waits for another program's lock: a change that cannot be
// written beeps at once and leaves the list and the entry field as they were.
class ListaDiagnosticos {
public:
    ListaDiagnosticos(Contexto &ctx, HojaDatos &hoja);
    ~ListaDiagnosticos();

    // "Agregar": the trimmed entry code goes after the last row with the
    // largest NUMAFEC plus 1. A code already listed is refused with "No puede
    // capturar dos veces la misma causa, verifique por favor....". Returns true
    // when a row was added.
    bool Agrega();
    // "Modificar": the code of row `fila` (0-based, in the list's order)
    // becomes the trimmed entry code, keeping its place. A code listed in
    // another row is refused with the same message. True when replaced.
    bool Modifica(int fila);
    // "Borrar": deletes row `fila` whatever the entry field holds (nothing
    // when the entry field is empty). True when a row was deleted.
    bool Borra(int fila);
    // The grid's current row changed: its code goes into the entry field.
    void FilaElegida(int fila);

private:
    QString Codigo() const;   // the trimmed entry field
    // A press: marks the list edited, makes the change `escribe` (none when
    // empty) and refreshes the list; true when the change was written.
    bool Pulsa(const std::function<bool()> &escribe);
    void Refresca();
    // True (after saying so) when the code stands in a row of the list other
    // than the one numbered salvoNumafec.
    bool Repetida(const QString &codigo, int salvoNumafec);

    Contexto &ctx_;
    HojaDatos &hoja_;
    std::unique_ptr<modEvento> almacen_;
};
