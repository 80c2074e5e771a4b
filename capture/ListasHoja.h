#pragma once

#include "events/HojaDatos.h"

#include <QStringList>

class modEvento;

// The tick rules of the five check lists: exclusive answers in the substance
// and entitlement lists, the affiliation fields opened by the entitlement, and
// the care types offered by the violence types.
class ListasHoja {
public:
    ListasHoja(HojaDatos &hoja, modEvento &eventos);

    // Runs after an item's tick changed (by the user or by code). Ticks made
    // here do not run the rules again: each rule gives its net result at once.
    // While browsing (also while an event is read into the sheet) no tick, text
    // or list is written: only the affiliation fields' enabled state and the
    // three flags follow the ticks on the sheet.
    void ElementoMarcado(ListaHoja lista, int fila);

private:
    void Efectos(ListaHoja lista, int fila);
    void Derechohabiencia(int fila);
    void DerechohabienciaLeida();
    void TipoViolencia();
    void Afiliacion(const QString &codigo);
    // Unticks the items (all but row `salvo`) whose code is among `codigos`,
    // or, with an empty `codigos`, every item but `salvo`.
    void Desmarca(ListaHoja lista, const QStringList &codigos, int salvo = -1);
    QString Codigo(ListaHoja lista, int fila) const;

    HojaDatos &hoja_;
    modEvento &eventos_;
    bool enCurso_ = false;
};
