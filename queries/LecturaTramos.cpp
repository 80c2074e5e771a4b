#include "queries/LecturaTramos.h"

#include <QStringList>
#include <sys/mman.h>
#include <algorithm>
#include <cstring>
#include <numeric>
#include <new>
#include <optional>
#include <thread>
#include <type_traits>

namespace RanurasEvento {

namespace {

// Rows of no event passed before the walk searches for the event's first
// row from its key instead: events far apart cost a search, not every row
// between. After a search, the next event is searched for after one row.
constexpr int Salto = 4;

// One index of a table walked in key order on a reader's connection.
struct Recorrido {
    sqlite3_stmt *st = nullptr;
    int paso = SQLITE_DONE;
    Clave fila;
    ClaveGuardada previa;
    bool hayPrevia = false;
    bool buscable = false;   // the walk starts from the key bound as ?1, ?2, ?3
    int tope = Salto;        // rows passed before it searches
    ClaveGuardada buscada;   // the key last searched from, bound without a copy

    Recorrido() = default;
    Recorrido(const Recorrido &) = delete;
    Recorrido &operator=(const Recorrido &) = delete;
    ~Recorrido() { sqlite3_finalize(st); }

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
        bool busco = false;
        for (int pasadas = 0; paso == SQLITE_ROW;) {
            if (!fila.DeFila(st))
                return false;
            const int orden = fila.Compara(evento);
            if (orden == 0) {
                tope = busco ? 1 : Salto;
                suya = true;
                return true;
            }
            if ((orden < 0 && trasUnaSuya) || (hayPrevia && fila.Compara(previa.Vista()) < 0))
                return false;
            previa.De(fila);
            hayPrevia = true;
            if (orden > 0) {
                tope = busco ? 1 : Salto;
                return true;
            }
            if (buscable && ++pasadas == tope) {
                sqlite3_reset(st);
                buscada.De(evento);
                buscada.Vista().Liga(st, 1, SQLITE_STATIC);
                busco = true;
            }
            if (!Paso())
                return false;
        }
        return paso == SQLITE_DONE;
    }
    bool Siguiente(const Clave &evento, bool &suya) { return Paso() && Hasta(evento, suya, true); }
};

// A value of one row, or nothing on an error or a NULL.
std::optional<sqlite3_int64> Escalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *q = nullptr;
    std::optional<sqlite3_int64> v;
    if (sqlite3_prepare_v2(db, sql, -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW
        && sqlite3_column_type(q, 0) != SQLITE_NULL)
        v = sqlite3_column_int64(q, 0);
    sqlite3_finalize(q);
    return v;
}

sqlite3_int64 VersionDeDatos(sqlite3 *db)
{
    return Escalar(db, "PRAGMA main.data_version").value_or(-1);
}

bool Movida(sqlite3 *db)
{
    int movido = 1;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &movido) != SQLITE_OK || movido;
}

// Fewer chosen events than MinimoAqui are read by the statement alone, fewer
// than MinimoEnHilos on the calling thread; more, by it and at least one
// thread, each of which reads at least PorTramo when there are more of them,
// so that a few events do not wait for many connections to open.
constexpr size_t MinimoAqui = 64, MinimoEnHilos = 512, PorTramo = 1024;

// The readers waiting for the next statement's slot reader.
LecturaAdelantada::Datos *enEspera = nullptr;
// The chosen events EVENTOS_ELEGIDOS gives.
const Elegidos *elegidosActuales = nullptr;

// Keys of events spread over the rowids, in key order: where the stretches are cut.
std::vector<ClaveGuardada> Cortes(sqlite3 *db, int cuantos)
{
    std::vector<ClaveGuardada> cortes;
    const auto minima = Escalar(db, "SELECT min(rowid) FROM D_EVENTO"), maxima = Escalar(db, "SELECT max(rowid) FROM D_EVENTO");
    sqlite3_stmt *q = nullptr;
    if (!minima || !maxima
        || sqlite3_prepare_v2(db, "SELECT CLUES, Folio, fechaAtencion FROM D_EVENTO WHERE rowid >= ?1 ORDER BY rowid LIMIT 1", -1, &q,
                              nullptr) != SQLITE_OK)
        return cortes;
    const long double paso = ((long double)*maxima - (long double)*minima) / cuantos;
    for (int i = 1; i < cuantos; ++i) {
        sqlite3_bind_int64(q, 1, *minima + sqlite3_int64(paso * i));
        Clave k;
        if (sqlite3_step(q) == SQLITE_ROW && k.DeFila(q))
            cortes.emplace_back().De(k);
        sqlite3_reset(q);
    }
    sqlite3_finalize(q);
    std::sort(cortes.begin(), cortes.end(), [](const ClaveGuardada &a, const ClaveGuardada &b) { return a.Vista().Compara(b.Vista()) < 0; });
    cortes.erase(std::unique(cortes.begin(), cortes.end(),
                             [](const ClaveGuardada &a, const ClaveGuardada &b) { return a.Vista().Compara(b.Vista()) == 0; }),
                 cortes.end());
    return cortes;
}

} // namespace

// One stretch of the events' keys: the key index and each detail table's
// indexes walked side by side, each event's codes kept in a list of the
// table, and the events then put in rowid order. Where that cannot be (a key
// or code of another type or size, a key out of the order it compares in, an
// engine error), the statement reads the tables itself.
class Tramo {
public:
    Tramo(const std::vector<FilasDeTabla> &tablas, std::atomic<int> &terminados)
        : entradas(tablas.size()), guardados(tablas.size()), tablas_(tablas), terminados_(terminados)
    {
    }
    // The connection closes once its walks, destroyed after, are finalized.
    ~Tramo()
    {
        parar_ = true;
        Espera();
        if (propia_)
            sqlite3_close_v2(db_);
    }

    // Opens the file and reads the first rows from `desde` (the first key
    // when null) to `hasta` (the last when null; with `hastaIncluida`, that
    // key too), which fixes the state of the database the connection sees to
    // the end; false when it cannot. Each walk reads one index alone: the
    // diagnoses' Orden and code are in two, joined by the row's rowid. The
    // detail walks stop with the events, past the stretch's last one. With
    // `elegidos`, the stretch's events are those of them from `primero` to
    // `fin` (not in), whose keys run from `desde` to `hasta`, both in. Without
    // `archivo`, the walks are statements of the connection `db` itself,
    // read on the calling thread, in its transaction.
    bool Abre(sqlite3 *db, const char *archivo, const ClaveGuardada *desde, const ClaveGuardada *hasta, bool hastaIncluida,
              const Elegidos *elegidos = nullptr, size_t primero = 0, size_t fin = 0)
    {
        elegidos_ = elegidos;
        primero_ = primero;
        fin_ = fin;
        propia_ = archivo != nullptr;
        db_ = propia_ ? nullptr : db;
        // One read transaction for every walk, however often one is searched again.
        if (propia_
            && (sqlite3_open_v2(archivo, &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK
                || sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK))
            return false;
        const QString clave = QStringLiteral("CLUES, Folio, fechaAtencion");
        const QString desdeAqui = desde ? QStringLiteral(" WHERE (%1) >= (?1, ?2, ?3)").arg(clave) : QString();
        const auto abre = [&](std::unique_ptr<Recorrido> &r, const QString &columnas, const char *tabla, const QString &orden,
                              bool conFin) {
            r = std::make_unique<Recorrido>();
            QString donde = desdeAqui;
            if (hasta && conFin)
                donde += QStringLiteral("%1 (%2) %3 (?4, ?5, ?6)")
                             .arg(desde ? QStringLiteral(" AND") : QStringLiteral(" WHERE"), clave,
                                  hastaIncluida ? QStringLiteral("<=") : QStringLiteral("<"));
            const QByteArray sql = QStringLiteral("SELECT %1, %2 FROM %3%4 ORDER BY %1%5")
                                       .arg(clave, columnas, QLatin1String(tabla), donde, orden).toUtf8();
            if (sqlite3_prepare_v2(db_, sql.constData(), -1, &r->st, nullptr) != SQLITE_OK)
                return false;
            if (desde)
                desde->Liga(r->st, 1);
            if (hasta && conFin)
                hasta->Liga(r->st, 4);
            r->buscable = desde != nullptr;
            return r->Paso();
        };
        if (!elegidos && !abre(eventos_, QStringLiteral("rowid"), "D_EVENTO", {}, true))
            return false;
        filas_.resize(tablas_.size());
        codigos_.resize(tablas_.size());
        for (size_t t = 0; t < tablas_.size(); ++t) {
            const FilasDeTabla &f = tablas_[t];
            const char *tabla = f.grupo->tabla;
            const QString codigo = QLatin1String(f.grupo->codigo);
            if (!abre(filas_[t], f.porOrden ? QStringLiteral("Orden, rowid") : f.Orden(), tabla, QStringLiteral(", ") + f.Orden(), false)
                || (f.porOrden && !abre(codigos_[t], codigo + QStringLiteral(", rowid"), tabla, QStringLiteral(", ") + codigo, false)))
                return false;
        }
        return true;
    }

    // Reads the stretch on a thread of its own, or with `aqui` on the calling thread, at once.
    void Arranca(bool aqui = false)
    {
        const auto lee = [this] {
            // Without memory for its lists, the statement reads the tables itself.
            try {
                leido_ = Lee() && PorFila();
            } catch (const std::bad_alloc &) {
                leido_ = false;
            }
            terminados_.fetch_add(1, std::memory_order_release);
        };
        if (!aqui) {
            hilo_ = std::thread(lee);
            return;
        }
        lee();
        // A statement left open on the connection would keep its tables from being dropped.
        eventos_.reset();
        filas_.clear();
        codigos_.clear();
    }

    // Waits for the thread; false when it could not read its stretch.
    bool Espera()
    {
        if (hilo_.joinable())
            hilo_.join();
        return leido_;
    }

    // Once read, by event in rowid order: its rowid; by table and event, how
    // many codes it has (bits 0-3) and where they start in the table's list
    // (bits 4 on), which holds them in the same order, so that the
    // statement, reading in rowid order, finds them one after another.
    Trozos<sqlite3_int64> filas;
    std::vector<Trozos<quint32>> entradas;
    std::vector<Trozos<CodigoCorto>> guardados;

private:
    static constexpr size_t MaximoInicio = size_t(1) << 28;

    // The event's rows, as Codigos::Guarda places them.
    bool PorCodigo(const FilasDeTabla &tabla, Recorrido &filas, Trozos<CodigoCorto> &lista, const Clave &evento)
    {
        int siguiente[2] = {};
        bool suya;
        bool bien = filas.Hasta(evento, suya);
        for (; bien && suya; bien = filas.Siguiente(evento, suya)) {
            int columna = 3;
            const int conjunto = tabla.porPersona ? sqlite3_column_int(filas.st, columna++) - 1 : 0;
            const int lugar = conjunto == 0 || conjunto == 1 ? siguiente[conjunto]++ : 6;
            if (lugar < 6 && !lista.emplace_back().De(sqlite3_column_value(filas.st, columna), conjunto, lugar))
                return false;
        }
        return bien;
    }

    // The diagnoses of the event: slot k the one whose Orden is k.
    bool PorOrden(Recorrido &ordenes, Recorrido &codigos, Trozos<CodigoCorto> &lista, const Clave &evento)
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
                if (fila == rowid && !lista.emplace_back().De(sqlite3_column_value(codigos.st, 3), 0, lugar))
                    return false;
        }
        return bien;
    }

    // One event's codes of every table, kept; false when they cannot be kept so.
    bool Evento(const Clave &clave, sqlite3_int64 fila)
    {
        filas.emplace_back() = fila;
        for (size_t t = 0; t < tablas_.size(); ++t) {
            Trozos<CodigoCorto> &lista = guardados[t];
            const size_t inicio = lista.size();
            if (!(tablas_[t].porOrden ? PorOrden(*filas_[t], *codigos_[t], lista, clave) : PorCodigo(tablas_[t], *filas_[t], lista, clave))
                || inicio >= MaximoInicio)
                return false;
            entradas[t].emplace_back() = quint32(inicio << 4 | (lista.size() - inicio));
        }
        return true;
    }

    // On the thread: the walks to the stretch's end; false when the codes cannot be kept so.
    bool Lee()
    {
        if (elegidos_) {
            for (size_t i = primero_; i < fin_; ++i) {
                const EventoElegido &e = elegidos_->eventos[i];
                if (parar_ || !Evento(e.Vista(), e.fila))
                    return false;
            }
            return true;
        }
        Recorrido &e = *eventos_;
        for (; e.paso == SQLITE_ROW; e.Paso()) {
            if (parar_ || !e.fila.DeFila(e.st) || (e.hayPrevia && e.fila.Compara(e.previa.Vista()) <= 0))
                return false;
            e.previa.De(e.fila);
            e.hayPrevia = true;
            if (!Evento(e.fila, sqlite3_column_int64(e.st, 3)))
                return false;
        }
        return e.paso == SQLITE_DONE;
    }

    // On the thread: the events and their codes put in rowid order.
    bool PorFila()
    {
        std::vector<quint32> orden(filas.size());
        std::iota(orden.begin(), orden.end(), 0u);
        std::sort(orden.begin(), orden.end(), [&](quint32 a, quint32 b) { return filas[a] < filas[b]; });
        const auto ordena = [&](auto &v) {
            std::remove_reference_t<decltype(v)> w;
            for (const quint32 i : orden)
                w.emplace_back() = v[i];
            v.swap(w);
        };
        ordena(filas);
        // A table at a time, so that only one list is held twice.
        for (size_t t = 0; t < entradas.size(); ++t) {
            ordena(entradas[t]);
            Trozos<CodigoCorto> porFila;
            for (size_t i = 0; i < entradas[t].size(); ++i) {
                quint32 &datos = entradas[t][i];
                const size_t inicio = datos >> 4, cuantos = datos & 15;
                datos = quint32(porFila.size() << 4 | cuantos);
                for (size_t k = inicio; k < inicio + cuantos; ++k)
                    porFila.emplace_back() = guardados[t][k];
            }
            guardados[t].swap(porFila);
        }
        return !parar_;
    }

    const std::vector<FilasDeTabla> &tablas_;
    std::atomic<int> &terminados_;                      // the threads that are done
    const Elegidos *elegidos_ = nullptr;                // the events read, from primero_ to fin_, or null for every one
    size_t primero_ = 0, fin_ = 0;
    sqlite3 *db_ = nullptr;
    bool propia_ = true;                                // the connection is the stretch's own
    std::unique_ptr<Recorrido> eventos_;                // the events' keys and rowids
    std::vector<std::unique_ptr<Recorrido>> filas_;     // by table: its rows; for the diagnoses, their Orden
    std::vector<std::unique_ptr<Recorrido>> codigos_;   // by table: the diagnoses' codes
    std::thread hilo_;
    std::atomic<bool> parar_{false};
    bool leido_ = false;                                // set by the thread, read after it is joined
    std::vector<std::pair<sqlite3_int64, int>> ordenes_;   // one event's diagnoses: rowid, slot
};

LecturaAdelantada::Datos::~Datos() = default;

void LecturaAdelantada::Datos::Abandona()
{
    // The threads read the tables' list: stopped first.
    tramos.clear();
    inicios.clear();
    terminados = 0;
    leidos = -1;
    aqui = 0;
}

int LecturaAdelantada::Datos::Tabla(const char *tabla) const
{
    for (size_t t = 0; t < tablas.size(); ++t)
        if (std::strcmp(tablas[t].grupo->tabla, tabla) == 0)
            return int(t);
    return -1;
}

bool LecturaAdelantada::Datos::Leida(bool espera)
{
    if (!espera && terminados.load(std::memory_order_acquire) < int(tramos.size()))
        return false;
    if (leidos < 0) {
        leidos = 1;
        for (const auto &t : tramos)
            leidos = t->Espera() && leidos;
        cursores.assign(tramos.size(), 0);
    }
    return leidos == 1;
}

namespace {

// Where `fila` stands, or would, in the rowids `f` (in ascending order),
// searched from `c` by steps that double and then by halves: an event near
// the one before costs a step or two, one anywhere else a few dozen.
// `pasos` counts the rowids compared.
template <typename Filas>
size_t Busca(const Filas &f, size_t c, sqlite3_int64 fila, quint64 &pasos)
{
    const auto antes = [&](size_t i) { return ++pasos, f[i] < fila; };
    size_t bajo, alto, salto = 1;
    if (c < f.size() && f[c] < fila) {
        for (bajo = c + 1;; salto *= 2) {
            const size_t p = bajo + salto - 1;
            if (p >= f.size()) {
                alto = f.size();
                break;
            }
            if (!antes(p)) {
                alto = p;
                break;
            }
            bajo = p + 1;
        }
    } else {
        for (alto = qMin(c, f.size());; salto *= 2) {
            if (alto < salto) {
                bajo = 0;
                break;
            }
            if (antes(alto - salto)) {
                bajo = alto - salto + 1;
                break;
            }
            alto -= salto;
        }
    }
    // The first place at or after `fila` between the two.
    while (bajo < alto) {
        const size_t medio = bajo + (alto - bajo) / 2;
        if (antes(medio))
            bajo = medio + 1;
        else
            alto = medio;
    }
    return bajo;
}

} // namespace

bool LecturaAdelantada::Datos::Ubica(sqlite3_int64 fila, const Clave *clave, Ubicacion &u)
{
    // A stretch holds the keys from its first on: the event's is the last one
    // that starts at or before its key. Without its key, every stretch is searched.
    size_t desde = 0, hasta = tramos.size();
    if (clave) {
        desde = size_t(std::upper_bound(inicios.begin(), inicios.end(), *clave,
                                        [](const Clave &k, const ClaveGuardada &i) { return k.Compara(i.Vista()) < 0; })
                       - inicios.begin());
        hasta = qMin(desde + 1, tramos.size());
    }
    for (size_t t = desde; t < hasta; ++t) {
        const Trozos<sqlite3_int64> &f = tramos[t]->filas;
        size_t &c = cursores[t];
        c = Busca(f, c, fila, pasos);
        if (c < f.size() && f[c] == fila) {
            u = {t, c};
            ++hallados;
            return true;
        }
    }
    return false;
}

void LecturaAdelantada::Datos::Toma(const Ubicacion &u, int tabla, Codigos &codigos) const
{
    codigos.Olvida();
    const Tramo &t = *tramos[u.tramo];
    const quint32 datos = t.entradas[size_t(tabla)][u.lugar];
    const Trozos<CodigoCorto> &de = t.guardados[size_t(tabla)];
    for (size_t k = datos >> 4, fin = k + (datos & 15); k < fin; ++k) {
        const CodigoCorto &c = de[k];
        codigos.de[c.Conjunto()][c.Lugar()].DeCorto(c);
    }
}

LecturaAdelantada::Datos *LecturaAdelantada::Datos::TomaEnEspera()
{
    return std::exchange(enEspera, nullptr);
}

Elegidos::EnCurso::EnCurso(const Elegidos &e)
{
    elegidosActuales = &e;
}

Elegidos::EnCurso::~EnCurso()
{
    elegidosActuales = nullptr;
}

const Elegidos *Elegidos::Actuales()
{
    return elegidosActuales;
}

bool Elegidos::Lee(sqlite3_stmt *q)
{
    bool enOrden = true;
    for (int rc; (rc = sqlite3_step(q)) != SQLITE_DONE;) {
        Clave k;
        if (rc != SQLITE_ROW || sqlite3_column_type(q, 0) != SQLITE_INTEGER || !k.De(sqlite3_column_value(q, 1), sqlite3_column_value(q, 2), sqlite3_column_value(q, 3))
            || k.clues.size() > EventoElegido::Bytes || k.fecha.size() > EventoElegido::Bytes)
            return false;
        EventoElegido &e = eventos.emplace_back();
        e.fila = sqlite3_column_int64(q, 0);
        e.folio = k.folio;
        e.largoClues = quint8(k.clues.size());
        e.largoFecha = quint8(k.fecha.size());
        memcpy(e.clues, k.clues.data(), size_t(k.clues.size()));
        memcpy(e.fecha, k.fecha.data(), size_t(k.fecha.size()));
        if (eventos.size() > 1) {
            const int orden = eventos[eventos.size() - 2].Vista().Compara(e.Vista());
            enOrden = enOrden && (orden < 0 || (orden == 0 && eventos[eventos.size() - 2].fila < e.fila));
        }
    }
    // Found through the key's index they come in its order; otherwise they are
    // put in it. An event met more than once (by a detail join) is kept once.
    if (!enOrden) {
        std::vector<quint32> orden(eventos.size());
        std::iota(orden.begin(), orden.end(), 0u);
        std::sort(orden.begin(), orden.end(), [&](quint32 a, quint32 b) {
            const int r = eventos[a].Vista().Compara(eventos[b].Vista());
            return r < 0 || (r == 0 && eventos[a].fila < eventos[b].fila);
        });
        Trozos<EventoElegido> ordenados;
        for (const quint32 i : orden)
            if (ordenados.size() == 0 || ordenados[ordenados.size() - 1].fila != eventos[i].fila)
                ordenados.emplace_back() = eventos[i];
        eventos.swap(ordenados);
    }
    filas.reserve(eventos.size());
    for (size_t i = 0; i < eventos.size(); ++i)
        filas.push_back(eventos[i].fila);
    std::sort(filas.begin(), filas.end());
    return true;
}

LecturaAdelantada::LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos, const Elegidos *elegidos, bool hilos)
    : d_(std::make_unique<Datos>())
{
    d_->db = db;
    if (elegidos && elegidos->eventos.size() < MinimoAqui)
        return;
    d_->version = VersionDeDatos(db);
    for (const GrupoRanuras *g : grupos)
        if (d_->Tabla(g->tabla) < 0)
            d_->tablas.emplace_back(*g);
    // The readers on threads open the file by its name, which must still be
    // the connection's file; and they must see it as the statement will:
    // nothing read is pending (a write lock held reads the last state, which
    // nobody else can change).
    const char *archivo = sqlite3_db_filename(db, "main");
    const int lectores = qMin(int(std::thread::hardware_concurrency()) - 1, 8);
    const bool enHilos = hilos && lectores >= 1 && archivo && *archivo && sqlite3_txn_state(db, "main") != SQLITE_TXN_READ && !Movida(db)
                         && !(elegidos && elegidos->eventos.size() < MinimoEnHilos);
    if (!enHilos || !EnHilos(archivo, elegidos, lectores))
        LeeAqui(elegidos);
    d_->elegidos = elegidos;
    if (!d_->tramos.empty())
        enEspera = d_.get();
}

void LecturaAdelantada::LeeAqui(const Elegidos *elegidos)
{
    d_->Abandona();
    const bool conExtremos = elegidos && elegidos->eventos.size() > 0;
    ClaveGuardada desde, hasta;
    if (conExtremos) {
        desde.De(elegidos->eventos[0].Vista());
        hasta.De(elegidos->eventos[elegidos->eventos.size() - 1].Vista());
    }
    d_->tramos.push_back(std::make_unique<Tramo>(d_->tablas, d_->terminados));
    if (!d_->tramos.back()->Abre(d_->db, nullptr, conExtremos ? &desde : nullptr, conExtremos ? &hasta : nullptr, true, elegidos, 0,
                                 elegidos ? elegidos->eventos.size() : 0)) {
        d_->Abandona();
        return;
    }
    d_->tramos.back()->Arranca(true);
    d_->aqui = 1;
    // Read already: what could not be read so is left to the statement now.
    if (!d_->Leida())
        d_->Abandona();
}

bool LecturaAdelantada::EnHilos(const char *archivo, const Elegidos *elegidos, int lectores)
{
    // Every event: stretches of about as many events each, cut at the keys of
    // events spread over the rowids. The chosen ones: as many of them each.
    std::vector<ClaveGuardada> limites;
    std::vector<std::pair<size_t, size_t>> elegidosPorTramo;
    sqlite3 *db = d_->db;
    // The chosen ones are waited for: the calling thread reads the first
    // stretch itself meanwhile, by statements of the build's connection,
    // which keep the windows painted.
    if (elegidos) {
        const size_t n = elegidos->eventos.size(), tramos = qBound(size_t(2), n / PorTramo, size_t(lectores) + 1);
        for (size_t i = 0; i < tramos; ++i) {
            elegidosPorTramo.emplace_back(n * i / tramos, n * (i + 1) / tramos);
            limites.emplace_back().De(elegidos->eventos[elegidosPorTramo.back().first].Vista());
            limites.emplace_back().De(elegidos->eventos[elegidosPorTramo.back().second - 1].Vista());
            if (i > 0)
                d_->inicios.push_back(limites[2 * i]);
        }
    } else {
        const std::vector<ClaveGuardada> cortes = Cortes(db, 64 * lectores);
        const size_t tramos = qMin(size_t(lectores), cortes.size() + 1);
        for (size_t i = 1; i < tramos; ++i)
            d_->inicios.push_back(cortes[cortes.size() * i / tramos]);
    }
    const size_t tramos = d_->inicios.size() + 1;
    bool abiertos = true;
    for (size_t i = 0; abiertos && i < tramos; ++i) {
        d_->tramos.push_back(std::make_unique<Tramo>(d_->tablas, d_->terminados));
        if (elegidos)
            abiertos = d_->tramos.back()->Abre(db, i > 0 ? archivo : nullptr, &limites[2 * i], &limites[2 * i + 1], true, elegidos,
                                               elegidosPorTramo[i].first, elegidosPorTramo[i].second);
        else
            abiertos = d_->tramos.back()->Abre(db, archivo, i > 0 ? &d_->inicios[i - 1] : nullptr, i + 1 < tramos ? &d_->inicios[i] : nullptr,
                                               false);
    }
    if (!abiertos || Movida(db)) {
        d_->Abandona();
        return false;
    }
    // Under a limit on threads or memory a thread may not start (std::system_error,
    // std::bad_alloc): those that did are stopped.
    try {
        for (size_t i = elegidos ? 1 : 0; i < d_->tramos.size(); ++i)
            d_->tramos[i]->Arranca();
    } catch (const std::exception &) {
        d_->Abandona();
        return false;
    }
    if (elegidos) {
        d_->tramos.front()->Arranca(true);
        d_->aqui = 1;
    }
    return true;
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

int LecturaAdelantada::Tramos() const
{
    return int(d_->tramos.size()) - d_->aqui;
}

bool LecturaAdelantada::Adelantada() const
{
    return !d_->tramos.empty();
}

bool LecturaAdelantada::Espera() const
{
    bool leida = true;
    for (const auto &t : d_->tramos)
        leida = t->Espera() && leida;
    return leida;
}

quint64 LecturaAdelantada::Hallados() const
{
    return d_->hallados;
}

quint64 LecturaAdelantada::Pasos() const
{
    return d_->pasos;
}

quint64 LecturaAdelantada::Leidos() const
{
    quint64 leidos = 0;
    for (const auto &t : d_->tramos)
        leidos += t->Espera() ? t->filas.size() : 0;
    return leidos;
}

} // namespace RanurasEvento
