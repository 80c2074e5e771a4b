#pragma once

#include "queries/ModeloTablaTrabajo.h"

#include <QDialog>

class BarraDatos;
class Contexto;
class QTableView;
class QVBoxLayout;

// Where toolbar buttons 1 to 4 ("Primero", "Anterior", "Siguiente", "Último")
// take the current row among `cuenta`; `beep` when there was nothing to move to.
struct Movimiento {
    int fila;
    bool beep;
};
Movimiento MueveFila(int boton, int actual, int cuenta);

// What the result view and the table view share: rows in a grid
// through the one grid model, the short toolbar with its moves, and a caption
// that gives the current row and the count ("<prefix>3 de 12").
class VistaTablaTrabajo : public QDialog {
    Q_OBJECT
public:
    // Throws ErrorBD when the rows cannot be read.
    VistaTablaTrabajo(Contexto &ctx, const LecturaFilas &fuente, const QStringList &titulosBarra,
                      const QString &prefijoTitulo, QWidget *padre);
    ~VistaTablaTrabajo() override;

    ModeloTablaTrabajo &Modelo() { return modelo_; }
    int Actual() const;
    int Cuenta() const { return modelo_.rowCount(); }

    BarraDatos *tbrDatos = nullptr;
    QTableView *dbgSeleccion = nullptr;

protected:
    // Toolbar buttons past the moves; a double click or Enter in the grid.
    virtual void Boton(int posicion) = 0;
    virtual void DobleClic() = 0;
    virtual bool EnterExporta() const { return false; }
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    void done(int resultado) override;
    void showEvent(QShowEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

    Contexto &ctx_;
    QVBoxLayout *cuerpo_ = nullptr;   // the window's layout below the toolbar

private:
    void Pulsado(int posicion);
    void ActualizaTitulo();
    // Widens each column to the numbers of the rows in sight.
    void AnchoNumeros();

    ModeloTablaTrabajo modelo_;
    QString prefijo_;
    QVector<int> largoNumeros_;   // by column, the longest number fitted so far
};
