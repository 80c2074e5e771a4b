#pragma once

// The detail tables read ahead on threads for one statement: each thread
// reads a stretch of the events' keys over its own read-only connection and
// keeps each event's codes, found afterwards by the event's rowid.

#include "queries/CodigosEvento.h"
#include "queries/RanurasEvento.h"

#include <QtAlgorithms>

#include <sys/mman.h>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace RanurasEvento {

class Tramo;

// A list of plain values kept in blocks, which grows without moving what it
// holds. Block b holds Primero << b values: the few values of a small
// selection take a few bytes of the heap, with no call to the system; the
// larger blocks are mapped for the list alone, each as big as all before it,
// and given back to the system when it goes: a build's lists, however large,
// leave nothing behind.
template <typename T>
class Trozos {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    Trozos() = default;
    Trozos(const Trozos &) = delete;
    Trozos &operator=(const Trozos &) = delete;
    ~Trozos()
    {
        for (size_t b = 0; b < bloques_.size(); ++b)
            Suelta(bloques_[b], b);
    }

    // A new value at the end, as its type begins; throws std::bad_alloc.
    T &emplace_back()
    {
        const auto [b, k] = Lugar(n_);
        if (k == 0) {
            T *nuevo = Reserva(b);
            try {
                bloques_.push_back(nuevo);
            } catch (...) {
                Suelta(nuevo, b);
                throw;
            }
        }
        ++n_;
        return *new (bloques_[b] + k) T();
    }
    T &operator[](size_t i)
    {
        const auto [b, k] = Lugar(i);
        return bloques_[b][k];
    }
    const T &operator[](size_t i) const
    {
        const auto [b, k] = Lugar(i);
        return bloques_[b][k];
    }
    size_t size() const { return n_; }
    void swap(Trozos &o)
    {
        bloques_.swap(o.bloques_);
        std::swap(n_, o.n_);
    }

private:
    static constexpr size_t PotenciaHasta(size_t n) { return n < 2 ? 1 : 2 * PotenciaHasta(n / 2); }
    // Values of the first block: as many as fit in 4 KB, a power of two. Blocks
    // of Mapeado bytes or more are mapped, smaller ones taken from the heap.
    static constexpr size_t Primero = PotenciaHasta(4096 / sizeof(T)), Mapeado = 16384;

    // The block of value i and its place in it.
    static std::pair<size_t, size_t> Lugar(size_t i)
    {
        const quint64 q = quint64(i / Primero) + 1;
        const size_t b = size_t(63 - qCountLeadingZeroBits(q));
        return {b, i - Primero * ((size_t(1) << b) - 1)};
    }
    static size_t Bytes(size_t b) { return (Primero << b) * sizeof(T); }
    static T *Reserva(size_t b)
    {
        void *bloque = Bytes(b) < Mapeado ? std::malloc(Bytes(b))
                                          : mmap(nullptr, Bytes(b), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (!bloque || bloque == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T *>(bloque);
    }
    static void Suelta(T *bloque, size_t b)
    {
        if (Bytes(b) < Mapeado)
            std::free(bloque);
        else
            munmap(bloque, Bytes(b));
    }

    std::vector<T *> bloques_;
    size_t n_ = 0;
};

// One event a selection keeps: its rowid and its key by value, in a few
// bytes (a key of longer texts is not kept so).
struct EventoElegido {
    static constexpr int Bytes = 15;
    sqlite3_int64 fila = 0, folio = 0;
    quint8 largoClues = 0, largoFecha = 0;
    char clues[Bytes], fecha[Bytes];

    Clave Vista() const { return Clave{QByteArrayView(clues, largoClues), QByteArrayView(fecha, largoFecha), folio}; }
};

// The events a selection keeps, read before the statement: in key order for
// the readers, which read their detail rows alone, and their rowids in
// ascending order. The statement reads them through EVENTOS_ELEGIDOS.
struct Elegidos {
    Trozos<EventoElegido> eventos;
    std::vector<sqlite3_int64> filas;
    bool porFila = true;   // EVENTOS_ELEGIDOS gives them in rowid order; otherwise in key order

    // From the rows of a statement giving rowid, CLUES, Folio and
    // fechaAtencion, each event once however often it comes; false when a
    // key is not of the ordered types or does not fit. Throws std::bad_alloc.
    bool Lee(sqlite3_stmt *q);
    size_t Cuantos() const { return filas.size(); }
    // The rowid of the i-th event EVENTOS_ELEGIDOS gives.
    sqlite3_int64 Fila(size_t i) const { return porFila ? filas[i] : eventos[i].fila; }

    // While one lives, EVENTOS_ELEGIDOS gives those events.
    class EnCurso {
    public:
        explicit EnCurso(const Elegidos &e);
        ~EnCurso();
        EnCurso(const EnCurso &) = delete;
        EnCurso &operator=(const EnCurso &) = delete;
    };
    // The events EVENTOS_ELEGIDOS gives, or null.
    static const Elegidos *Actuales();
};

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
    const Elegidos *elegidos = nullptr; // the events the readers read alone, or null for every one in their stretch
    int aqui = 0;                       // stretches read on the calling thread (the first one)
    quint64 hallados = 0, pasos = 0;    // events Ubica found, and rowids it compared
    std::vector<std::unique_ptr<Tramo>> tramos;   // destroyed first: their threads write them

    ~Datos();
    // Stops and forgets the readers: the statement reads the tables itself.
    void Abandona();
    // The number of a table read, or -1.
    int Tabla(const char *tabla) const;
    // Whether the readers are done (with `espera`, once they are) and every one could read.
    bool Leida(bool espera = false);
    // Finds the event of that rowid, once the reading is done, in the stretch
    // of its key when given; false when no stretch read it.
    bool Ubica(sqlite3_int64 fila, const Clave *clave, Ubicacion &u);
    void Toma(const Ubicacion &u, int tabla, Codigos &codigos) const;

    // The reading started for the next statement, handed over once.
    static Datos *TomaEnEspera();
};

} // namespace RanurasEvento
