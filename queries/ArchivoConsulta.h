#pragma once

#include "queries/CamposConsulta.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class DialogoArchivos;
class Mensajes;

// What a query window keeps in a query file.
struct DatosConsulta {
    OrigenConsulta origen = OrigenConsulta::Hoja;
    int tipo = 4;          // TipoFiltro, or the export format: 0 Access, 1 Excel, 2 Dbase
    QString campo;         // the field entry shown
    QString operador;      // the operator shown
    QString valor;         // the value box
    QString criterio;      // the criteria text, "\n" between lines
    QStringList seleccion; // export query: the chosen field entries in order
};

// The kind digit of a filter file (the filter window); export queries store their format.
constexpr int TipoFiltro = 4;

// A query file is one record of code page 1252 characters and CR LF:
//   1       the mode (OrigenConsulta: 1, 2 or 6)
//   2       the kind (4 filter, else the export format)
//   3-32    field entry      33-36 operator      37-136 value
//   137-1136 the criteria (its line breaks as CR LF)
//   export queries only: 1137-1139 the number of chosen fields, then each
//   chosen field followed by ",".
// Fixed fields are left-aligned and padded with blanks.

// The record of a query; every kind but TipoFiltro adds the chosen fields.
// Returns the refusal in Spanish (else an empty text) when a field does not
// fit its width or holds a character that code page 1252 lacks: nothing is
// ever cut.
QString EscribeConsulta(const DatosConsulta &datos, QByteArray &registro);

// Reads a record; the mode and kind digits as numbers (anything else 0). The
// value and the criteria lose their padding. Returns the refusal, or an empty
// text, when the record is shorter than its fixed part or its chosen fields
// are not the known field entries of a care event.
QString LeeConsulta(const QByteArray &registro, DatosConsulta &datos);

// The "Grabar" button of both query windows: the refusals of an incomplete
// query, the save dialog (in `carpeta`), the extension check on the file's
// name, the record, and the file written whole or not at all. Every box is
// titled "Exportar". True when the file was written.
bool GrabaConsulta(Mensajes &mensajes, DialogoArchivos &dialogo, const QString &carpeta, const DatosConsulta &datos,
                   bool generador);

// The "Cargar" button: the open dialog, the extension, the file, then the
// refusals of a file made for another source or another window (a filter
// file in the generator, an export query in the filter window). On success
// fills `datos` and returns true; on any refusal the window keeps what it had.
bool CargaConsulta(Mensajes &mensajes, DialogoArchivos &dialogo, const QString &carpeta, OrigenConsulta origen,
                   bool generador, DatosConsulta &datos);
