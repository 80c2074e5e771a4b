#pragma once

#include "lookups/VentanaSeleccion.h"

// Caller code of the capture sheet's CLUES field (OrigenSelClues); the list
// then holds the units of the working state and writes into field 23.
constexpr int OrigenHojaClues = 1;

// Health-unit pick-list over CATCLUES, with its filter boxes.
class frmSelCLUES : public VentanaSeleccion {
    Q_OBJECT
public:
    frmSelCLUES(Contexto &ctx, CamposDestino *destino, int OrigenSelClues, QWidget *padre = nullptr);
    // Reads the units; opens also on an empty catalog. False, after its
    // message, only when the catalog cannot be read.
    bool Abre();

private:
    const int origen_;
};
