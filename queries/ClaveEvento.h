#pragma once

// The event key as the detail tables' indexes order it, read from SQLite
// values and kept by value.

#include <QByteArray>
#include <QByteArrayView>
#include <cstring>
#include <sqlite3.h>

namespace RanurasEvento {

// Keeps the buffer: a key or code is set once per event and table.
inline void Asigna(QByteArray &a, QByteArrayView v)
{
    a.resize(v.size());
    if (!v.isEmpty())
        memcpy(a.data(), v.data(), size_t(v.size()));
}

// The event key as SQLite orders it in the detail tables' indexes: CLUES
// without regard to case, Folio as a number, fechaAtencion as stored. Only
// keys of those types (text, integer, text) are ordered so.
struct Clave {
    QByteArrayView clues, fecha;
    sqlite3_int64 folio = 0;

    // False when a value is not of the type the order assumes.
    bool De(sqlite3_value *c, sqlite3_value *f, sqlite3_value *d)
    {
        if (sqlite3_value_type(c) != SQLITE_TEXT || sqlite3_value_type(f) != SQLITE_INTEGER || sqlite3_value_type(d) != SQLITE_TEXT)
            return false;
        clues = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(c)), sqlite3_value_bytes(c));
        folio = sqlite3_value_int64(f);
        fecha = QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(d)), sqlite3_value_bytes(d));
        return true;
    }
    bool DeFila(sqlite3_stmt *q) { return De(sqlite3_column_value(q, 0), sqlite3_column_value(q, 1), sqlite3_column_value(q, 2)); }
    int Compara(const Clave &o) const
    {
        // Row after row the same CLUES: compared without regard to case only when the bytes differ.
        if (clues.size() != o.clues.size() || memcmp(clues.data(), o.clues.data(), size_t(clues.size())) != 0) {
            const qsizetype n = qMin(clues.size(), o.clues.size());
            const int r = n ? sqlite3_strnicmp(clues.data(), o.clues.data(), int(n)) : 0;
            if (r != 0 || clues.size() != o.clues.size())
                return r != 0 ? r : int(clues.size() - o.clues.size());
        }
        if (folio != o.folio)
            return folio < o.folio ? -1 : 1;
        const qsizetype m = qMin(fecha.size(), o.fecha.size());
        const int r = m ? memcmp(fecha.data(), o.fecha.data(), size_t(m)) : 0;
        return r != 0 ? r : int(fecha.size() - o.fecha.size());
    }
};

// A key of the ordered types kept by value.
struct ClaveGuardada {
    QByteArray clues, fecha;
    sqlite3_int64 folio = 0;

    void De(const Clave &k)
    {
        Asigna(clues, k.clues);
        folio = k.folio;
        Asigna(fecha, k.fecha);
    }
    Clave Vista() const { return Clave{clues, fecha, folio}; }
    // As the parameters ?n, ?n+1, ?n+2 of a statement.
    void Liga(sqlite3_stmt *q, int n = 1) const
    {
        sqlite3_bind_text(q, n, clues.constData(), int(clues.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(q, n + 1, folio);
        sqlite3_bind_text(q, n + 2, fecha.constData(), int(fecha.size()), SQLITE_TRANSIENT);
    }
};


} // namespace RanurasEvento
