#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A spreadsheet pivot table over a range of one sheet, as the parts that a
// workbook package needs: the cache definition (refreshed when the workbook
// is opened), an empty record part, the table definition, and the
// relationships and content types that join them to the workbook.
struct CampoPivote {
    enum class Tipo { Texto, Entero, Fecha };
    QString nombre;
    Tipo tipo = Tipo::Texto;
};

struct DefinicionPivote {
    QString nombre;                 // the table's name
    QString hojaDatos;              // the sheet holding the source range, header in row 1
    int filasDatos = 1;             // source rows under the header
    QList<CampoPivote> campos;      // the source columns from column A on
    int campoFila = 0, campoColumna = 0, campoDato = 0;
    // Items of the row and column fields in display order; a null text is a blank.
    QStringList itemsFila, itemsColumna;
    QString leyendaDato;            // caption of the summed data field
    QString leyendaFilas, leyendaColumnas, leyendaTotal;
    int fila = 0, columna = 0;      // 0-based top left cell of the table

    // The cells the rendered table covers ("B6:O20").
    QString Ubicacion() const;
};

QByteArray XmlCachePivote(const DefinicionPivote &d);
QByteArray XmlRegistrosPivote();
QByteArray XmlTablaPivote(const DefinicionPivote &d);

// Adds the pivot table to the workbook file written before, on the sheet
// stored as xl/worksheets/sheet<numeroHoja>.xml. Throws ErrorBD on failure.
void AgregaPivote(const QString &libro, const DefinicionPivote &d, int numeroHoja);
