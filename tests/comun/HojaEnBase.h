#pragma once

// The capture sheet on a fresh database, as the capture tests build it: the
// pick-lists faked, the focus requests noted, the whole machinery behind it.

#include "capture/ManejadorRegistro.h"
#include "comun/EventoValido.h"
#include "comun/ProgramaTemporal.h"

#include <memory>

// Focus requests as texts: "36" a field, "msk1" a date box, "lst4" a check list.
inline QString FocoFecha(int indice) { return QStringLiteral("msk%1").arg(indice); }
inline QString FocoLista(ListaHoja lista) { return QStringLiteral("lst%1").arg(int(lista)); }

// Ticks the items of these codes in turn; a leading "-" unticks instead.
void Marca(HojaDatos &hoja, ListaHoja lista, const QStringList &pasos);
void DesmarcaTodo(HojaDatos &hoja, ListaHoja lista);

// The event typed into a sheet that is adding: fields, dates, ticks and diagnoses.
void Captura(HojaRegistro &reg, const DatosEvento &d);

class HojaEnBase {
public:
    HojaEnBase();

    // Built on first use, after the events a test stored.
    HojaRegistro &Reg();
    HojaDatos &Hoja() { return Reg().hoja; }
    VidaRegistro &Vida() { return Reg().vida; }
    MensajesFalsos &Msj() { return prog.mensajes; }

    ProgramaTemporal prog;
    QStringList abiertas;    // pick-lists opened
    QStringList focos;       // focus requests
    QString cluesElegida;    // what the CLUES pick-list writes back
    QString cie10Elegido;    // what the ICD-10 list writes back into its field
    ListasSeleccion listas;

private:
    std::unique_ptr<HojaRegistro> reg_;
};
