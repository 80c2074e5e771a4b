#include "queries/RanurasEvento.h"

#include "platform/BaseDatos.h"

#include <sqlite3.h>
#include <algorithm>
#include <atomic>
#include <limits>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

namespace {

const GrupoRanuras Grupos[] = {
    {"D.CodDerechohabiencia", "Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", nullptr, "TEXT", "' '"},
    {"V.CodTipoViolencia", "TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", nullptr, "INTEGER", "0"},
    {"P.EfectosPaciente", "EfectosPaciente", "D_BajoEfectos", "CodEfectos", "1", "INTEGER", "0"},
    {"P.EfectosAgresor", "EfectosAgresor", "D_BajoEfectos", "CodEfectos", "2", "INTEGER", "0"},
    {"T.CodTipoAtencion", "TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", nullptr, "INTEGER", "0"},
    {"F.Diagnosticos", "Diagnostico", "D_Diagnosticos", "CodDiagnostico", nullptr, "TEXT", "'    '"},
};

// Keeps the buffer: a key or code is set once per event and table.
void Asigna(QByteArray &a, QByteArrayView v)
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
        QStringList condicion;
        if (!recorrido)
            condicion << QStringLiteral("CLUES = ?1 AND Folio = ?2 AND fechaAtencion = ?3");
        else
            condicion << QStringLiteral("(CLUES, Folio, fechaAtencion) >= (?1, ?2, ?3)");
        if (porOrden)
            condicion << QStringLiteral("Orden BETWEEN 1 AND 6");
        const QString donde = condicion.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condicion.join(QLatin1String(" AND "));
        const QString sql = recorrido ? QStringLiteral("SELECT CLUES, Folio, fechaAtencion, %1 FROM %2%3 ORDER BY CLUES, Folio, fechaAtencion, %4")
                                      : QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4");
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

// One index of a table walked in key order on a reader's connection.
struct Recorrido {
    sqlite3_stmt *st = nullptr;
    int paso = SQLITE_DONE;
    Clave fila;
    ClaveGuardada previa;
    bool hayPrevia = false;

    Recorrido() = default;
    Recorrido(const Recorrido &) = delete;
    Recorrido &operator=(const Recorrido &) = delete;
    ~Recorrido() { sqlite3_finalize(st); }

    bool Prepara(sqlite3 *db, const QByteArray &sql)
    {
        return sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK && Paso();
    }
    bool Paso()
    {
        paso = sqlite3_step(st);
        return paso == SQLITE_ROW || paso == SQLITE_DONE;
    }
    // Stands on the event's first row, passing over rows of no event (after
    // one of the event's rows, there are none); `suya` tells whether the row
    // is the event's. False on an engine error or a key out of the order it
    // compares in. The event's own rows follow whatever came before them, so
    // only the others are compared with the row before.
    bool Hasta(const Clave &evento, bool &suya, bool trasUnaSuya = false)
    {
        suya = false;
        for (; paso == SQLITE_ROW; Paso()) {
            if (!fila.DeFila(st))
                return false;
            const int orden = fila.Compara(evento);
            if (orden == 0) {
                suya = true;
                return true;
            }
            if ((orden < 0 && trasUnaSuya) || (hayPrevia && fila.Compara(previa.Vista()) < 0))
                return false;
            previa.De(fila);
            hayPrevia = true;
            if (orden > 0)
                return true;
        }
        return paso == SQLITE_DONE;
    }
    // The next row of the event.
    bool Siguiente(const Clave &evento, bool &suya) { return Paso() && Hasta(evento, suya, true); }
};

// The codes of one detail table kept by the events' rowids, filled by the
// readers of every stretch of keys: each rowid's entry says how many codes
// the event has (bits 0-3), which reader kept them (bits 4-6) and where they
// start in that reader's list (bits 7 on). 0: the event has none.
struct MapaTabla {
    static constexpr int Lectores = 8;
    static constexpr quint32 MaximoInicio = quint32(1) << 25;

    explicit MapaTabla(const GrupoRanuras &g) : tabla(g) {}

    FilasDeTabla tabla;
    std::vector<quint32> porFila;
    std::deque<CodigoCorto> guardados[Lectores];
    // Whether the readers are done (waiting for them when `aguarda`) and every one could read.
    std::function<bool(bool aguarda)> leida;

    // The codes of the event whose rowid is `fila`; false when the table
    // could not be read so, or is still being read and `aguarda` is false.
    bool Toma(sqlite3_int64 fila, Codigos &codigos, bool aguarda) const
    {
        if (!leida(aguarda))
            return false;
        codigos.Olvida();
        if (fila < 0 || quint64(fila) >= porFila.size())
            return true;
        const quint32 datos = porFila[size_t(fila)];
        const std::deque<CodigoCorto> &de = guardados[datos >> 4 & 7];
        for (quint32 k = datos >> 7, fin = k + (datos & 15); k < fin; ++k) {
            const CodigoCorto &c = de[k];
            codigos.de[c.Conjunto()][c.Lugar()].DeCorto(c);
        }
        return true;
    }
};

// One stretch of the events' keys read on a thread of its own, over its own
// read-only connection: the events' key index and each detail table's
// indexes are walked side by side from the stretch's first key to the next
// stretch's, and each event's codes are kept by its rowid, so that the
// statement may ask for the events in any order. Where that cannot be (a key
// or code of another type or size, a key out of the order it compares in, an
// engine error), the statement reads the tables itself.
class Tramo {
public:
    Tramo(int numero, std::vector<std::unique_ptr<MapaTabla>> &mapas, std::atomic<int> &terminados)
        : numero_(numero), mapas_(mapas), terminados_(terminados)
    {
    }
    ~Tramo()
    {
        parar_ = true;
        if (hilo_.joinable())
            hilo_.join();
        eventos_.reset();
        filas_.clear();
        codigos_.clear();
        sqlite3_close_v2(db_);
    }
    Tramo(const Tramo &) = delete;
    Tramo &operator=(const Tramo &) = delete;

    // Opens the file and reads the first rows from `desde` (the first key
    // when null) to `hasta` (the last when null), which fixes the state of
    // the database the connection sees to the end; false when it cannot. Each
    // walk reads one index alone: the diagnoses' Orden and code are in two,
    // joined by the row's rowid.
    bool Abre(const char *archivo, const ClaveGuardada *desde, const ClaveGuardada *hasta)
    {
        if (sqlite3_open_v2(archivo, &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            return false;
        const QString clave = QStringLiteral("CLUES, Folio, fechaAtencion");
        QStringList tramo;
        if (desde)
            tramo << QStringLiteral("(%1) >= (?1, ?2, ?3)").arg(clave);
        if (hasta)
            tramo << QStringLiteral("(%1) < (?4, ?5, ?6)").arg(clave);
        const QString donde = tramo.isEmpty() ? QString() : QStringLiteral(" WHERE ") + tramo.join(QStringLiteral(" AND "));
        const auto abre = [&](std::unique_ptr<Recorrido> &r, const QString &columnas, const char *tabla, const QString &orden) {
            r = std::make_unique<Recorrido>();
            const QByteArray sql = QStringLiteral("SELECT %1, %2 FROM %3%4 ORDER BY %1%5")
                                       .arg(clave, columnas, QLatin1String(tabla), donde, orden).toUtf8();
            if (sqlite3_prepare_v2(db_, sql.constData(), -1, &r->st, nullptr) != SQLITE_OK)
                return false;
            if (desde)
                desde->Liga(r->st, 1);
            if (hasta)
                hasta->Liga(r->st, 4);
            return r->Paso();
        };
        if (!abre(eventos_, QStringLiteral("rowid"), "D_EVENTO", {}))
            return false;
        filas_.resize(mapas_.size());
        codigos_.resize(mapas_.size());
        for (size_t t = 0; t < mapas_.size(); ++t) {
            const FilasDeTabla &f = mapas_[t]->tabla;
            const char *tabla = f.grupo->tabla;
            if (!f.porOrden) {
                if (!abre(filas_[t], f.Orden(), tabla, QStringLiteral(", ") + f.Orden()))
                    return false;
            } else if (!abre(filas_[t], QStringLiteral("Orden, rowid"), tabla, QStringLiteral(", Orden"))
                       || !abre(codigos_[t], QStringLiteral("%1, rowid").arg(QLatin1String(f.grupo->codigo)), tabla,
                                QStringLiteral(", %1").arg(QLatin1String(f.grupo->codigo)))) {
                return false;
            }
        }
        return true;
    }

    void Arranca()
    {
        hilo_ = std::thread([this] {
            leido_ = Lee();
            terminados_.fetch_add(1, std::memory_order_release);
        });
    }

    // Waits for the thread; false when it could not read its stretch.
    bool Espera()
    {
        if (hilo_.joinable())
            hilo_.join();
        return leido_;
    }

private:
    bool Guarda(std::deque<CodigoCorto> &guardados, sqlite3_value *v, int conjunto, int lugar)
    {
        guardados.emplace_back();
        return guardados.back().De(v, conjunto, lugar);
    }

    // The event's rows, as Codigos::Guarda places them.
    bool PorCodigo(const FilasDeTabla &tabla, Recorrido &filas, std::deque<CodigoCorto> &guardados, const Clave &evento)
    {
        int siguiente[2] = {};
        bool ocupado[2][6] = {};
        bool suya;
        bool bien = filas.Hasta(evento, suya);
        for (; bien && suya; bien = filas.Siguiente(evento, suya)) {
            int columna = 3;
            const int conjunto = tabla.porPersona ? sqlite3_column_int(filas.st, columna++) - 1 : 0;
            const int lugar = conjunto == 0 || conjunto == 1 ? siguiente[conjunto]++ : 6;
            if (lugar < 6 && !ocupado[conjunto][lugar]) {
                ocupado[conjunto][lugar] = true;
                if (!Guarda(guardados, sqlite3_column_value(filas.st, columna), conjunto, lugar))
                    return false;
            }
        }
        return bien;
    }

    // The diagnoses of the event: slot k the one whose Orden is k.
    bool PorOrden(Recorrido &ordenes, Recorrido &codigos, std::deque<CodigoCorto> &guardados, const Clave &evento)
    {
        ordenes_.clear();
        bool suya;
        bool bien = ordenes.Hasta(evento, suya);
        for (; bien && suya; bien = ordenes.Siguiente(evento, suya)) {
            const int orden = sqlite3_column_int(ordenes.st, 3);
            if (orden >= 1 && orden <= 6)
                ordenes_.push_back({sqlite3_column_int64(ordenes.st, 4), orden - 1});
        }
        if (bien)
            bien = codigos.Hasta(evento, suya);
        for (; bien && suya; bien = codigos.Siguiente(evento, suya)) {
            const sqlite3_int64 rowid = sqlite3_column_int64(codigos.st, 4);
            for (const auto &[fila, lugar] : ordenes_)
                if (fila == rowid && !Guarda(guardados, sqlite3_column_value(codigos.st, 3), 0, lugar))
                    return false;
        }
        return bien;
    }

    // On the thread: the walks to the stretch's end; false when the codes cannot be kept so.
    bool Lee()
    {
        Recorrido &e = *eventos_;
        for (; e.paso == SQLITE_ROW; e.Paso()) {
            const sqlite3_int64 fila = sqlite3_column_int64(e.st, 3);
            if (parar_ || !e.fila.DeFila(e.st) || (e.hayPrevia && e.fila.Compara(e.previa.Vista()) <= 0))
                return false;
            e.previa.De(e.fila);
            e.hayPrevia = true;
            for (size_t t = 0; t < mapas_.size(); ++t) {
                MapaTabla &m = *mapas_[t];
                std::deque<CodigoCorto> &guardados = m.guardados[numero_];
                const size_t inicio = guardados.size();
                if (!(m.tabla.porOrden ? PorOrden(*filas_[t], *codigos_[t], guardados, e.fila)
                                       : PorCodigo(m.tabla, *filas_[t], guardados, e.fila)))
                    return false;
                if (guardados.size() == inicio)
                    continue;
                if (fila < 0 || quint64(fila) >= m.porFila.size() || inicio >= MapaTabla::MaximoInicio)
                    return false;
                m.porFila[size_t(fila)] = quint32(inicio << 7 | quint32(numero_) << 4 | (guardados.size() - inicio));
            }
        }
        return e.paso == SQLITE_DONE;
    }

    const int numero_;
    std::vector<std::unique_ptr<MapaTabla>> &mapas_;   // each thread writes its own list and its events' entries
    std::atomic<int> &terminados_;                      // the threads that are done
    sqlite3 *db_ = nullptr;
    std::unique_ptr<Recorrido> eventos_;                // the events' keys and rowids
    std::vector<std::unique_ptr<Recorrido>> filas_;     // by table: its rows; for the diagnoses, their Orden
    std::vector<std::unique_ptr<Recorrido>> codigos_;   // by table: the diagnoses' codes
    std::thread hilo_;
    std::atomic<bool> parar_{false};
    bool leido_ = false;                                // set by the thread, read after it is joined
    std::vector<std::pair<sqlite3_int64, int>> ordenes_;   // one event's diagnoses: rowid, slot
};

sqlite3_int64 Escalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *q = nullptr;
    sqlite3_int64 v = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
        v = sqlite3_column_type(q, 0) == SQLITE_NULL ? 0 : sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    return v;
}

sqlite3_int64 VersionDeDatos(sqlite3 *db)
{
    return Escalar(db, "PRAGMA main.data_version");
}

// The rowids the readers keep entries for (4 bytes each, per detail table).
constexpr sqlite3_int64 MaximaFila = sqlite3_int64(1) << 24;

bool Movida(sqlite3 *db)
{
    int movido = 1;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &movido) != SQLITE_OK || movido;
}

} // namespace

struct RanurasEvento::LecturaAdelantada::Datos {
    sqlite3 *db = nullptr;
    sqlite3_int64 version = -1;
    std::atomic<int> terminados{0};               // the stretches' threads that are done
    std::vector<std::unique_ptr<MapaTabla>> mapas;
    std::vector<std::unique_ptr<Tramo>> tramos;   // destroyed first: their threads write the maps
    int leidos = -1;                              // -1 until waited for; then 1 when every stretch was read

    MapaTabla *De(const char *tabla) const
    {
        for (const auto &m : mapas)
            if (std::strcmp(m->tabla.grupo->tabla, tabla) == 0)
                return m.get();
        return nullptr;
    }
    bool Leida(bool aguarda)
    {
        if (!aguarda && terminados.load(std::memory_order_acquire) < int(tramos.size()))
            return false;
        if (leidos < 0) {
            leidos = 1;
            for (const auto &t : tramos)
                leidos = t->Espera() && leidos;
        }
        return leidos == 1;
    }
};

namespace {

// The readers waiting for the next statement's cursor.
RanurasEvento::LecturaAdelantada::Datos *enEspera = nullptr;

// An event's slots by group: each table is read once per event, when its
// first slot is asked for. When threads read the tables for the statement,
// the event's codes are taken by its rowid once they are done. Otherwise (and
// meanwhile, for the first event and those that follow it in key order), while
// the events come in key order the table is walked along its index instead of
// searched for every event, and an event out of that order is searched for.
class LectorRanuras {
public:
    explicit LectorRanuras(sqlite3 *db) : db_(db)
    {
        const auto *adelantada = std::exchange(enEspera, nullptr);
        // One reading per table: the patient's and the aggressor's substances share theirs.
        for (const GrupoRanuras &g : Grupos) {
            const int conjunto = g.persona ? QByteArray(g.persona).toInt() - 1 : 0;
            const auto misma = std::find_if(busquedas_.begin(), busquedas_.end(),
                                            [&](const Busqueda &b) { return b.tabla.grupo->tabla == QLatin1String(g.tabla); });
            deGrupo_.push_back({int(misma - busquedas_.begin()), conjunto});
            if (misma == busquedas_.end())
                busquedas_.emplace_back(g, adelantada ? adelantada->De(g.tabla) : nullptr);
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
        ascendente_ = orden > 0;
        ordenada_ = ordenada;
        anterior_ = numero_++;
        for (int i = 0; i < 3; ++i) {
            sqlite3_value_free(valores_[i]);
            valores_[i] = nullptr;
        }
        if (ordenada) {
            actual_.De(nueva);
            return true;
        }
        // A key of other types is kept as it came, to be searched for.
        for (int i = 0; i < 3; ++i)
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

    // The value of slot k (1 to 6) of a group of the current event; false on an engine error.
    bool Resultado(sqlite3_context *ctx, int grupo, int k)
    {
        const auto [busqueda, conjunto] = deGrupo_[size_t(grupo)];
        Busqueda &b = busquedas_[size_t(busqueda)];
        if (b.evento != numero_ && !Lee(b))
            return false;
        b.codigos.de[conjunto][k - 1].Resultado(ctx);
        return true;
    }

private:
    struct Busqueda {
        Busqueda(const GrupoRanuras &g, const MapaTabla *m) : tabla(g), mapa(m) {}

        FilasDeTabla tabla;
        const MapaTabla *mapa;                 // the table read on threads, or null
        sqlite3_stmt *st = nullptr;            // one event's rows
        sqlite3_stmt *recorre = nullptr;       // the walk from an event on
        quint64 evento = 0;                    // the event the codes are of (0: none)
        Codigos codigos;
        bool enCurso = false;       // the walk stands on a row, or at its end (hayFila false)
        bool hayFila = false;
        bool filaOrdenada = false;  // the row's key is of the ordered types; then `fila` holds it
        Clave fila;

        // Steps the walk and reads the new row's key once.
        int Paso()
        {
            const int rc = sqlite3_step(recorre);
            hayFila = rc == SQLITE_ROW;
            filaOrdenada = hayFila && fila.DeFila(recorre);
            return rc;
        }
    };

    void Liga(sqlite3_stmt *q) const
    {
        if (!ordenada_) {
            for (int i = 0; i < 3; ++i)
                sqlite3_bind_value(q, i + 1, valores_[i]);
            return;
        }
        actual_.Liga(q);
    }

    // The table's two statements, prepared when it is first read.
    bool Prepara(Busqueda &b)
    {
        return sqlite3_prepare_v2(db_, b.tabla.Sql(false).constData(), -1, &b.st, nullptr) == SQLITE_OK
            && sqlite3_prepare_v2(db_, b.tabla.Sql(true).constData(), -1, &b.recorre, nullptr) == SQLITE_OK;
    }

    // Fills the codes of the current event by the walk, on from where it stands
    // when `adelante`; false when the event has to be searched for instead.
    bool Recorre(Busqueda &b, bool adelante, int &rc) const
    {
        const Clave k = actual_.Vista();
        rc = SQLITE_OK;
        bool busca = !b.enCurso || !adelante;
        // A few rows ahead are stepped over; an event far ahead is searched for.
        for (int pasos = 0; !busca && b.hayFila; ++pasos) {
            if (!b.filaOrdenada)
                return false;
            if (b.fila.Compara(k) >= 0)
                break;
            if (pasos == 32) {
                busca = true;
                break;
            }
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
        if (rc != SQLITE_ROW && rc != SQLITE_DONE && rc != SQLITE_OK)
            b.enCurso = false;
        else
            rc = SQLITE_DONE;
        return true;
    }

    // Reads the table's codes for the current event; false on an engine error.
    bool Lee(Busqueda &b)
    {
        if (!b.st && !Prepara(b))
            return false;
        const bool adelante = ascendente_ && b.evento == anterior_;
        b.evento = 0;
        int rc = SQLITE_DONE;
        // While the readers read, the first event and those that follow it in key order are walked to; one out of
        // that order waits for them.
        if (!conFila_ || !b.mapa || !b.mapa->Toma(fila_, b.codigos, !ascendente_ && numero_ > 1)) {
            b.codigos.Olvida();
            if (!ordenada_ || !Recorre(b, adelante, rc)) {
                Liga(b.st);
                while ((rc = sqlite3_step(b.st)) == SQLITE_ROW)
                    b.codigos.Guarda(b.tabla, b.st, 0);
                sqlite3_reset(b.st);
            }
        }
        if (rc != SQLITE_DONE)
            return false;
        b.evento = numero_;
        return true;
    }

    sqlite3 *db_;
    // The current event: its key when of the ordered types, else its values as they came.
    ClaveGuardada actual_;
    bool ordenada_ = false;
    sqlite3_value *valores_[3] = {};
    bool conFila_ = false;     // the current event's rowid was given
    sqlite3_int64 fila_ = 0;
    quint64 numero_ = 0, anterior_ = 0;   // numbers of the current and the previous event
    bool ascendente_ = false;             // the current event's key follows the previous one's
    std::vector<Busqueda> busquedas_;
    std::vector<std::pair<int, int>> deGrupo_;   // by group: its table's reading and set of slots
};

// The module: eponymous only, one row per call, the key as hidden arguments.
namespace Modulo {

const char *const Nombre = "RANURAS_EVENTO";
constexpr int Columnas = int(std::size(Grupos)) * 6;   // then the hidden key columns and rowid

struct Cursor {
    sqlite3_vtab_cursor base{};
    LectorRanuras lector;
    bool fin = true;

    explicit Cursor(sqlite3 *db) : lector(db) {}
};

struct Tabla {
    sqlite3_vtab base{};
    sqlite3 *db;
};

int Conecta(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **tabla, char **)
{
    QStringList columnas;
    for (const GrupoRanuras &g : Grupos)
        for (int k = 1; k <= 6; ++k)
            columnas << g.Ranura(k);
    columnas << QStringLiteral("clues HIDDEN") << QStringLiteral("folio HIDDEN") << QStringLiteral("fecha HIDDEN")
             << QStringLiteral("fila HIDDEN");
    const int rc = sqlite3_declare_vtab(db, QStringLiteral("CREATE TABLE x(%1)").arg(columnas.join(QLatin1Char(','))).toUtf8().constData());
    if (rc != SQLITE_OK)
        return rc;
    auto *t = new Tabla;
    t->db = db;
    *tabla = &t->base;
    return SQLITE_OK;
}

int Desconecta(sqlite3_vtab *tabla)
{
    delete reinterpret_cast<Tabla *>(tabla);
    return SQLITE_OK;
}

// Only by the whole key, given as the function's first three arguments; the
// event's rowid may follow.
int MejorIndice(sqlite3_vtab *, sqlite3_index_info *info)
{
    int argumento[4] = {-1, -1, -1, -1};
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        const int oculta = c.iColumn - Columnas;
        if (oculta >= 0 && oculta < 4) {
            if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ)
                return SQLITE_CONSTRAINT;
            argumento[oculta] = i;
        }
    }
    for (int a = 0; a < 3; ++a) {
        if (argumento[a] < 0)
            return SQLITE_CONSTRAINT;
        info->aConstraintUsage[argumento[a]].argvIndex = a + 1;
        info->aConstraintUsage[argumento[a]].omit = 1;
    }
    if (argumento[3] >= 0) {
        info->aConstraintUsage[argumento[3]].argvIndex = 4;
        info->aConstraintUsage[argumento[3]].omit = 1;
    }
    info->estimatedCost = 1;
    info->estimatedRows = 1;
    info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
    return SQLITE_OK;
}

int Abre(sqlite3_vtab *tabla, sqlite3_vtab_cursor **cursor)
{
    *cursor = &(new Cursor(reinterpret_cast<Tabla *>(tabla)->db))->base;
    return SQLITE_OK;
}

int Cierra(sqlite3_vtab_cursor *cursor)
{
    delete reinterpret_cast<Cursor *>(cursor);
    return SQLITE_OK;
}

// The slots are read when their columns are asked for.
int Filtra(sqlite3_vtab_cursor *cursor, int, const char *, int argc, sqlite3_value **argv)
{
    auto *c = reinterpret_cast<Cursor *>(cursor);
    if (argc < 3 || argc > 4 || !c->lector.Evento(argv, argc))
        return SQLITE_NOMEM;
    c->fin = false;
    return SQLITE_OK;
}

int Siguiente(sqlite3_vtab_cursor *cursor)
{
    reinterpret_cast<Cursor *>(cursor)->fin = true;
    return SQLITE_OK;
}

int Fin(sqlite3_vtab_cursor *cursor)
{
    return reinterpret_cast<Cursor *>(cursor)->fin;
}

int Valor(sqlite3_vtab_cursor *cursor, sqlite3_context *ctx, int columna)
{
    auto *c = reinterpret_cast<Cursor *>(cursor);
    if (columna >= Columnas) {
        c->lector.ParteDeClave(ctx, columna - Columnas);
        return SQLITE_OK;
    }
    if (c->lector.Resultado(ctx, columna / 6, columna % 6 + 1))
        return SQLITE_OK;
    sqlite3 *db = reinterpret_cast<Tabla *>(cursor->pVtab)->db;
    sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
    return SQLITE_ERROR;
}

int Fila(sqlite3_vtab_cursor *, sqlite3_int64 *fila)
{
    *fila = 0;
    return SQLITE_OK;
}

sqlite3_module Definicion()
{
    sqlite3_module m{};   // version 0; no xCreate: eponymous only
    m.xConnect = Conecta;
    m.xBestIndex = MejorIndice;
    m.xDisconnect = Desconecta;
    m.xOpen = Abre;
    m.xClose = Cierra;
    m.xFilter = Filtra;
    m.xNext = Siguiente;
    m.xEof = Fin;
    m.xColumn = Valor;
    m.xRowid = Fila;
    return m;
}

} // namespace Modulo

} // namespace

namespace RanurasEvento {

const GrupoRanuras *GrupoDe(const QString &entrada)
{
    for (const GrupoRanuras &g : Grupos)
        if (entrada.compare(QLatin1String(g.entrada), Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

void Registra(sqlite3 *db)
{
    static const sqlite3_module modulo = Modulo::Definicion();
    sqlite3_stmt *prueba = nullptr;
    const QByteArray sql = QByteArray("SELECT 1 FROM ") + Modulo::Nombre + "('', 0, '') WHERE 0";
    const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &prueba, nullptr);
    sqlite3_finalize(prueba);
    if (rc == SQLITE_OK)
        return;
    if (!QByteArray(sqlite3_errmsg(db)).startsWith("no such table")
        || sqlite3_create_module_v2(db, Modulo::Nombre, &modulo, nullptr, nullptr) != SQLITE_OK)
        throw ErrorBD::DeManejador(db);
}

QString Union()
{
    return QStringLiteral(", %1(E.Clues, E.Folio, E.fechaAtencion, E.rowid) AS R").arg(QLatin1String(Modulo::Nombre));
}

LecturaAdelantada::LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos) : d_(std::make_unique<Datos>())
{
    d_->db = db;
    // The readers open the file by its name, which must still be the connection's
    // file; and they must see it as the statement will: nothing read is pending
    // (a write lock held reads the last state, which nobody else can change).
    const char *archivo = sqlite3_db_filename(db, "main");
    const int lectores = qMin(int(std::thread::hardware_concurrency()) - 1, MapaTabla::Lectores);
    if (lectores < 1 || !archivo || !*archivo || sqlite3_txn_state(db, "main") == SQLITE_TXN_READ || Movida(db))
        return;
    d_->version = VersionDeDatos(db);
    // The entries by rowid: events numbered far beyond what a year holds are read by the statement.
    const sqlite3_int64 maxima = Escalar(db, "SELECT max(rowid) FROM D_EVENTO");
    if (maxima < 0 || maxima >= MaximaFila)
        return;
    for (const GrupoRanuras *g : grupos) {
        if (d_->De(g->tabla))
            continue;
        d_->mapas.push_back(std::make_unique<MapaTabla>(*g));
        d_->mapas.back()->porFila.assign(size_t(maxima) + 1, 0);
        d_->mapas.back()->leida = [d = d_.get()](bool aguarda) { return d->Leida(aguarda); };
    }
    // Stretches of about as many events each, cut at the keys of events spread over the rowids.
    std::vector<ClaveGuardada> cortes;
    sqlite3_stmt *q = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT CLUES, Folio, fechaAtencion FROM D_EVENTO WHERE rowid >= ?1 ORDER BY rowid LIMIT 1", -1, &q,
                           nullptr) != SQLITE_OK) {
        d_->mapas.clear();
        return;
    }
    constexpr int Muestras = 64;
    for (int i = 1; i < Muestras * lectores; ++i) {
        sqlite3_bind_int64(q, 1, maxima * i / (Muestras * lectores));
        Clave k;
        if (sqlite3_step(q) == SQLITE_ROW && k.DeFila(q)) {
            cortes.emplace_back();
            cortes.back().De(k);
        }
        sqlite3_reset(q);
    }
    sqlite3_finalize(q);
    std::sort(cortes.begin(), cortes.end(), [](const ClaveGuardada &a, const ClaveGuardada &b) { return a.Vista().Compara(b.Vista()) < 0; });
    std::vector<const ClaveGuardada *> limites = {nullptr};
    for (int i = 1; i < lectores && !cortes.empty(); ++i)
        limites.push_back(&cortes[cortes.size() * size_t(i) / size_t(lectores)]);
    limites.push_back(nullptr);
    for (size_t i = 0; i + 1 < limites.size(); ++i) {
        d_->tramos.push_back(std::make_unique<Tramo>(int(i), d_->mapas, d_->terminados));
        if (!d_->tramos.back()->Abre(archivo, limites[i], limites[i + 1])) {
            d_->tramos.clear();
            d_->mapas.clear();
            return;
        }
    }
    if (Movida(db)) {
        d_->tramos.clear();
        d_->mapas.clear();
        return;
    }
    for (const auto &t : d_->tramos)
        t->Arranca();
    enEspera = d_.get();
}

LecturaAdelantada::~LecturaAdelantada()
{
    if (enEspera == d_.get())
        enEspera = nullptr;
}

bool LecturaAdelantada::MismaVersion() const
{
    return d_->tramos.empty() || VersionDeDatos(d_->db) == d_->version;
}

} // namespace RanurasEvento
