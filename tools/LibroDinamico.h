#pragma once

#include <QString>

class BaseDatos;

// The pivot-table workbook: the sheet "VELMORAN" with its two title lines and
// the pivot table "LESION" at B6 (events by health unit and statistical
// month), whose source is the sheet "D_EVENTO_DAT" holding the rows of the
// pivot database's D_EVENTO_DAT. The counts also stand in the table's cells,
// so that they show before the spreadsheet program refreshes the table.

// Rows of one sheet in the workbook format.
constexpr qint64 FilasHojaLibro = 1048576;

struct ResultadoLibro {
    qint64 eventos = 0;   // rows of D_EVENTO_DAT
    qint64 enHoja = 0;    // rows that fit in the source sheet
    bool Recortado() const { return enHoja < eventos; }
};

// The note the workbook and the closing message carry when the events do not
// fit in one sheet.
QString AvisoLimiteHoja(const ResultadoLibro &r);

// Writes the workbook to `ruta` from D_EVENTO_DAT in the attached schema
// `esquema`. `encabezado` is the second title line. Throws ErrorBD.
ResultadoLibro EscribeLibroDinamico(const BaseDatos &bd, const QString &esquema, const QString &ruta,
                                    const QString &encabezado, qint64 filasHoja = FilasHojaLibro);
