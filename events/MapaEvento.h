#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class HojaDatos;

// How a column's value is taken from the sheet.
enum class TipoValor {
    Texto,        // the field's text unchanged; blank gives the empty text
    Numero,       // a whole number; blank or not a number makes the save fail
    NumeroONulo,  // NULL when the trimmed text is empty, else a whole number
    NumeroO2,     // 2 when the trimmed text is empty, else a whole number
    Folio,        // the leading digits of the text (0 when none)
    Fecha,        // a dd/MM/yyyy date box, stored yyyy-MM-dd
    Hora,         // hour field, ":", minute field
    Hoy           // today's date, stored yyyy-MM-dd
};

// How a stored value is shown again on the sheet.
enum class FormatoLectura {
    TalCual,      // plain text of the value
    Folio,        // at least eight digits with leading zeros
    DosDigitos,   // at least two digits
    Fecha,        // dd/MM/yyyy in a date box
    Hora,         // hh into the first field, mm into the second, each two digits
    Afiliacion,   // characters 1-10 into the first field, 11-12 into the second
    NoSeLee
};

// One column of D_EVENTO and where it lives on the sheet. For dates `campo`
// is the date box (0 occurrence, 1 care); `campo2` is the second field of a
// time or of the affiliation, 0 otherwise.
struct ColumnaEvento {
    const char *columna;
    TipoValor tipo;
    int campo;
    int campo2;
    FormatoLectura lectura;
    bool enActualizacion;   // written by the update (all but the key and FechaCaptura)
};

// The 55 columns of D_EVENTO in the insert's order: the one map used by the
// insert, the update and the read.
const std::vector<ColumnaEvento> &ColumnasEvento();

// Comma-separated column names of the map (for SELECT and INSERT lists).
QString ListaColumnasEvento();

// The bound value of one column for what the sheet holds. Throws ErrorBD,
// with a Spanish description naming the column, when a number or a date
// does not hold one.
QVariant ValorColumna(const ColumnaEvento &c, const HojaDatos &hoja, const QDate &hoy);

// The bound values of every column (the insert) or of the columns the update
// writes, in map order, with their names in `columnas` when given. Throws as
// ValorColumna.
QVariantList ValoresEvento(const HojaDatos &hoja, const QDate &hoy, bool actualizacion,
                           QStringList *columnas = nullptr);

// A list item's code by the list-code rule: its first two characters, trimmed.
// Entitlement codes stay text; the other lists take the numeric value.
QVariant CodigoElemento(const QString &textoElemento, bool esTexto);

// Number formats of the read: "0000000#" and "0#".
QString FormatoFolio(qint64 folio);
QString FormatoDosDigitos(const QString &valor);
