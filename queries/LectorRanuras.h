#pragma once

#include "queries/LecturaTramos.h"

#include <algorithm>
#include <utility>

namespace RanurasEvento {

// An event's slots by group: each table is read once per event, when its
// first slot is asked for. When threads read the tables for the statement,
// the event's codes are taken by its rowid once they are done (waited for
// when the threads read the chosen events alone). Otherwise (and meanwhile),
// the table is walked along its index: an event whose key comes after the
// rows the walk last passed is stepped to, and any other is searched for, so
// that events in key order cost a step each; after an event too far ahead to
// step to, the next one is searched for after a single step, so that events
// in no order cost a search each.
class LectorRanuras {
public:
    explicit LectorRanuras(sqlite3 *db) : db_(db), lectura_(LecturaAdelantada::Datos::TomaEnEspera())
    {
        // One reading per table: the patient's and the aggressor's substances share theirs.
        for (const GrupoRanuras &g : Grupos) {
            const int conjunto = g.persona ? QByteArray(g.persona).toInt() - 1 : 0;
            const auto misma = std::find_if(busquedas_.begin(), busquedas_.end(),
                                            [&](const Busqueda &b) { return b.tabla.grupo->tabla == QLatin1String(g.tabla); });
            deGrupo_.push_back({int(misma - busquedas_.begin()), conjunto});
            if (misma == busquedas_.end())
                busquedas_.emplace_back(g, lectura_ ? lectura_->Tabla(g.tabla) : -1);
            // The initial value, written as SQL: a quoted text or a number.
            const QByteArray inicial = g.inicial;
            Codigo &c = iniciales_.emplace_back();
            if (inicial.startsWith('\''))
                c.tipo = SQLITE_TEXT, c.texto = inicial.mid(1, inicial.size() - 2);
            else
                c.tipo = SQLITE_INTEGER, c.entero = inicial.toLongLong();
        }
    }
    ~LectorRanuras()
    {
        for (Busqueda &b : busquedas_) {
            sqlite3_finalize(b.st);
            sqlite3_finalize(b.recorre);
        }
        for (sqlite3_value *v : valores_)
            sqlite3_value_free(v);
    }
    LectorRanuras(const LectorRanuras &) = delete;
    LectorRanuras &operator=(const LectorRanuras &) = delete;

    // The event whose slots are asked for next, by its key: CLUES, Folio,
    // fechaAtencion, and its rowid when given.
    bool Evento(sqlite3_value **clave, int argumentos)
    {
        conFila_ = argumentos > 3 && sqlite3_value_type(clave[3]) == SQLITE_INTEGER;
        fila_ = conFila_ ? sqlite3_value_int64(clave[3]) : 0;
        Clave nueva;
        const bool ordenada = nueva.De(clave[0], clave[1], clave[2]);
        const int orden = ordenada && ordenada_ ? nueva.Compara(actual_.Vista()) : -1;
        if (orden == 0)
            return true;   // the same event again (a detail join): its codes stand
        ordenada_ = ordenada;
        ++numero_;
        for (sqlite3_value *&v : valores_)
            sqlite3_value_free(std::exchange(v, nullptr));
        if (ordenada)
            actual_.De(nueva);
        // A key of other types is kept as it came, to be searched for.
        for (int i = 0; !ordenada && i < 3; ++i)
            if (!(valores_[i] = sqlite3_value_dup(clave[i])))
                return false;
        return true;
    }

    // Column i of the current event's key; 3 is its rowid.
    void ParteDeClave(sqlite3_context *ctx, int i) const
    {
        if (i == 3)
            return conFila_ ? sqlite3_result_int64(ctx, fila_) : sqlite3_result_null(ctx);
        const QByteArray &texto = i == 0 ? actual_.clues : actual_.fecha;
        if (!ordenada_)
            sqlite3_result_value(ctx, valores_[i]);
        else if (i == 1)
            sqlite3_result_int64(ctx, actual_.folio);
        else
            sqlite3_result_text(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
    }

    // The value of slot k (1 to 6) of a group of the current event, or the
    // group's initial value (NULL in slot 1 of a group whose rows need no
    // person or order); false on an engine error.
    bool Resultado(sqlite3_context *ctx, int grupo, int k)
    {
        const auto [busqueda, conjunto] = deGrupo_[size_t(grupo)];
        Busqueda &b = busquedas_[size_t(busqueda)];
        if (b.evento != numero_ && !Lee(b))
            return false;
        const Codigo &c = b.codigos.de[conjunto][k - 1];
        const GrupoRanuras &g = Grupos[grupo];
        (c.tipo != SQLITE_NULL || (k == 1 && !g.persona && !g.PorOrden()) ? c : iniciales_[size_t(grupo)]).Resultado(ctx);
        return true;
    }

private:
    struct Busqueda {
        Busqueda(const GrupoRanuras &g, int t) : tabla(g), leida(t) {}

        FilasDeTabla tabla;
        int leida;                             // its number in the threads' reading, or -1
        sqlite3_stmt *st = nullptr;            // one event's rows
        sqlite3_stmt *recorre = nullptr;       // the walk from an event on
        quint64 evento = 0;                    // the event the codes are of (0: none)
        Codigos codigos;
        int tope = Pasos;           // rows stepped over before the walk searches instead
        bool enCurso = false;       // the walk stands on the first row after `tras`, or at its end (hayFila false)
        bool hayFila = false;
        bool filaOrdenada = false;  // the row's key is of the ordered types; then `fila` holds it
        Clave fila;
        ClaveGuardada tras;         // the key of the last event whose rows the walk passed

        // Steps the walk and reads the new row's key once.
        int Paso()
        {
            const int rc = sqlite3_step(recorre);
            hayFila = rc == SQLITE_ROW;
            filaOrdenada = hayFila && fila.DeFila(recorre);
            return rc;
        }
    };

    // Rows the walk steps over to reach an event ahead, while events come near each other.
    static constexpr int Pasos = 32;

    void Liga(sqlite3_stmt *q) const
    {
        if (ordenada_)
            return actual_.Liga(q);
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_value(q, i + 1, valores_[i]);
    }

    // Fills the codes of the current event by the walk, on from where it stands
    // when the event's key comes after the rows it passed (events served by the
    // threads meanwhile did not move it); false when the event has to be
    // searched for instead.
    bool Recorre(Busqueda &b, int &rc) const
    {
        const Clave k = actual_.Vista();
        rc = SQLITE_OK;
        bool busca = !b.enCurso || k.Compara(b.tras.Vista()) <= 0;
        // A few rows ahead are stepped over; an event far ahead is searched for.
        for (int pasos = 0; !busca && b.hayFila; ++pasos) {
            if (!b.filaOrdenada) {
                b.enCurso = false;
                return false;
            }
            if (b.fila.Compara(k) >= 0) {
                b.tope = Pasos;
                break;
            }
            busca = pasos == b.tope;
            if (busca)
                b.tope = 1;
            else
                rc = b.Paso();
        }
        if (busca) {
            sqlite3_reset(b.recorre);
            Liga(b.recorre);
            rc = b.Paso();
            b.enCurso = true;
        }
        while (b.hayFila) {
            if (!b.filaOrdenada) {
                b.codigos.Olvida();
                b.enCurso = false;
                return false;
            }
            if (b.fila.Compara(k) != 0)
                break;
            b.codigos.Guarda(b.tabla, b.recorre, 3);
            rc = b.Paso();
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE && rc != SQLITE_OK) {
            b.enCurso = false;
        } else {
            b.tras.De(k);
            rc = SQLITE_DONE;
        }
        return true;
    }

    // The current event's codes of the table from the threads' reading; false when
    // not to be had so, as while the readers read: the statement does not wait.
    bool DeHilos(Busqueda &b)
    {
        if (!conFila_ || b.leida < 0 || !lectura_->Leida(lectura_->elegidos != nullptr))
            return false;
        if (ubicado_ != numero_) {
            ubicado_ = numero_;
            const Clave clave = actual_.Vista();
            hallado_ = lectura_->Ubica(fila_, ordenada_ ? &clave : nullptr, ubicacion_);
        }
        if (hallado_)
            lectura_->Toma(ubicacion_, b.leida, b.codigos);
        return hallado_;
    }

    // Reads the table's codes for the current event; false on an engine error.
    bool Lee(Busqueda &b)
    {
        // The table's two statements are prepared when it is first read.
        if (!b.st
            && (sqlite3_prepare_v2(db_, b.tabla.Sql(false).constData(), -1, &b.st, nullptr) != SQLITE_OK
                || sqlite3_prepare_v2(db_, b.tabla.Sql(true).constData(), -1, &b.recorre, nullptr) != SQLITE_OK))
            return false;
        b.evento = 0;
        int rc = SQLITE_DONE;
        if (!DeHilos(b)) {
            b.codigos.Olvida();
            if (!ordenada_ || !Recorre(b, rc)) {
                Liga(b.st);
                while ((rc = sqlite3_step(b.st)) == SQLITE_ROW)
                    b.codigos.Guarda(b.tabla, b.st, 0);
                sqlite3_reset(b.st);
            }
        }
        if (rc == SQLITE_DONE)
            b.evento = numero_;
        return rc == SQLITE_DONE;
    }

    sqlite3 *db_;
    // The current event: its key when of the ordered types, else its values as they came.
    ClaveGuardada actual_;
    bool ordenada_ = false;
    sqlite3_value *valores_[3] = {};
    bool conFila_ = false;     // the current event's rowid was given
    sqlite3_int64 fila_ = 0;
    quint64 numero_ = 0;       // the current event's number
    std::vector<Busqueda> busquedas_;
    std::vector<std::pair<int, int>> deGrupo_;   // by group: its table's reading and set of slots
    std::vector<Codigo> iniciales_;              // by group: the value of a slot without a code
    LecturaAdelantada::Datos *lectura_;          // the tables read on threads for the statement, or null
    quint64 ubicado_ = 0;                        // the event last looked for there,
    bool hallado_ = false;                       // whether it was found,
    Ubicacion ubicacion_;                        // and where
};

} // namespace RanurasEvento
