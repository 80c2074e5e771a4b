#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

class BaseDatos;

// The care events a work table is built from: a FROM clause over D_Evento AS E
// (with the detail joins the condition needs), the condition with its bound
// values, and the order ("E.Edad DESC"; empty for none).
struct SeleccionEventos {
    QString desde = QStringLiteral(" FROM D_Evento AS E");
    QString condicion;      // empty: every event
    QVariantList valores;
    QString orden;
};

// Rows a grid reads a page at a time, each by its key: a work table, or the
// table view's rows computed from the events as they are shown.
struct LecturaFilas {
    QStringList nombres;
    QVector<bool> fechas;       // columns holding dates
    QString filas;              // the row keys in the order shown
    QString fila;               // one row's columns by its key, ?1
    QStringList ordenes;        // per column: the keys ordered by it, ties in the order shown
    QStringList ordenesPorClave;   // the same with ties by key, for when keys do not rise in the order shown
    QVariantList valores;       // bound to `filas` and to every `ordenes`
};

// The flat work tables of the query windows: one row per care event, one column
// per chosen field, and each multi-valued detail spread over numbered slot
// columns: slot 01 takes one code of the event's detail rows, each later slot a
// code different from the earlier ones (in code order), diagnosis slot k the
// diagnosis whose Orden is k. Codes beyond the slots are not shown.
//
// GENCONSUL is a table of the working database, dropped and built again by
// each run and left there after it, for other programs to read too. A build
// runs in one transaction: a failed one leaves the former table as it was.
namespace TablaTrabajo {

// How a build read the events and their detail rows, as it chose (told to
// the benchmarks' figures). The detail tables are read ahead of the
// statement, on threads, each a stretch of the events' keys (on the calling
// thread, in one stretch, where no thread runs): every detail row without a
// condition, or when the selection keeps more than a few of the events (told
// by runs of events spread over the rowids, read by rowid whatever the
// plan); for the events the key's index finds (a unit, several), those
// events alone, found first. Few are read by the statement alone, in
// proportion to them. Where nothing could be read ahead, the statement
// meets the events along the key's index. The choice costs a few steps
// whatever the events.
struct LecturaTabla {
    enum Eventos {
        Escrita,     // as the selection is written, in the order its plan reads the events
        SinIndice,   // every event in rowid order, the condition tried on each
        Elegidos,    // the events kept, found first, then read in rowid order
        PorClave,    // every event along the key's index, the condition tried on each (nothing read ahead)
        ElegidosPorClave,   // the events kept, found first, then read along the key's index (nothing read ahead)
    } eventos = Escrita;
    int tramos = 0;          // stretches read on threads; 0: none (read ahead on the calling thread, or not at all)
    qint64 deHilos = 0;      // events whose codes the statement took from the reading ahead
    qint64 adelantados = 0;  // events whose detail rows were read ahead
};

// The export generator's table: the chosen field entries ("E.Nombre",
// "D.CodDerechohabiencia", ...) in order. Without slots and without a detail
// join it holds exactly those columns; otherwise the event key (Folio, CLUES,
// fechaAtencion) comes first unless chosen, and every detail entry becomes its
// slots (six for the diagnoses). Without `hilos` no thread is started, as on
// a machine of one processor: what threads would read ahead is read on the
// calling thread. `lectura`, when given, is told how it read. Throws ErrorBD;
// returns the rows.
qint64 ConstruyeGenConsul(const BaseDatos &bd, const QStringList &campos, const SeleccionEventos &seleccion,
                          bool hilos = true, LecturaTabla *lectura = nullptr);

// The table view's rows: 61 fixed columns (three diagnosis slots), sorted by
// Clues and Folio whatever order the selection asks. Nothing is built ahead:
// the keys are read when the grid loads, each row's columns when it is shown,
// so that the first rows show at once however many events there are.
LecturaFilas FuenteTmpQuery(const BaseDatos &bd, const SeleccionEventos &seleccion);

// The rows of a work table of the working database, in its own order.
LecturaFilas FuenteTabla(const BaseDatos &bd, const QString &tabla);

// True while a table is being built. The build keeps the windows painted, and
// during it nothing may run statements on the connection.
bool Construyendo();

// The name of the export table.
inline const QString GenConsul = QStringLiteral("GENCONSUL");

} // namespace TablaTrabajo
