#pragma once

#include <QIcon>
#include <QStringList>
#include <QToolBar>
#include <vector>

// A window's toolbar `tbrDatos`, its buttons addressed by 1-based position
// (separators count as positions, as the windows number them).
class BarraDatos : public QToolBar {
    Q_OBJECT
public:
    // Each caption makes one position; "-" makes a separator.
    explicit BarraDatos(const QStringList &titulos, QWidget *padre = nullptr);

    int Cantidad() const { return int(botones_.size()); }
    // The action at a position, or nullptr for a separator or a missing position.
    QAction *Boton(int posicion) const;

signals:
    // A button was pressed; its 1-based position.
    void BotonPulsado(int posicion);

private:
    std::vector<QAction *> botones_;
};

// The thirteen captions of the full toolbar (catalog windows, capture sheet).
QStringList TitulosBarraCompleta();

// Enables the buttons of a mode: 1 editing (8 and 9 only), 2 browsing (all but
// 8 and 9); any other mode changes nothing. Missing positions are skipped.
void HabilitaBotones(int modo, BarraDatos &barra);

// Gives buttons 1 to 13 their base pictures, then swaps a few by mode:
// 1 table view, 2 ICD-10 list, 3 pick-lists, 0 none.
void AsignaImagenes(BarraDatos &barra, int modo);

// Picture n (1 to 22) of the shared image list iTBIcons.
QIcon ImagenTB(int n);
