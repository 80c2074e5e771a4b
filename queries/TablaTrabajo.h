#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

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

// The flat work tables of the query windows: one row per care event, one column
// per chosen field, and each multi-valued detail spread over numbered slot
// columns: slot 01 takes one code of the event's detail rows, each later slot a
// code different from the earlier ones (in code order), diagnosis slot k the
// diagnosis whose Orden is k. Codes beyond the slots are not shown.
//
// Both are TEMP tables of the connection: they never reach the database file,
// and a failed build leaves nothing behind (it runs in one transaction).
namespace TablaTrabajo {

// The export generator's table: the chosen field entries ("E.Nombre",
// "D.CodDerechohabiencia", ...) in order. Without slots and without a detail
// join it holds exactly those columns; otherwise the event key (Folio, CLUES,
// fechaAtencion) comes first unless chosen, and every detail entry becomes its
// slots (six for the diagnoses). Throws ErrorBD; returns the rows.
qint64 ConstruyeGenConsul(const BaseDatos &bd, const QStringList &campos, const SeleccionEventos &seleccion);

// The table view's table: 61 fixed columns (three diagnosis slots), sorted by
// Clues and Folio whatever order the selection asks. Throws ErrorBD; returns the rows.
qint64 ConstruyeTmpQuery(const BaseDatos &bd, const SeleccionEventos &seleccion);

// True while a table is being built. The build keeps the windows painted, and
// during it nothing may run statements on the connection.
bool Construyendo();

// Drops a work table; nothing when it is not there.
void Borra(const BaseDatos &bd, const QString &tabla);

// The names of the two tables.
inline const QString GenConsul = QStringLiteral("GENCONSUL");
inline const QString TmpQuery = QStringLiteral("TMPQUERY");

} // namespace TablaTrabajo
