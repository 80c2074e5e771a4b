#pragma once

// The detail tables read ahead on threads for one statement: each thread
// reads a stretch of the events' keys over its own read-only connection and
// keeps each event's codes, found afterwards by the event's rowid.

#include "queries/CodigosEvento.h"
#include "queries/RanurasEvento.h"

#include <atomic>
#include <memory>
#include <vector>

namespace RanurasEvento {

class Tramo;

// Where an event's codes stand: its stretch, and its place among that
// stretch's events in rowid order.
struct Ubicacion {
    size_t tramo = 0, lugar = 0;
};

struct LecturaAdelantada::Datos {
    sqlite3 *db = nullptr;
    sqlite3_int64 version = -1;
    std::vector<FilasDeTabla> tablas;   // the tables read, by number
    std::atomic<int> terminados{0};     // the stretches' threads that are done
    int leidos = -1;                    // -1 until waited for; then 1 when every stretch was read
    std::vector<size_t> cursores;       // by stretch: where the last event looked for there stood
    std::vector<ClaveGuardada> inicios; // by stretch after the first: its first key
    quint64 hallados = 0, pasos = 0;    // events Ubica found, and rowids it compared
    std::vector<std::unique_ptr<Tramo>> tramos;   // destroyed first: their threads write them

    ~Datos();
    // Stops and forgets the readers: the statement reads the tables itself.
    void Abandona();
    // The number of a table read, or -1.
    int Tabla(const char *tabla) const;
    // Whether the readers are done and every one could read.
    bool Leida();
    // Finds the event of that rowid, once the reading is done, in the stretch
    // of its key when given; false when no stretch read it.
    bool Ubica(sqlite3_int64 fila, const Clave *clave, Ubicacion &u);
    void Toma(const Ubicacion &u, int tabla, Codigos &codigos) const;

    // The reading started for the next statement, handed over once.
    static Datos *TomaEnEspera();
};

} // namespace RanurasEvento
