#pragma once

#include "lookups/VentanaSeleccion.h"

// The ICD-10 list over CATCIE10, both the code picker of the capture sheet's
// fields 76, 77 and 78 and the table view of the ICD-10 detailed list. The
// opener says which: the field (78 lists the external causes, 76 and 77 the
// causes allowed as diagnoses) or ListadetTabla, which writes nowhere.
constexpr int ListadetTabla = 0;

class frmListadet : public VentanaSeleccion {
    Q_OBJECT
public:
    frmListadet(Contexto &ctx, CamposDestino *destino, int CampoSelCIE10, QWidget *padre = nullptr);
    // Reads the list; opens also when it is empty. False, after its message,
    // only when the catalog cannot be read.
    bool Abre();

protected:
    // The chosen field takes the focus when it takes input.
    void DespuesDeAsignar() override;

private:
    const int campoSelCIE10_;
};

// The statement of the list: external causes for field 78, else the causes
// allowed as diagnoses (chapters 05 and 19 and the obstetric codes).
QString ConsultaListadet(int CampoSelCIE10);
