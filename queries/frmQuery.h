#pragma once

#include "queries/modVisData.h"

#include <QDialog>

class Contexto;
class DialogoArchivos;
class PanelCriterio;
class QPushButton;

// The filter window "Generador de Consultas": a criteria over the care
// events of the capture sheet or over CATCIE10 for the ICD-10 detailed list,
// run (handing the rows back and closing), saved to or loaded from a query
// file. It opens with the criteria the last one left.
class frmQuery : public QDialog {
    Q_OBJECT
public:
    frmQuery(Contexto &ctx, DialogoArchivos &dialogo, const DestinoFiltro &destino, QWidget *padre = nullptr);

    PanelCriterio *Panel() const { return panel_; }
    QPushButton *cmdRunQuery() const { return ejecutar_; }
    QPushButton *cmdClose() const { return cerrar_; }
    QPushButton *cmdEdicion(int indice) const { return edicion_[indice]; }

    void GrabaConsulta();
    void CargaConsulta();

protected:
    void done(int resultado) override;

private:
    Contexto &ctx_;
    DialogoArchivos &dialogo_;
    DestinoFiltro destino_;
    PanelCriterio *panel_;
    QPushButton *ejecutar_;
    QPushButton *cerrar_;
    QPushButton *edicion_[2];
};
