#pragma once

#include "tools/Envio.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// A "Seleccionar todo" box over a check list: ticking it ticks every line,
// unticking it clears them only when all were ticked, and the box follows the
// lines as they are ticked one by one.
void EnlazaSeleccionTodo(QCheckBox *todo, QListWidget *lista);
// The lines of a check list that are ticked, in list order (their text, or
// the data they keep under `rol`).
QStringList LineasMarcadas(const QListWidget *lista, int rol = Qt::DisplayRole);

// The send window: units with events, an optional period, catalogs, and the
// folder the package goes to.
class frmEnvio : public QDialog {
    Q_OBJECT
public:
    explicit frmEnvio(Contexto &ctx, QWidget *padre = nullptr);

    Envio logica;
    // Asks for the destination with a Save dialog; an empty text when cancelled.
    std::function<QString(const QString &propuesta)> PideRuta;

    QCheckBox *chkEventos;
    QGroupBox *fraDatos;
    QCheckBox *chkTodasUnidades;
    QListWidget *lstUnidades;
    QGroupBox *fraPeriodo;
    QLineEdit *mskFechaIni;
    QLineEdit *mskFechaFin;
    QGroupBox *Frame1;
    QCheckBox *chkSelectAll;
    QListWidget *lstTablas;
    QLineEdit *txtRuta;
    QPushButton *cmdRuta;
    QPushButton *cmdAceptar;
    QPushButton *cmdSalir;

private:
    void CambiaEventos();
    void ValidaEnvio();

    Contexto &ctx_;
};
