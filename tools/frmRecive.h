#pragma once

#include "tools/Recepcion.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The reception window: choose a package, see what it brings, and merge the
// ticked parts. The unpacked database goes with the window.
class frmRecive : public QDialog {
    Q_OBJECT
public:
    explicit frmRecive(Contexto &ctx, QWidget *padre = nullptr);

    Recepcion logica;
    // Asks for the package with an Open dialog starting in that folder; an empty text when cancelled.
    std::function<QString(const QString &carpeta)> PideArchivo;

    QLineEdit *txtRuta;
    QPushButton *cmdRuta;
    QCheckBox *chkEventos;
    QGroupBox *Frame1;
    QCheckBox *chkSelectAll;
    QListWidget *lstTablas;
    QPushButton *cmdAceptar;
    QPushButton *cmdSalir;

private:
    void Selecciona();
    void Recibir();
    void Muestra();

    Contexto &ctx_;
};
