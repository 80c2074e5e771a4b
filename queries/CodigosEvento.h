#pragma once

// The event key as the detail tables' indexes order it, and one event's codes
// of a detail table: how a table's rows are read, the codes kept by value,
// and in 8 bytes for the readers on threads.

#include "queries/RanurasEvento.h"

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
    // As the parameters ?n, ?n+1, ?n+2 of a statement; SQLITE_STATIC when the
    // texts outlive the binding, which then copies nothing.
    void Liga(sqlite3_stmt *q, int n = 1, sqlite3_destructor_type copia = SQLITE_TRANSIENT) const
    {
        // An empty text is bound as one, not as NULL.
        sqlite3_bind_text(q, n, clues.isEmpty() ? "" : clues.data(), int(clues.size()), copia);
        sqlite3_bind_int64(q, n + 1, folio);
        sqlite3_bind_text(q, n + 2, fecha.isEmpty() ? "" : fecha.data(), int(fecha.size()), copia);
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
    void Liga(sqlite3_stmt *q, int n = 1) const { Vista().Liga(q, n); }
};

// A code kept for every event of a table: an integer or a text of a few bytes,
// with its set of slots and slot, in 8 bytes.
struct CodigoCorto {
    static constexpr int Bytes = 7;
    quint8 cabeza = 0;   // bit 0: text; bit 1: set; bits 2-4: slot; bits 5-7: bytes of a text
    unsigned char datos[Bytes] = {};

    // False when the value does not fit.
    bool De(sqlite3_value *v, int conjunto, int lugar)
    {
        cabeza = quint8(conjunto << 1 | lugar << 2);
        if (sqlite3_value_type(v) == SQLITE_INTEGER) {
            const sqlite3_int64 n = sqlite3_value_int64(v);
            if (n >= (sqlite3_int64(1) << 55) || n < -(sqlite3_int64(1) << 55))
                return false;
            for (int i = 0; i < Bytes; ++i)
                datos[i] = static_cast<unsigned char>(quint64(n) >> (8 * i));
            return true;
        }
        const int largo = sqlite3_value_bytes(v);
        if (sqlite3_value_type(v) != SQLITE_TEXT || largo > Bytes)
            return false;
        cabeza |= quint8(1 | largo << 5);
        if (largo)
            memcpy(datos, sqlite3_value_text(v), size_t(largo));
        return true;
    }
    int Conjunto() const { return cabeza >> 1 & 1; }
    int Lugar() const { return cabeza >> 2 & 7; }
};

// A code kept by value: the walk moves on before the slots are asked for.
struct Codigo {
    int tipo = SQLITE_NULL;
    sqlite3_int64 entero = 0;
    double real = 0;
    QByteArray texto;   // its buffer is kept from event to event

    void De(sqlite3_value *v)
    {
        tipo = sqlite3_value_type(v);
        if (tipo == SQLITE_INTEGER) {
            entero = sqlite3_value_int64(v);
        } else if (tipo == SQLITE_FLOAT) {
            real = sqlite3_value_double(v);
        } else if (tipo != SQLITE_NULL) {
            const void *datos = tipo == SQLITE_TEXT ? static_cast<const void *>(sqlite3_value_text(v)) : sqlite3_value_blob(v);
            Asigna(texto, QByteArrayView(static_cast<const char *>(datos), sqlite3_value_bytes(v)));
        }
    }
    void DeCorto(const CodigoCorto &c)
    {
        if (c.cabeza & 1) {
            tipo = SQLITE_TEXT;
            Asigna(texto, QByteArrayView(reinterpret_cast<const char *>(c.datos), c.cabeza >> 5));
            return;
        }
        quint64 n = 0;
        for (int i = 0; i < CodigoCorto::Bytes; ++i)
            n |= quint64(c.datos[i]) << (8 * i);
        const quint64 signo = quint64(1) << (8 * CodigoCorto::Bytes - 1);
        tipo = SQLITE_INTEGER;
        entero = sqlite3_int64((n ^ signo) - signo);
    }
    void Resultado(sqlite3_context *ctx) const
    {
        switch (tipo) {
        case SQLITE_INTEGER:
            return sqlite3_result_int64(ctx, entero);
        case SQLITE_FLOAT:
            return sqlite3_result_double(ctx, real);
        case SQLITE_TEXT:
            return sqlite3_result_text(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
        case SQLITE_BLOB:
            return sqlite3_result_blob(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
        default:
            return sqlite3_result_null(ctx);
        }
    }
};

// How one detail table is read: its rows give ([set,] [slot,] code).
struct FilasDeTabla {
    const GrupoRanuras *grupo = nullptr;   // the first group of the table
    bool porPersona = false;               // rows carry the set of slots (the person)
    bool porOrden = false;                 // rows carry their slot (the diagnoses' Orden)

    explicit FilasDeTabla(const GrupoRanuras &g) : grupo(&g), porPersona(g.persona != nullptr), porOrden(g.PorOrden()) {}

    // The columns after the key in the table's primary key.
    QString Orden() const
    {
        return porOrden ? QStringLiteral("Orden")
            : porPersona ? QStringLiteral("CodAfectadoAgresor, %1").arg(QLatin1String(grupo->codigo))
                         : QLatin1String(grupo->codigo);
    }

    // One event's rows (by ?1, ?2, ?3), or with `recorrido` the key and rows
    // of every event from that key on, in the order of the table's primary
    // key, so that its index is read as it stands.
    QByteArray Sql(bool recorrido) const
    {
        const QString orden = Orden();
        const QString filas = porOrden ? QStringLiteral("Orden, CodDiagnostico") : orden;
        QString donde = recorrido ? QStringLiteral("(CLUES, Folio, fechaAtencion) >= (?1, ?2, ?3)")
                                  : QStringLiteral("CLUES = ?1 AND Folio = ?2 AND fechaAtencion = ?3");
        if (porOrden)
            donde += QStringLiteral(" AND Orden BETWEEN 1 AND 6");
        const QString sql = recorrido ? QStringLiteral("SELECT CLUES, Folio, fechaAtencion, %1 FROM %2 WHERE %3 ORDER BY CLUES, Folio, fechaAtencion, %4")
                                      : QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4");
        return sql.arg(filas, QLatin1String(grupo->tabla), donde, orden).toUtf8();
    }
};

// One event's codes of one table, by set of slots (the person) and slot.
struct Codigos {
    Codigo de[2][6];
    int siguiente[2] = {};

    void Olvida()
    {
        for (auto &conjunto : de)
            for (Codigo &c : conjunto)
                c.tipo = SQLITE_NULL;
        siguiente[0] = siguiente[1] = 0;
    }
    // A row's code from its columns ([set,] [slot,] code) starting at `columna`.
    void Guarda(const FilasDeTabla &t, sqlite3_stmt *q, int columna)
    {
        // CodAfectadoAgresor 1 and 2 are sets 0 and 1; Orden k is slot k - 1.
        const int conjunto = t.porPersona ? sqlite3_column_int(q, columna++) - 1 : 0;
        if (conjunto < 0 || conjunto > 1)
            return;
        const int lugar = t.porOrden ? sqlite3_column_int(q, columna++) - 1 : siguiente[conjunto]++;
        if (lugar >= 0 && lugar < 6 && de[conjunto][lugar].tipo == SQLITE_NULL)
            de[conjunto][lugar].De(sqlite3_column_value(q, columna));
    }
};

} // namespace RanurasEvento
