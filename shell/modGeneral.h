#pragma once

#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QString>
#include <QStringList>
#include <QVariant>

// Small routines every subsystem shares.

// The application title, carried by a message box that has no title of its own.
QString TituloAplicacion();

// Runs one action statement with bound values on the connection; a failing
// statement throws ErrorBD to the caller. Returns the rows touched.
int EjecutaSQL(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});

// The TEMP work tables of one task, and the views over them, dropped when the
// guard goes, however the task ends. Names come from the code. Only the temp
// schema is touched: a table of the same name in the database stays.
class TablasTemporales {
public:
    explicit TablasTemporales(const BaseDatos &bd) : bd_(bd) {}
    // One table, dropped now to be built next.
    TablasTemporales(const BaseDatos &bd, const QString &tabla) : bd_(bd) { Agrega(tabla); }
    ~TablasTemporales() { Borra(); }
    TablasTemporales(const TablasTemporales &) = delete;
    TablasTemporales &operator=(const TablasTemporales &) = delete;

    // Drops the table or view now, to be built next, and again at the end.
    void Agrega(const QString &tabla) { Anota(tabla, false); }
    void AgregaVista(const QString &vista) { Anota(vista, true); }
    // Drops them all now, the views first.
    void Borra();
    // Drops one TEMP table or view now; a missing one is no error, and a
    // failure is left to the rebuild that follows.
    static void Borra(const BaseDatos &bd, const QString &nombre, bool vista = false);

private:
    void Anota(const QString &nombre, bool vista);

    const BaseDatos &bd_;
    QStringList tablas_, vistas_;
};

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
