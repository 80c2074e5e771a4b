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

// Fewer events than these in a range are read by the statement alone; a
// thread reads at least PorTramo, so that a few of them do not wait for
// many more connections to open.
constexpr sqlite3_int64 MinimoEnHilos = 512, PorTramo = 2048;

// The readers waiting for the next statement's slot reader.
LecturaAdelantada::Datos *enEspera = nullptr;

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

// Keys that cut the events between two keys (both in) into stretches of as
// many events each, read along the key's index: at most `tramos`, and none
// of fewer than PorTramo events; `eventos` tells how many there are.
std::vector<ClaveGuardada> CortesDelRango(sqlite3 *db, const Extremos &extremos, size_t tramos, sqlite3_int64 &eventos)
{
    std::vector<ClaveGuardada> cortes;
    eventos = 0;
    const QByteArray rango = " FROM D_EVENTO WHERE (CLUES, Folio, fechaAtencion) >= (?1, ?2, ?3) AND (CLUES, Folio, fechaAtencion) <= (?4, ?5, ?6)";
    sqlite3_stmt *q = nullptr;
    const auto prepara = [&](const QByteArray &sql) {
        sqlite3_finalize(q);
        q = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &q, nullptr) != SQLITE_OK)
            return false;
        extremos.primera.Liga(q, 1);
        extremos.ultima.Liga(q, 4);
        return true;
    };
    if (prepara("SELECT count(*)" + rango) && sqlite3_step(q) == SQLITE_ROW)
        eventos = sqlite3_column_int64(q, 0);
    tramos = size_t(qBound<sqlite3_int64>(1, eventos / PorTramo, sqlite3_int64(tramos)));
    if (tramos > 1 && prepara("SELECT CLUES, Folio, fechaAtencion" + rango + " ORDER BY CLUES, Folio, fechaAtencion")) {
        sqlite3_int64 lugar = 0;
        for (size_t i = 1; i < tramos && sqlite3_step(q) == SQLITE_ROW; ++lugar) {
            Clave k;
            if (lugar == eventos * sqlite3_int64(i) / sqlite3_int64(tramos) && k.DeFila(q)) {
                cortes.emplace_back().De(k);
                ++i;
            }
        }
    }
    sqlite3_finalize(q);
    return cortes;
}

} // namespace

// A list of plain values kept in blocks of memory mapped for it alone, which
// grows without moving what it holds and gives each block back to the system
// when it goes: a build's lists, however large, leave nothing behind.
template <typename T>
class Trozos {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    Trozos() = default;
    Trozos(const Trozos &) = delete;
    Trozos &operator=(const Trozos &) = delete;
    ~Trozos()
    {
        for (T *b : bloques_)
            munmap(b, Bytes);
    }

    // A new value at the end, as its type begins; throws std::bad_alloc.
    T &emplace_back()
    {
        if (n_ % PorBloque == 0) {
            void *b = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (b == MAP_FAILED)
                throw std::bad_alloc();
            try {
                bloques_.push_back(static_cast<T *>(b));
            } catch (...) {
                munmap(b, Bytes);
                throw;
            }
        }
        T *lugar = bloques_.back() + n_++ % PorBloque;
        return *new (lugar) T();
    }
    T &operator[](size_t i) { return bloques_[i / PorBloque][i % PorBloque]; }
    const T &operator[](size_t i) const { return bloques_[i / PorBloque][i % PorBloque]; }
    size_t size() const { return n_; }
    void swap(Trozos &o)
    {
        bloques_.swap(o.bloques_);
        std::swap(n_, o.n_);
    }

private:
    static constexpr size_t Bytes = size_t(1) << 20, PorBloque = Bytes / sizeof(T);
    std::vector<T *> bloques_;
    size_t n_ = 0;
};

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
        sqlite3_close_v2(db_);
    }

    // Opens the file and reads the first rows from `desde` (the first key
    // when null) to `hasta` (the last when null; with `hastaIncluida`, that
    // key too), which fixes the state of the database the connection sees to
    // the end; false when it cannot. Each walk reads one index alone: the
    // diagnoses' Orden and code are in two, joined by the row's rowid. The
    // detail walks stop with the events, past the stretch's last one.
    bool Abre(const char *archivo, const ClaveGuardada *desde, const ClaveGuardada *hasta, bool hastaIncluida)
    {
        if (sqlite3_open_v2(archivo, &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
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
            return r->Paso();
        };
        if (!abre(eventos_, QStringLiteral("rowid"), "D_EVENTO", {}, true))
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

    void Arranca()
    {
        hilo_ = std::thread([this] {
            // Without memory for its lists, the statement reads the tables itself.
            try {
                leido_ = Lee() && PorFila();
            } catch (const std::bad_alloc &) {
                leido_ = false;
            }
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

    // On the thread: the walks to the stretch's end; false when the codes cannot be kept so.
    bool Lee()
    {
        Recorrido &e = *eventos_;
        for (; e.paso == SQLITE_ROW; e.Paso()) {
            if (parar_ || !e.fila.DeFila(e.st) || (e.hayPrevia && e.fila.Compara(e.previa.Vista()) <= 0))
                return false;
            e.previa.De(e.fila);
            e.hayPrevia = true;
            filas.emplace_back() = sqlite3_column_int64(e.st, 3);
            for (size_t t = 0; t < tablas_.size(); ++t) {
                Trozos<CodigoCorto> &lista = guardados[t];
                const size_t inicio = lista.size();
                if (!(tablas_[t].porOrden ? PorOrden(*filas_[t], *codigos_[t], lista, e.fila)
                                          : PorCodigo(tablas_[t], *filas_[t], lista, e.fila))
                    || inicio >= MaximoInicio)
                    return false;
                entradas[t].emplace_back() = quint32(inicio << 4 | (lista.size() - inicio));
            }
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
    sqlite3 *db_ = nullptr;
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
    tablas.clear();
    inicios.clear();
}

int LecturaAdelantada::Datos::Tabla(const char *tabla) const
{
    for (size_t t = 0; t < tablas.size(); ++t)
        if (std::strcmp(tablas[t].grupo->tabla, tabla) == 0)
            return int(t);
    return -1;
}

bool LecturaAdelantada::Datos::Leida()
{
    if (terminados.load(std::memory_order_acquire) < int(tramos.size()))
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

LecturaAdelantada::LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos, const Extremos *extremos)
    : d_(std::make_unique<Datos>())
{
    d_->db = db;
    // The readers open the file by its name, which must still be the connection's
    // file; and they must see it as the statement will: nothing read is pending
    // (a write lock held reads the last state, which nobody else can change).
    const char *archivo = sqlite3_db_filename(db, "main");
    const int lectores = qMin(int(std::thread::hardware_concurrency()) - 1, 8);
    if (lectores < 1 || !archivo || !*archivo || sqlite3_txn_state(db, "main") == SQLITE_TXN_READ || Movida(db))
        return;
    d_->version = VersionDeDatos(db);
    for (const GrupoRanuras *g : grupos)
        if (d_->Tabla(g->tabla) < 0)
            d_->tablas.emplace_back(*g);
    // Stretches of about as many events each, cut at the keys of events
    // spread over the rowids. A range is first looked at through a few of
    // them: when few fall in it, it holds few events, and is cut along the
    // key's index (as many steps as its events), read on threads only when
    // it holds enough events for them to pay; otherwise it is cut at the
    // many that fall in it.
    const auto enRango = [&](std::vector<ClaveGuardada> cortes) {
        const auto fuera = [&](const ClaveGuardada &c) {
            return c.Vista().Compara(extremos->primera.Vista()) <= 0 || c.Vista().Compara(extremos->ultima.Vista()) > 0;
        };
        cortes.erase(std::remove_if(cortes.begin(), cortes.end(), fuera), cortes.end());
        return cortes;
    };
    std::vector<ClaveGuardada> cortes;
    if (extremos && enRango(Cortes(db, 8 * lectores)).size() < 4) {
        sqlite3_int64 eventos = 0;
        cortes = CortesDelRango(db, *extremos, size_t(lectores), eventos);
        if (eventos < MinimoEnHilos)
            return;
    } else {
        cortes = Cortes(db, 64 * lectores);
        if (extremos)
            cortes = enRango(std::move(cortes));
    }
    const size_t tramos = qMin(size_t(lectores), cortes.size() + 1);
    std::vector<const ClaveGuardada *> limites = {extremos ? &extremos->primera : nullptr};
    for (size_t i = 1; i < tramos; ++i) {
        limites.push_back(&cortes[cortes.size() * i / tramos]);
        d_->inicios.push_back(*limites.back());
    }
    limites.push_back(extremos ? &extremos->ultima : nullptr);
    bool abiertos = true;
    for (size_t i = 0; abiertos && i + 1 < limites.size(); ++i) {
        d_->tramos.push_back(std::make_unique<Tramo>(d_->tablas, d_->terminados));
        abiertos = d_->tramos.back()->Abre(archivo, limites[i], limites[i + 1], i + 2 == limites.size());
    }
    if (!abiertos || Movida(db)) {
        d_->Abandona();
        return;
    }
    // Under a limit on threads or memory a thread may not start (std::system_error,
    // std::bad_alloc): those that did are stopped.
    try {
        for (const auto &t : d_->tramos)
            t->Arranca();
    } catch (const std::exception &) {
        d_->Abandona();
        return;
    }
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

int LecturaAdelantada::Tramos() const
{
    return int(d_->tramos.size());
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

} // namespace RanurasEvento
