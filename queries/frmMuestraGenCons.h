#pragma once

#include "platform/ExportaTabla.h"
#include "queries/VistaTablaTrabajo.h"

class DialogoArchivos;
class QLabel;
class QTabWidget;

// The result view "Vista - Generador de Consultas": the export table in a
// grid with its count and format, exported whole by button 6 ("Guardar"), a
// double click or Enter; Esc or button 7 closes it. It closes itself after an
// export and stays open when the export was cancelled or failed.
class frmMuestraGenCons : public VistaTablaTrabajo {
    Q_OBJECT
public:
    // Throws ErrorBD when the table cannot be read.
    frmMuestraGenCons(Contexto &ctx, DialogoArchivos &dialogo, FormatoExportacion formato, QWidget *padre = nullptr);

    FormatoExportacion Formato() const { return formato_; }
    // The export (AsignaDatos); true when the file was written and the view closed.
    bool AsignaDatos();

    QTabWidget *SSTab1 = nullptr;
    QLabel *lblDatos[2] = {};
    QLabel *lblTotaliza = nullptr;

protected:
    void Boton(int posicion) override;
    void DobleClic() override { AsignaDatos(); }
    bool EnterExporta() const override { return true; }

private:
    DialogoArchivos &dialogo_;
    const FormatoExportacion formato_;
};
