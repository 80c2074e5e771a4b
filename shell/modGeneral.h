#pragma once

#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QString>
#include <QVariant>

// Small routines every subsystem shares.

// The application title, carried by a message box that has no title of its own.
QString TituloAplicacion();

// Runs one action statement with bound values on the connection; a failing
// statement throws ErrorBD to the caller. Returns the rows touched.
int EjecutaSQL(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});

// Drops a work table; a missing table is no error. The name must come from the code.
void BorraTabla(const BaseDatos &bd, const QString &tabla);

// A typed d/M/yyyy date (one or two digits for day and month) as the ISO date
// that the statements bind; any other text comes back unchanged (an empty text
// stays empty).
QString FechaSQL(const QString &valor);

// Tests a date typed as dd/MM/yyyy. Years from 1900 to the current year; a text
// that passes the digit tests but is no real date beeps and says
// "Fecha invalida, verifique por favor.....".
bool ValidaFecha(const QString &fecha, Mensajes &mensajes, const Reloj &reloj);

// The whole number read from the left of a text: blanks skipped, 0 when no
// digit comes first. 64-bit, so that a folio of any stored size reads whole.
qint64 ValorEntero(const QString &texto);

// A focus change the user made himself (Tab, Backtab, a click, a shortcut):
// only such a move runs the checks of the field or box left.
bool MovidaDelUsuario(Qt::FocusReason razon);
