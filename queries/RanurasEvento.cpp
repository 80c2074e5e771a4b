#include "queries/RanurasEvento.h"

#include "platform/BaseDatos.h"

#include <sqlite3.h>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
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
    // As the parameters ?1, ?2, ?3 of a statement.
    void Liga(sqlite3_stmt *q) const
    {
        sqlite3_bind_text(q, 1, clues.constData(), int(clues.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(q, 2, folio);
        sqlite3_bind_text(q, 3, fecha.constData(), int(fecha.size()), SQLITE_TRANSIENT);
    }
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

    // One event's rows (by ?1, ?2, ?3), or with `recorrido` the key and rows
    // of every event from that key on (all of them without `desde`), in the
    // order of the table's primary key, so that its index is read as it stands.
    QByteArray Sql(bool recorrido, bool desde = true) const
    {
        const QString orden = porOrden ? QStringLiteral("Orden")
            : porPersona               ? QStringLiteral("CodAfectadoAgresor, %1").arg(QLatin1String(grupo->codigo))
                                       : QLatin1String(grupo->codigo);
        const QString filas = porOrden ? QStringLiteral("Orden, CodDiagnostico") : orden;
        QStringList condicion;
        if (!recorrido)
            condicion << QStringLiteral("CLUES = ?1 AND Folio = ?2 AND fechaAtencion = ?3");
        else if (desde)
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

// One detail table read in key order on a thread of its own, over its own
// read-only connection, and handed over a block of events at a time: the
// codes of every event that has rows. The thread waits while every block is
// full, so the memory is a few blocks whatever the table's size. When the
// statement's events skip far ahead (a filter), the reader has the thread
// jump to the event asked for, as the walk searches for it.
class Flujo {
public:
    explicit Flujo(const GrupoRanuras &g) : tabla_(g) {}
    ~Flujo()
    {
        {
            const std::lock_guard<std::mutex> l(m_);
            parar_ = true;
        }
        cambio_.notify_all();
        if (hilo_.joinable())
            hilo_.join();
        sqlite3_finalize(todo_);
        sqlite3_finalize(desde_);
        sqlite3_close_v2(db_);
    }
    Flujo(const Flujo &) = delete;
    Flujo &operator=(const Flujo &) = delete;

    const char *Tabla() const { return tabla_.grupo->tabla; }

    // Opens the file and reads the first row, which fixes the state of the
    // database the connection sees to the end; false when it cannot.
    bool Abre(const char *archivo)
    {
        if (sqlite3_open_v2(archivo, &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK
            || sqlite3_prepare_v2(db_, tabla_.Sql(true, false).constData(), -1, &todo_, nullptr) != SQLITE_OK
            || sqlite3_prepare_v2(db_, tabla_.Sql(true).constData(), -1, &desde_, nullptr) != SQLITE_OK)
            return false;
        st_ = todo_;
        paso_ = sqlite3_step(st_);
        return paso_ == SQLITE_ROW || paso_ == SQLITE_DONE;
    }

    void Arranca()
    {
        hilo_ = std::thread([this] { Produce(); });
    }

    enum class Respuesta { Codigos, SinFilas, NoSabe };

    // The codes of the event `k` (swapped into `codigos`), or that it has
    // none. Events not asked for are passed over; rather than pass over more
    // than the thread reads ahead, the thread jumps to `k`. NoSabe for an
    // event the reading has passed (asked out of order), and for every event
    // once the reading failed, met a key out of order or passed over four
    // events for every one taken (a filter that keeps few here and there:
    // searching for them on the statement's connection is cheaper than
    // reading every row).
    Respuesta Toma(const Clave &k, Codigos &codigos)
    {
        if (perdido_ || (hayUltima_ && k.Compara(ultima_.Vista()) <= 0) || (saltos_ && k.Compara(suelo_.Vista()) < 0))
            return Respuesta::NoSabe;
        for (int pasados = 0;;) {
            if (!tomado_) {
                std::unique_lock<std::mutex> l(m_);
                cambio_.wait(l, [this] { return llenos_ > 0 || (terminado_ && !haySalto_); });
                if (llenos_ == 0) {
                    perdido_ = roto_;
                    return roto_ ? Respuesta::NoSabe : Respuesta::SinFilas;
                }
                tomado_ = true;
            }
            Bloque &b = bloques_[actual_];
            if (b.generacion != saltos_ || posicion_ == b.usados) {
                Suelta();   // read, or read before the last jump
                continue;
            }
            Evento &e = b.eventos[size_t(posicion_)];
            const int orden = e.clave.Vista().Compara(k);
            if (orden > 0)
                return Respuesta::SinFilas;
            ultima_.De(e.clave.Vista());
            hayUltima_ = true;
            ++posicion_;
            if (orden == 0) {
                std::swap(codigos, e.codigos);
                ++tomados_;
                return Respuesta::Codigos;
            }
            if (++pasados > Adelanto) {
                Salta(k);
                pasados = 0;
            } else if (++pasadosEnTotal_ > 4 * tomados_ + Adelanto) {
                Abandona();
                return Respuesta::NoSabe;
            }
        }
    }

private:
    struct Evento {
        ClaveGuardada clave;
        Codigos codigos;
    };
    struct Bloque {
        std::vector<Evento> eventos = std::vector<Evento>(PorBloque);
        int usados = 0;
        int generacion = 0;   // the jumps the thread had made when it read it
    };
    static constexpr int PorBloque = 256, Bloques = 4;
    static constexpr int Adelanto = PorBloque * Bloques;   // the most events the thread reads ahead

    // The reader gives up: the thread stops at its next block.
    void Abandona()
    {
        perdido_ = true;
        {
            const std::lock_guard<std::mutex> l(m_);
            parar_ = true;
        }
        cambio_.notify_all();
    }

    // Asks the thread to go on from the event `k`; the blocks read before are
    // passed over unread.
    void Salta(const Clave &k)
    {
        suelo_.De(k);
        ++saltos_;
        {
            const std::lock_guard<std::mutex> l(m_);
            salto_.De(k);
            haySalto_ = true;
            generacionPedida_ = saltos_;
        }
        cambio_.notify_all();
    }

    // Hands the block read back to the thread.
    void Suelta()
    {
        {
            const std::lock_guard<std::mutex> l(m_);
            --llenos_;
        }
        cambio_.notify_all();
        tomado_ = false;
        actual_ = (actual_ + 1) % Bloques;
        posicion_ = 0;
    }

    // On the thread: the rows of one event are consecutive; an event is
    // handed over once its last row is read. At the table's end the thread
    // waits for a jump back into it, or to stop.
    void Produce()
    {
        bool enCurso = false;   // the block's next event is being filled
        ClaveGuardada previa;   // the last event's key
        bool hayPrevia = false, fin = false;
        int generacion = 0;
        ClaveGuardada destino;
        for (int llenar = 0;; llenar = (llenar + 1) % Bloques) {
            bool salta = false;
            {
                std::unique_lock<std::mutex> l(m_);
                cambio_.wait(l, [this] { return parar_ || (llenos_ < Bloques && (!terminado_ || haySalto_)); });
                if (parar_)
                    return;
                if (haySalto_) {
                    destino.De(salto_.Vista());
                    generacion = generacionPedida_;
                    haySalto_ = terminado_ = roto_ = false;
                    salta = true;
                }
            }
            if (salta) {
                sqlite3_reset(st_);
                st_ = desde_;
                destino.Liga(st_);
                enCurso = hayPrevia = fin = false;
                paso_ = sqlite3_step(st_);
            }
            Bloque &b = bloques_[llenar];
            b.usados = 0;
            b.generacion = generacion;
            bool roto = false;
            for (;;) {
                Clave fila;
                if (paso_ != SQLITE_ROW || !fila.DeFila(st_)) {
                    fin = true;
                    roto = paso_ != SQLITE_DONE;
                    break;
                }
                const int orden = hayPrevia ? fila.Compara(previa.Vista()) : 1;
                if (orden < 0 || (orden == 0 && !enCurso)) {
                    fin = roto = true;   // not in the order the events are compared in
                    break;
                }
                if (orden > 0) {
                    if (enCurso) {
                        ++b.usados;
                        enCurso = false;
                    }
                    if (b.usados == PorBloque)
                        break;   // the row starts the next block
                    Evento &e = b.eventos[size_t(b.usados)];
                    e.clave.De(fila);
                    e.codigos.Olvida();
                    previa.De(fila);
                    hayPrevia = enCurso = true;
                }
                b.eventos[size_t(b.usados)].codigos.Guarda(tabla_, st_, 3);
                paso_ = sqlite3_step(st_);
            }
            if (fin && enCurso) {
                ++b.usados;
                enCurso = false;
            }
            {
                const std::lock_guard<std::mutex> l(m_);
                ++llenos_;
                terminado_ = fin;
                roto_ = roto;
            }
            cambio_.notify_all();
        }
    }

    const FilasDeTabla tabla_;
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *todo_ = nullptr;    // the whole table
    sqlite3_stmt *desde_ = nullptr;   // from a key on
    sqlite3_stmt *st_ = nullptr;      // the one being read
    int paso_ = SQLITE_DONE;          // the last step's result; on the thread once it runs
    std::thread hilo_;

    // Shared with the thread, under m_. Blocks are filled and read in turn.
    std::mutex m_;
    std::condition_variable cambio_;
    Bloque bloques_[Bloques];
    int llenos_ = 0;          // handed over and not yet given back
    bool terminado_ = false;  // the last block is handed over
    bool roto_ = false;       // ... and the table was not read to its end
    bool parar_ = false;
    bool haySalto_ = false;   // a jump to `salto_` waits
    ClaveGuardada salto_;
    int generacionPedida_ = 0;

    // The reader's side.
    int actual_ = 0, posicion_ = 0;
    bool tomado_ = false;     // block actual_ is handed over
    ClaveGuardada ultima_;    // the last event passed
    bool hayUltima_ = false;
    ClaveGuardada suelo_;     // the last jump's event: the blocks hold none before it
    int saltos_ = 0;          // the jumps asked for: the blocks read since the last one carry its number
    qint64 tomados_ = 0, pasadosEnTotal_ = 0;
    bool perdido_ = false;
};

sqlite3_int64 VersionDeDatos(sqlite3 *db)
{
    sqlite3_stmt *q = nullptr;
    sqlite3_int64 v = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA main.data_version", -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
        v = sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    return v;
}

bool Movida(sqlite3 *db)
{
    int movido = 1;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &movido) != SQLITE_OK || movido;
}

} // namespace

struct RanurasEvento::LecturaAdelantada::Datos {
    sqlite3 *db = nullptr;
    sqlite3_int64 version = -1;
    std::vector<std::unique_ptr<Flujo>> flujos;

    Flujo *De(const char *tabla) const
    {
        for (const auto &f : flujos)
            if (std::strcmp(f->Tabla(), tabla) == 0)
                return f.get();
        return nullptr;
    }
};

namespace {

// The readers waiting for the next statement's cursor.
RanurasEvento::LecturaAdelantada::Datos *enEspera = nullptr;

// An event's slots by group: each table is read once per event, when its
// first slot is asked for. While the events come in key order, as they are
// stored, each table is read by a thread of its own when one was started for
// the statement, or else walked along its index instead of searched for every
// event; an event out of that order is searched for.
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

    // The event whose slots are asked for next, by its key: CLUES, Folio, fechaAtencion.
    bool Evento(sqlite3_value **clave)
    {
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

    // Part i of the current event's key.
    void ParteDeClave(sqlite3_context *ctx, int i) const
    {
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
        Busqueda(const GrupoRanuras &g, Flujo *f) : tabla(g), flujo(f) {}

        FilasDeTabla tabla;
        Flujo *flujo;                          // the table read on a thread, or null
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

    // The codes from the table's thread; false when it cannot give them.
    static bool DelFlujo(Busqueda &b, const Clave &k)
    {
        switch (b.flujo->Toma(k, b.codigos)) {
        case Flujo::Respuesta::Codigos:
            return true;
        case Flujo::Respuesta::SinFilas:
            b.codigos.Olvida();
            return true;
        case Flujo::Respuesta::NoSabe:
            break;
        }
        return false;
    }

    // Reads the table's codes for the current event; false on an engine error.
    bool Lee(Busqueda &b)
    {
        if (!b.st && !Prepara(b))
            return false;
        const bool adelante = ascendente_ && b.evento == anterior_;
        b.evento = 0;
        int rc = SQLITE_DONE;
        if (!ordenada_ || !b.flujo || !DelFlujo(b, actual_.Vista())) {
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
    quint64 numero_ = 0, anterior_ = 0;   // numbers of the current and the previous event
    bool ascendente_ = false;             // the current event's key follows the previous one's
    std::vector<Busqueda> busquedas_;
    std::vector<std::pair<int, int>> deGrupo_;   // by group: its table's reading and set of slots
};

// The module: eponymous only, one row per call, the key as hidden arguments.
namespace Modulo {

const char *const Nombre = "RANURAS_EVENTO";
constexpr int Columnas = int(std::size(Grupos)) * 6;   // then the three hidden key columns

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
    columnas << QStringLiteral("clues HIDDEN") << QStringLiteral("folio HIDDEN") << QStringLiteral("fecha HIDDEN");
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

// Only by the whole key, given as the function's three arguments.
int MejorIndice(sqlite3_vtab *, sqlite3_index_info *info)
{
    int argumento[3] = {-1, -1, -1};
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &c = info->aConstraint[i];
        const int oculta = c.iColumn - Columnas;
        if (oculta >= 0 && oculta < 3) {
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
    if (argc != 3 || !c->lector.Evento(argv))
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
    return QStringLiteral(", %1(E.Clues, E.Folio, E.fechaAtencion) AS R").arg(QLatin1String(Modulo::Nombre));
}

LecturaAdelantada::LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos) : d_(std::make_unique<Datos>())
{
    d_->db = db;
    // The readers open the file by its name, which must still be the connection's
    // file; and they must see it as the statement will: nothing read is pending.
    const char *archivo = sqlite3_db_filename(db, "main");
    if (std::thread::hardware_concurrency() < 2 || !archivo || !*archivo || sqlite3_txn_state(db, "main") != SQLITE_TXN_NONE
        || Movida(db))
        return;
    d_->version = VersionDeDatos(db);
    for (const GrupoRanuras *g : grupos) {
        if (d_->De(g->tabla))
            continue;
        d_->flujos.push_back(std::make_unique<Flujo>(*g));
        if (!d_->flujos.back()->Abre(archivo)) {
            d_->flujos.clear();
            return;
        }
    }
    if (Movida(db)) {
        d_->flujos.clear();
        return;
    }
    for (const auto &f : d_->flujos)
        f->Arranca();
    enEspera = d_.get();
}

LecturaAdelantada::~LecturaAdelantada()
{
    if (enEspera == d_.get())
        enEspera = nullptr;
}

bool LecturaAdelantada::MismaVersion() const
{
    return d_->flujos.empty() || VersionDeDatos(d_->db) == d_->version;
}

} // namespace RanurasEvento
