#pragma once

#include <QList>
#include <QString>
#include <memory>

struct sqlite3;

// A multi-valued detail of the events and the numbered slot columns the work
// tables spread it over.
struct GrupoRanuras {
    const char *entrada;    // the field entry
    const char *prefijo;    // slot names: prefix + 01, 02, ...
    const char *tabla;
    const char *codigo;
    const char *persona;    // D_BajoEfectos rows of the patient (1) or the aggressor (2)
    const char *tipo;       // declared type of the slots
    const char *inicial;    // value of a slot with no code

    // The diagnoses take their slot from their Orden, the others in code order.
    bool PorOrden() const { return QLatin1String(tabla) == QLatin1String("D_Diagnosticos"); }
    QString Ranura(int k) const { return QStringLiteral("%1%2").arg(QLatin1String(prefijo)).arg(k, 2, 10, QLatin1Char('0')); }
};

// RANURAS_EVENTO(CLUES, Folio, fechaAtencion[, rowid]): a table-valued
// function of one row, the event's slots, a column per group and slot (named
// as the work tables name them, six per group): slot k holds the k-th code of
// the event's rows of that group (in code order; for the diagnoses the one
// whose Orden is k), or the group's initial value; slot 01 of a group with
// neither a person nor an order is NULL for an event with no rows of it, as
// the export always gave. Joined to the events in their key order, it
// walks each detail table once alongside them.
namespace RanurasEvento {

struct Elegidos;

// Every group, in the order of the function's columns.
extern const GrupoRanuras Grupos[6];

// The group of a field entry ("V.CodTipoViolencia"), or null.
const GrupoRanuras *GrupoDe(const QString &entrada);

// Registers the function on the connection the first time. Throws ErrorBD.
void Registra(sqlite3 *db);

// The join that gives the slots of the events E as R.
QString Union();

// The events a selection keeps, found before the statement (Elegidos), as L,
// for the events E to be joined to by rowid (E.rowid = L.fila): one row per
// event, in ascending order of rowid or in the order of their keys, while
// they are current (Elegidos::EnCurso), none otherwise.
QString DeLosElegidos();

// While it lives, the next statement that joins the function to the events
// with their rowid has the detail tables of `grupos` read ahead, on threads,
// each a stretch of the events' keys over its own read-only connection, and
// each event's codes found by its rowid whatever its value (8 bytes a code,
// 12 an event and 4 more a table), so that the events may come in any order.
// Where no thread runs (`hilos` false, one processor, no database file or a
// moved one, a read transaction without the write lock, a thread that cannot
// start, too few chosen events for threads to pay), they are read at once on
// the calling thread, in one stretch, by statements of the connection itself
// (which keep the windows painted as the statement's do). Where that cannot
// be either (a code that does not fit, a few dozen chosen events), the
// statement reads the tables itself. A connection that holds the write lock,
// and has not yet written, sees what the threads see.
class LecturaAdelantada {
public:
    // With `elegidos`, only those events are read, each walked to along the
    // key; the calling thread reads the first stretch itself, and the
    // statement, which then reads no other event, waits for the threads
    // instead of reading the tables itself meanwhile. They must outlive the
    // reading.
    LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos, const Elegidos *elegidos = nullptr, bool hilos = true);
    ~LecturaAdelantada();

    // Asked inside the statement's transaction: false when another connection
    // wrote between the readers' start and the statement's, so that they may
    // have read another state of the database than the statement did.
    bool MismaVersion() const;
    // The stretches read on threads; 0 when none was (read on the calling thread, or by the statement).
    int Tramos() const;
    // Whether the tables were read ahead, on threads or on the calling thread.
    bool Adelantada() const;
    // Waits for the readers; false when one could not read its stretch.
    bool Espera() const;
    // So far: the events found in the threads' reading, and the rowids compared to find them.
    quint64 Hallados() const;
    quint64 Pasos() const;
    // Once the readers are done (waited for): the events whose codes they kept.
    quint64 Leidos() const;

    struct Datos;

private:
    // Reads on threads; false when they cannot start.
    bool EnHilos(const char *archivo, const Elegidos *elegidos, int lectores);
    // Reads here and now, in one stretch, over the connection itself.
    void LeeAqui(const Elegidos *elegidos);

    std::unique_ptr<Datos> d_;
};

} // namespace RanurasEvento
