#pragma once

#include <QDialog>

class Contexto;
class QPushButton;
class QTableView;

// The operations log window: backups, sends and receptions in three
// read-only grids, and "Borrar Bitácora" to empty the log.
class frmBitacora : public QDialog {
    Q_OBJECT
public:
    explicit frmBitacora(Contexto &ctx, QWidget *padre = nullptr);

    // (Re)loads the three grids from the log.
    void CargaBitacora();

    QTableView *grdRespaldos;
    QTableView *grdEnvios;
    QTableView *grdRecepciones;
    QPushButton *cmdLimpiar;
    QPushButton *cmdCerrar;

private:
    void Limpiar();

    Contexto &ctx_;
};
