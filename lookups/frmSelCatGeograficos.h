#pragma once

#include "lookups/VentanaSeleccion.h"

// Caller code of the capture sheet's state, municipality and locality fields
// (OrigenSelEstados, OrigenSelMpos, OrigenSelLocs); any other code writes nothing.
constexpr int OrigenHojaRegistro = 5;

// States pick-list: writes CodEstado into field 46.
class frmSelCatEstados : public VentanaSeleccion {
    Q_OBJECT
public:
    frmSelCatEstados(Contexto &ctx, CamposDestino *destino, int OrigenSelEstados, QWidget *padre = nullptr);
    // Reads the catalog; false, after its message, when there is nothing to show.
    bool Abre();
};

// Municipalities pick-list of one state (every state when the code is blank):
// writes CodMunicipio into field 47.
class frmSelCatMpos : public VentanaSeleccion {
    Q_OBJECT
public:
    frmSelCatMpos(Contexto &ctx, CamposDestino *destino, int OrigenSelMpos, QWidget *padre = nullptr);
    bool Abre(const QString &estado);
};

// Localities pick-list of one municipality: writes CodLocalidad into field 48.
class frmSelCatLocs : public VentanaSeleccion {
    Q_OBJECT
public:
    frmSelCatLocs(Contexto &ctx, CamposDestino *destino, int OrigenSelLocs, QWidget *padre = nullptr);
    bool Abre(const QString &estado, const QString &municipio);
};
