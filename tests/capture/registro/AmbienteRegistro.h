#pragma once

#include "capture/ManejadorRegistro.h"
#include "comun/EventoValido.h"
#include "comun/ImprimeQt.h"
#include "comun/ProgramaTemporal.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// A fresh database with the sheet's whole machinery on it (no window), the
// pick-lists replaced by fakes that note their opening, and helpers to put
// events straight into D_EVENTO.
class AmbienteRegistro : public ::testing::Test {
protected:
    AmbienteRegistro();

    // The sheet; built on first use, after the events a test stored.
    HojaRegistro &Reg();
    HojaDatos &Hoja() { return Reg().hoja; }
    VidaRegistro &Vida() { return Reg().vida; }
    MensajesFalsos &Msj() { return prog.mensajes; }

    // A bare event row; `hoy` marks it captured today (the fixed clock's day).
    void Inserta(const QString &clues, int folio, const QString &fechaIso, bool hoy = false);
    int Cuenta(const QString &sql);
    void Ejecuta(const QString &sql, const QVariantList &valores = {});

    // Adds a new event on the sheet and fills it with a complete valid event.
    void CapturaValida(const DatosEvento &d = EventoValido());
    // The texts of the boxes shown, as a user reads them.
    QString Folio() { return Hoja().Texto(22); }
    QString Clues() { return Hoja().Texto(23); }
    QString Titulo() { return Hoja().Titulo(); }
    // Caption of the sheet for a position, a count and the day's count.
    static QString TituloEsperado(int posicion, int cuenta, int hoy);

    ProgramaTemporal prog;
    ListasSeleccion listas;
    QStringList abiertas;    // pick-lists opened
    QString cluesElegida;    // what the fake CLUES pick-list writes back
    QList<int> focos;        // focus requests for text fields
    QList<int> focosFecha;   // focus requests for date boxes

private:
    std::unique_ptr<HojaRegistro> reg_;
};
