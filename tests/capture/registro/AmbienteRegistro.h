#pragma once

#include "comun/HojaEnBase.h"

#include <gtest/gtest.h>

// The sheet's whole machinery on a fresh database (no window), with helpers
// to put events straight into D_EVENTO.
class AmbienteRegistro : public ::testing::Test, public HojaEnBase {
protected:
    // A bare event row; `hoy` marks it captured today (the fixed clock's day).
    void Inserta(const QString &clues, int folio, const QString &fechaIso, bool hoy = false)
    {
        prog.Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                     {clues, folio, fechaIso, QStringLiteral("PATERNO %1").arg(folio),
                      hoy ? "2026-12-06" : "2004-01-10"});
    }
    // Adds a new event on the sheet and fills it with a complete valid event.
    void CapturaValida(const DatosEvento &d = EventoValido())
    {
        Vida().BotonPulsado(5);
        Captura(Reg(), d);
    }
    // Adds and saves an event, answering `continua` to going on.
    void Graba(const DatosEvento &d = EventoValido(), bool continua = false)
    {
        CapturaValida(d);
        Msj().Responde(continua);
        Vida().BotonPulsado(8);
        ASSERT_EQ(Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
    }
    QString Folio() { return Hoja().Texto(22); }
    QString Clues() { return Hoja().Texto(23); }
    QString Titulo() { return Hoja().Titulo(); }
    // Caption of the sheet for a position, a count and the day's count.
    static QString TituloEsperado(int posicion, int cuenta, int hoy)
    {
        return TituloHoja + QStringLiteral(". Registro: %1 de %2     Capturados en el día: %3")
                                .arg(posicion).arg(cuenta).arg(hoy);
    }
};
