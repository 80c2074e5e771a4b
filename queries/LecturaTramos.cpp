#include "queries/LecturaTramos.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <deque>
#include <numeric>
#include <optional>
#include <thread>

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
        sqlite3_close_v2(db_);
    }

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
        filas_.resize(tablas_.size());
        codigos_.resize(tablas_.size());
        for (size_t t = 0; t < tablas_.size(); ++t) {
            const FilasDeTabla &f = tablas_[t];
            const char *tabla = f.grupo->tabla;
            const QString codigo = QLatin1String(f.grupo->codigo);
            if (!abre(filas_[t], f.porOrden ? QStringLiteral("Orden, rowid") : f.Orden(), tabla, QStringLiteral(", ") + f.Orden())
                || (f.porOrden && !abre(codigos_[t], codigo + QStringLiteral(", rowid"), tabla, QStringLiteral(", ") + codigo)))
                return false;
        }
        return true;
    }

    void Arranca()
    {
        hilo_ = std::thread([this] {
            leido_ = Lee() && PorFila();
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
    // many codes it has (bits 0-3) and where they start in the table's list (bits 4 on).
    std::vector<sqlite3_int64> filas;
    std::vector<std::vector<quint32>> entradas;
    std::vector<std::deque<CodigoCorto>> guardados;

private:
    static constexpr size_t MaximoInicio = size_t(1) << 28;

    // The event's rows, as Codigos::Guarda places them.
    bool PorCodigo(const FilasDeTabla &tabla, Recorrido &filas, std::deque<CodigoCorto> &lista, const Clave &evento)
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
    bool PorOrden(Recorrido &ordenes, Recorrido &codigos, std::deque<CodigoCorto> &lista, const Clave &evento)
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
            filas.push_back(sqlite3_column_int64(e.st, 3));
            for (size_t t = 0; t < tablas_.size(); ++t) {
                std::deque<CodigoCorto> &lista = guardados[t];
                const size_t inicio = lista.size();
                if (!(tablas_[t].porOrden ? PorOrden(*filas_[t], *codigos_[t], lista, e.fila)
                                          : PorCodigo(tablas_[t], *filas_[t], lista, e.fila))
                    || inicio >= MaximoInicio)
                    return false;
                entradas[t].push_back(quint32(inicio << 4 | (lista.size() - inicio)));
            }
        }
        return e.paso == SQLITE_DONE;
    }

    // On the thread: the events put in rowid order.
    bool PorFila()
    {
        std::vector<quint32> orden(filas.size());
        std::iota(orden.begin(), orden.end(), 0u);
        std::sort(orden.begin(), orden.end(), [&](quint32 a, quint32 b) { return filas[a] < filas[b]; });
        const auto ordena = [&](auto &v) {
            std::remove_reference_t<decltype(v)> w(v.size());
            for (size_t i = 0; i < orden.size(); ++i)
                w[i] = v[orden[i]];
            v.swap(w);
        };
        ordena(filas);
        for (auto &e : entradas)
            ordena(e);
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

bool LecturaAdelantada::Datos::Ubica(sqlite3_int64 fila, Ubicacion &u)
{
    // Events asked in rowid order move each stretch's place forward; one further back is searched for.
    const bool atras = fila < ultima;
    ultima = fila;
    for (size_t t = 0; t < tramos.size(); ++t) {
        const std::vector<sqlite3_int64> &f = tramos[t]->filas;
        size_t &c = cursores[t];
        if (atras)
            c = size_t(std::lower_bound(f.begin(), f.end(), fila) - f.begin());
        while (c < f.size() && f[c] < fila)
            ++c;
        if (c < f.size() && f[c] == fila) {
            u = {t, c};
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
    const std::deque<CodigoCorto> &de = t.guardados[size_t(tabla)];
    for (size_t k = datos >> 4, fin = k + (datos & 15); k < fin; ++k) {
        const CodigoCorto &c = de[k];
        codigos.de[c.Conjunto()][c.Lugar()].DeCorto(c);
    }
}

LecturaAdelantada::Datos *LecturaAdelantada::Datos::TomaEnEspera()
{
    return std::exchange(enEspera, nullptr);
}

LecturaAdelantada::LecturaAdelantada(sqlite3 *db, const QList<const GrupoRanuras *> &grupos) : d_(std::make_unique<Datos>())
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
    // Stretches of about as many events each, cut at the keys of events spread over the rowids.
    const std::vector<ClaveGuardada> cortes = Cortes(db, 64 * lectores);
    std::vector<const ClaveGuardada *> limites = {nullptr};
    for (int i = 1; i < lectores && !cortes.empty(); ++i)
        limites.push_back(&cortes[cortes.size() * size_t(i) / size_t(lectores)]);
    limites.push_back(nullptr);
    bool abiertos = true;
    for (size_t i = 0; abiertos && i + 1 < limites.size(); ++i) {
        d_->tramos.push_back(std::make_unique<Tramo>(d_->tablas, d_->terminados));
        abiertos = d_->tramos.back()->Abre(archivo, limites[i], limites[i + 1]);
    }
    if (!abiertos || Movida(db)) {
        d_->tramos.clear();
        d_->tablas.clear();
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

bool LecturaAdelantada::EnHilos() const
{
    return !d_->tramos.empty();
}

} // namespace RanurasEvento
