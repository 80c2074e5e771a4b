#pragma once

#include "lookups/ListaSeleccion.h"

#include <QMap>
#include <QObject>
#include <QVector>
#include <functional>

class Mensajes;
class ModeloSeleccion;
class QKeyEvent;
class QLineEdit;
class QTableView;

// A grid column of a pick-list or a catalog window.
struct ColumnaSeleccion {
    QString titulo;       // empty: the result column's name
    int ancho = 0;        // twips; 0: the view's default
    bool recorta = false; // a description, cut at its width; codes always show whole
};

// What the pick-lists and the catalog windows share around their search boxes
// and grid: the read-only grid over the list, the focus passed from a box to
// the next and after the last to the grid, the filter that hands the keys of
// each box and of the grid to the window, and the current row and box texts
// shown after a change. What the keys do stays with each window: Enter, Esc
// and paste mean different things in a pick-list and in a catalog.
class RejillaSeleccion : public QObject {
    Q_OBJECT
public:
    RejillaSeleccion(const ListaSeleccion &lista, const QVector<ColumnaSeleccion> &columnas, const QString &nombreGrid,
                     QObject *padre);

    QTableView *Grid() const { return grid_; }
    ModeloSeleccion *Modelo() const { return modelo_; }
    QLineEdit *Caja(int indice) const { return cajas_.value(indice); }
    // A box whose keys go to teclaEnCaja.
    void AgregaCaja(int indice, QLineEdit *caja);

    // From the search box `indice` of `orden` to the next one; after the last, to the grid.
    void PasaFoco(const QVector<CajaBusqueda> &orden, int indice) const;
    // The rows changed: the grid starts over, the row the user had is not reported.
    void Recarga();
    // The boxes of `orden` take the texts of the search, without signalling a change.
    void EscribeCajas(const QVector<CajaBusqueda> &orden, const std::function<QString(int)> &texto) const;
    // The list's current row becomes the grid's, in the same column where shown.
    void MuestraActual(const ListaSeleccion &lista);

    // The window's key rules; true when the key was dealt with.
    std::function<bool(int indice, QKeyEvent *tecla)> teclaEnCaja;
    std::function<bool(QKeyEvent *tecla)> teclaEnGrid;
    bool seleccionaAlEntrar = true;   // a box that gets the focus selects its text

signals:
    // The user made another row current (-1: none).
    void FilaElegida(int fila);

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    QTableView *grid_;
    ModeloSeleccion *modelo_;
    QMap<int, QLineEdit *> cajas_;
    bool sincronizando_ = false;
};

// The caption after a move: the prefix, the current position, " de ", the count.
QString TituloPosicion(const QString &prefijo, const ListaSeleccion &lista);

// Toolbar buttons 1 to 4 (first, previous, next, last) on the list; a move
// that cannot be made beeps. False for any other button.
bool MueveLista(ListaSeleccion &lista, int boton, Mensajes &mensajes);
