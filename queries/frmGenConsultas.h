#pragma once

#include "queries/ArchivoConsulta.h"

#include <QDialog>
#include <functional>

class Contexto;
class DialogoArchivos;
class PanelCriterio;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

// The export generator "Generador de Consultas": the chosen fields of a care
// event, a criteria, an order and an output format, run into an export table
// or saved to and loaded from a query file. Its source (opened from the
// capture sheet or from the table view) is fixed when it opens.
class frmGenConsultas : public QDialog {
    Q_OBJECT
public:
    frmGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, OrigenConsulta origen, QWidget *padre = nullptr);

    OrigenConsulta Origen() const { return origen_; }
    PanelCriterio *Panel() const { return panel_; }
    // The chosen field entries, in order.
    QStringList Seleccion() const;
    // The output format: 0 Access, 1 Excel, 2 Dbase.
    int Formato() const;
    // Everything a query file keeps (kind = the format).
    DatosConsulta Datos() const;

    // What "Ejecutar" does; the button is enabled only once it is given.
    void PonEjecucion(const std::function<void(frmGenConsultas &)> &ejecuta);

    // cmdSeleccion: 0 ">" adds the field shown in lstOrigen (and moves on to
    // the next), 1 ">>" chooses all, 2 "<" removes the chosen one, 3 "<<" all.
    void Selecciona(int indice);
    void GrabaConsulta();
    void CargaConsulta();

    QListWidget *lstOrigen = nullptr;
    QListWidget *lstSeleccion = nullptr;
    QPushButton *cmdSeleccion[4] = {};
    QGroupBox *Frame1 = nullptr;
    QRadioButton *optFormato[3] = {};
    QPushButton *cmdRunQuery = nullptr;
    QPushButton *cmdClose = nullptr;
    QPushButton *cmdEdicion[2] = {};

private:
    Contexto &ctx_;
    DialogoArchivos &dialogo_;
    const OrigenConsulta origen_;
    PanelCriterio *panel_;
    std::function<void(frmGenConsultas &)> ejecuta_;
};

// Opens the generator without waiting (the capture sheet's "Exportar"): one
// window, built anew at each opening and released when it closes.
frmGenConsultas *AbreGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, OrigenConsulta origen, QWidget *padre);
