#include "queries/TablaTrabajo.h"

#include "platform/BaseDatos.h"
#include "shell/modGeneral.h"

#include <QHash>
#include <QScopedValueRollback>
#include <QSqlQuery>
#include <sqlite3.h>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A detail field of the lists and the slot columns it becomes.
struct GrupoRanuras {
    const char *entrada;    // the field entry
    const char *prefijo;    // slot names: prefix + 01, 02, ...
    const char *tabla;
    const char *codigo;
    const char *persona;    // D_BajoEfectos rows of the patient (1) or the aggressor (2)
    const char *tipo;       // declared type of the slots
    const char *inicial;    // value of a slot with no code

    // The diagnoses take their slot from their Orden, the others in code order.
    bool PorOrden() const { return QLatin1String(tabla) == QLatin1String("D_Diagnosticos"); }
    QString Ranura(int k) const { return QStringLiteral("%1%2").arg(QLatin1String(prefijo)).arg(k, 2, 10, QLatin1Char('0')); }
};

// Slot 01 of the groups without a person condition is NULL for an event with
// no detail rows, as the export always gave; the other slots keep their initial value.
const GrupoRanuras Grupos[] = {
    {"D.CodDerechohabiencia", "Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", nullptr, "TEXT", "' '"},
    {"V.CodTipoViolencia", "TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", nullptr, "INTEGER", "0"},
    {"P.EfectosPaciente", "EfectosPaciente", "D_BajoEfectos", "CodEfectos", "1", "INTEGER", "0"},
    {"P.EfectosAgresor", "EfectosAgresor", "D_BajoEfectos", "CodEfectos", "2", "INTEGER", "0"},
    {"T.CodTipoAtencion", "TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", nullptr, "INTEGER", "0"},
    {"F.Diagnosticos", "Diagnostico", "D_Diagnosticos", "CodDiagnostico", nullptr, "TEXT", "'    '"},
};

struct Columna {
    QString nombre;
    QString tipo;
    QString expresion;
    bool ranura = false;   // read from the slots joined as R
};

const GrupoRanuras *GrupoDe(const QString &entrada)
{
    for (const GrupoRanuras &g : Grupos)
        if (entrada.compare(QLatin1String(g.entrada), Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

QString Cita(const QString &nombre)
{
    return QLatin1Char('"') + nombre + QLatin1Char('"');
}

// The slot columns of a group, read from the slots' table joined as R.
QList<Columna> Ranuras(const GrupoRanuras &g, int cuantas)
{
    QList<Columna> columnas;
    for (int k = 1; k <= cuantas; ++k) {
        const QString nombre = g.Ranura(k);
        const QString busca = QStringLiteral("R.") + nombre;
        const bool nuloSinFilas = k == 1 && !g.persona && !g.PorOrden();
        const QString expresion = nuloSinFilas ? busca : QStringLiteral("coalesce(%1, %2)").arg(busca, QLatin1String(g.inicial));
        columnas << Columna{nombre, QLatin1String(g.tipo), expresion, true};
    }
    return columnas;
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

// Keeps the buffer: a key or code is set once per event and table.
void Asigna(QByteArray &a, QByteArrayView v)
{
    a.resize(v.size());
    if (!v.isEmpty())
        memcpy(a.data(), v.data(), size_t(v.size()));
}

// An event's detail codes by group and slot: the k-th code of the event's rows
// of that group (in code order; for the diagnoses the one whose Orden is k), or
// NULL. Each table is read once per event, when its first slot is asked for.
// While the events come in key order, as they are stored, each table is
// walked along its index instead of searched for every event; an event out of
// that order is searched for.
class LectorRanuras {
public:
    explicit LectorRanuras(sqlite3 *db) : db_(db)
    {
        // One walk per table: the patient's and the aggressor's substances share theirs.
        for (const GrupoRanuras &g : Grupos) {
            const int conjunto = g.persona ? QByteArray(g.persona).toInt() - 1 : 0;
            const auto misma = std::find_if(busquedas_.begin(), busquedas_.end(),
                                            [&](const Busqueda &b) { return b.grupo->tabla == QLatin1String(g.tabla); });
            deGrupo_.push_back({int(misma - busquedas_.begin()), conjunto});
            if (misma == busquedas_.end()) {
                busquedas_.emplace_back();
                busquedas_.back().grupo = &g;
            }
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
        const int orden = ordenada && ordenada_ ? nueva.Compara(Actual()) : -1;
        if (orden == 0)
            return true;   // the same event again (a detail join): its codes stand
        ascendente_ = orden > 0;
        ordenada_ = ordenada;
        anterior_ = actual_++;
        for (int i = 0; i < 3; ++i) {
            sqlite3_value_free(valores_[i]);
            valores_[i] = nullptr;
        }
        if (ordenada) {
            Asigna(clues_, nueva.clues);
            folio_ = nueva.folio;
            Asigna(fecha_, nueva.fecha);
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
        const QByteArray &texto = i == 0 ? clues_ : fecha_;
        if (!ordenada_)
            sqlite3_result_value(ctx, valores_[i]);
        else if (i == 1)
            sqlite3_result_int64(ctx, folio_);
        else
            sqlite3_result_text(ctx, texto.constData(), int(texto.size()), SQLITE_TRANSIENT);
    }

    // The value of slot k (1 to 6) of a group of the current event; false on an engine error.
    bool Resultado(sqlite3_context *ctx, int grupo, int k)
    {
        const auto [busqueda, conjunto] = deGrupo_[size_t(grupo)];
        Busqueda &b = busquedas_[size_t(busqueda)];
        if (b.evento != actual_ && !Lee(b))
            return false;
        b.codigos[conjunto][k - 1].Resultado(ctx);
        return true;
    }

private:
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

    struct Busqueda {
        const GrupoRanuras *grupo = nullptr;   // the first group of the table
        sqlite3_stmt *st = nullptr;            // one event's rows
        sqlite3_stmt *recorre = nullptr;       // the walk from an event on
        bool porPersona = false;               // rows carry the set of slots (the person)
        bool porOrden = false;                 // rows carry their slot (the diagnoses' Orden)
        quint64 evento = 0;                    // the event the codes are of (0: none)
        Codigo codigos[2][6];                  // by set of slots
        int siguiente[2] = {};
        bool enCurso = false;       // the walk stands on a row, or at its end (hayFila false)
        bool hayFila = false;
        bool filaOrdenada = false;  // the row's key is of the ordered types; then `fila` holds it
        Clave fila;

        void Olvida()
        {
            for (auto &conjunto : codigos)
                for (Codigo &c : conjunto)
                    c.tipo = SQLITE_NULL;
            siguiente[0] = siguiente[1] = 0;
        }
        // A row's code from its columns ([set,] [slot,] code) starting at `columna`.
        void Guarda(sqlite3_stmt *q, int columna)
        {
            // CodAfectadoAgresor 1 and 2 are sets 0 and 1; Orden k is slot k - 1.
            const int conjunto = porPersona ? sqlite3_column_int(q, columna++) - 1 : 0;
            if (conjunto < 0 || conjunto > 1)
                return;
            const int lugar = porOrden ? sqlite3_column_int(q, columna++) - 1 : siguiente[conjunto]++;
            if (lugar >= 0 && lugar < 6 && codigos[conjunto][lugar].tipo == SQLITE_NULL)
                codigos[conjunto][lugar].De(sqlite3_column_value(q, columna));
        }
        // Steps the walk and reads the new row's key once.
        int Paso()
        {
            const int rc = sqlite3_step(recorre);
            hayFila = rc == SQLITE_ROW;
            filaOrdenada = hayFila && fila.De(sqlite3_column_value(recorre, 0), sqlite3_column_value(recorre, 1),
                                              sqlite3_column_value(recorre, 2));
            return rc;
        }
    };

    Clave Actual() const { return Clave{clues_, fecha_, folio_}; }

    void Liga(sqlite3_stmt *q) const
    {
        if (!ordenada_) {
            for (int i = 0; i < 3; ++i)
                sqlite3_bind_value(q, i + 1, valores_[i]);
            return;
        }
        sqlite3_bind_text(q, 1, clues_.constData(), int(clues_.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(q, 2, folio_);
        sqlite3_bind_text(q, 3, fecha_.constData(), int(fecha_.size()), SQLITE_TRANSIENT);
    }

    // The table's two statements, prepared when it is first read.
    bool Prepara(Busqueda &b)
    {
        const GrupoRanuras &g = *b.grupo;
        b.porOrden = g.PorOrden();
        b.porPersona = g.persona != nullptr;
        const QString filas = b.porOrden ? QStringLiteral("Orden, CodDiagnostico")
            : b.porPersona               ? QStringLiteral("CodAfectadoAgresor, %1").arg(QLatin1String(g.codigo))
                                         : QLatin1String(g.codigo);
        const QString orden = b.porOrden ? QStringLiteral("Orden")
            : b.porPersona               ? QStringLiteral("CodAfectadoAgresor, %1").arg(QLatin1String(g.codigo))
                                         : QLatin1String(g.codigo);
        const QString condicion = b.porOrden ? QStringLiteral(" AND Orden BETWEEN 1 AND 6") : QString();
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE CLUES = ?1 AND Folio = ?2 AND fechaAtencion = ?3%4 ORDER BY %3")
                                .arg(filas, QLatin1String(g.tabla), orden, condicion);
        // In the order of the table's primary key, so that the walk reads its index as it stands.
        const QString recorre = QStringLiteral("SELECT CLUES, Folio, fechaAtencion, %1 FROM %2 "
                                               "WHERE (CLUES, Folio, fechaAtencion) >= (?1, ?2, ?3)%4 "
                                               "ORDER BY CLUES, Folio, fechaAtencion, %3")
                                    .arg(filas, QLatin1String(g.tabla), orden, condicion);
        return sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &b.st, nullptr) == SQLITE_OK
            && sqlite3_prepare_v2(db_, recorre.toUtf8().constData(), -1, &b.recorre, nullptr) == SQLITE_OK;
    }

    // Fills the codes of the current event by the walk, on from where it stands
    // when `adelante`; false when the event has to be searched for instead.
    bool Recorre(Busqueda &b, bool adelante, int &rc) const
    {
        const Clave k = Actual();
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
                b.Olvida();
                b.enCurso = false;
                return false;
            }
            if (b.fila.Compara(k) != 0)
                break;
            b.Guarda(b.recorre, 3);
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
        b.Olvida();
        b.evento = 0;
        int rc = SQLITE_DONE;
        if (!ordenada_ || !Recorre(b, adelante, rc)) {
            Liga(b.st);
            while ((rc = sqlite3_step(b.st)) == SQLITE_ROW)
                b.Guarda(b.st, 0);
            sqlite3_reset(b.st);
        }
        if (rc != SQLITE_DONE)
            return false;
        b.evento = actual_;
        return true;
    }

    sqlite3 *db_;
    // The current event: its key when of the ordered types, else its values as they came.
    QByteArray clues_, fecha_;
    sqlite3_int64 folio_ = 0;
    bool ordenada_ = false;
    sqlite3_value *valores_[3] = {};
    quint64 actual_ = 0, anterior_ = 0;   // numbers of the current and the previous event
    bool ascendente_ = false;             // the current event's key follows the previous one's
    std::vector<Busqueda> busquedas_;
    std::vector<std::pair<int, int>> deGrupo_;   // by group: its table's walk and set of slots
};

// RANURAS_EVENTO(CLUES, Folio, fechaAtencion): a table-valued function of one
// row, the event's slots, a column per group and slot (named as the work
// tables name them, six per group). Joined to the events in their stored
// order, it walks each detail table once alongside.
namespace ModuloRanuras {

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

sqlite3_module Modulo()
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

// Registered once on each connection, when a work table first needs it.
void Registra(sqlite3 *db)
{
    static const sqlite3_module modulo = Modulo();
    sqlite3_stmt *prueba = nullptr;
    const QByteArray sql = QByteArray("SELECT 1 FROM ") + Nombre + "('', 0, '') WHERE 0";
    const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &prueba, nullptr);
    sqlite3_finalize(prueba);
    if (rc == SQLITE_OK)
        return;
    if (!QByteArray(sqlite3_errmsg(db)).startsWith("no such table")
        || sqlite3_create_module_v2(db, Nombre, &modulo, nullptr, nullptr) != SQLITE_OK)
        throw ErrorBD::DeManejador(db);
}

// The join that gives the slots of the events as R.
QString Union()
{
    return QStringLiteral(", %1(E.Clues, E.Folio, E.fechaAtencion) AS R").arg(QLatin1String(Nombre));
}

} // namespace ModuloRanuras

// Declared types of D_EVENTO's columns by lower-case name; dates as DATE, so
// that the exports write them as dates.
QHash<QString, QPair<QString, QString>> ColumnasEvento(const BaseDatos &bd)
{
    QHash<QString, QPair<QString, QString>> columnas;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info('D_EVENTO')"));
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        QString tipo = q.value(1).toString();
        if (nombre.startsWith(QLatin1String("fecha"), Qt::CaseInsensitive))
            tipo = QStringLiteral("DATE");
        columnas.insert(nombre.toLower(), {nombre, tipo});
    }
    return columnas;
}

// The columns of a list of field entries.
QList<Columna> ColumnasDe(const BaseDatos &bd, const QStringList &campos, int ranurasDiagnostico)
{
    const auto evento = ColumnasEvento(bd);
    QList<Columna> columnas;
    for (const QString &entrada : campos) {
        if (const GrupoRanuras *g = GrupoDe(entrada)) {
            columnas << Ranuras(*g, g->PorOrden() ? ranurasDiagnostico : 3);
            continue;
        }
        const QString columna = entrada.section(QLatin1Char('.'), 1);
        if (!entrada.startsWith(QLatin1String("E."), Qt::CaseInsensitive) || !evento.contains(columna.toLower()))
            throw ErrorBD(SQLITE_ERROR, QStringLiteral("El campo %1 no es un campo de la tabla de eventos").arg(entrada));
        columnas << Columna{columna, evento.value(columna.toLower()).second,
                            QStringLiteral("E.") + Cita(evento.value(columna.toLower()).first)};
    }
    return columnas;
}

// While a build runs, the caller's Progreso keeps the windows painted from
// inside SQLite; the table's model reads nothing new meanwhile.
bool construyendo = false;

// FROM, WHERE and, with detail joins, which may give an event once per
// matching detail row, GROUP BY: one row per event. With `ranuras`, the
// events' slots are joined as R.
QString Eventos(const SeleccionEventos &s, bool ranuras)
{
    QString sql = s.desde;
    if (ranuras)
        sql += ModuloRanuras::Union();
    if (!s.condicion.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE ") + s.condicion;
    if (s.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive))
        sql += QStringLiteral(" GROUP BY E.rowid");
    return sql;
}

qint64 Construye(const BaseDatos &bd, const QString &tabla, const QList<Columna> &columnas,
                 const SeleccionEventos &s, const QString &orden)
{
    QStringList definicion, nombres, expresiones;
    bool ranuras = false;
    for (const Columna &c : columnas) {
        definicion << Cita(c.nombre) + QLatin1Char(' ') + c.tipo;
        nombres << Cita(c.nombre);
        expresiones << c.expresion;
        ranuras = ranuras || c.ranura;
    }
    const QString sql = QStringLiteral("INSERT INTO temp.%1 (%2) SELECT %3%4 ORDER BY %5")
                            .arg(tabla, nombres.join(QLatin1Char(',')), expresiones.join(QLatin1Char(',')), Eventos(s, ranuras),
                                 orden.isEmpty() ? QStringLiteral("E.rowid") : orden);

    ModuloRanuras::Registra(bd.Manejador());
    Transaccion t(bd);
    const QScopedValueRollback<bool> enConstruccion(construyendo, true);
    TablasTemporales::Borra(bd, tabla);
    bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(tabla, definicion.join(QLatin1Char(','))));
    const qint64 filas = bd.EjecutaAccion(sql, s.valores);
    t.Confirma();
    return filas;
}

} // namespace

namespace TablaTrabajo {

bool Construyendo()
{
    return construyendo;
}

qint64 ConstruyeGenConsul(const BaseDatos &bd, const QStringList &campos, const SeleccionEventos &seleccion)
{
    bool conRanuras = false;
    for (const QString &c : campos)
        conRanuras = conRanuras || GrupoDe(c);
    QStringList todos;
    // The slots are filled by the event key, which the joined form therefore always carries.
    if (conRanuras || seleccion.desde.contains(QLatin1String("JOIN"), Qt::CaseInsensitive)) {
        for (const char *clave : {"E.Folio", "E.CLUES", "E.fechaAtencion"})
            if (!campos.contains(QLatin1String(clave), Qt::CaseInsensitive))
                todos << QLatin1String(clave);
    }
    todos << campos;
    return Construye(bd, GenConsul, ColumnasDe(bd, todos, 6), seleccion, seleccion.orden);
}

LecturaFilas FuenteTmpQuery(const BaseDatos &bd, const SeleccionEventos &seleccion)
{
    static const QStringList campos = {
        "E.Clues", "E.Folio", "E.fechaAtencion", "E.Paterno", "E.Materno", "E.Nombre", "D.CodDerechohabiencia",
        "E.Expediente", "E.CodClaveEdad", "E.Edad", "E.CodSexo", "E.CodEmbarazada", "E.CodLeeEscribe",
        "E.CodEscolaridad", "E.Calle", "E.Colonia", "E.CodEstado", "E.CodMunicipio", "E.CodLocalidad",
        "E.FechaOcurrencia", "E.CodFestivo", "E.CodDiscapacidad", "E.CodIntencionalidad", "V.CodTipoViolencia",
        "E.CodVez", "P.EfectosPaciente", "E.CodSitio", "E.CodAgente", "E.CodLesionadoVehiculo", "E.CodUsoSeguridad",
        "E.CodEquipo", "E.CodArea", "E.CodConsecuencia", "E.CodPrehospitalaria", "E.CodAgresor", "E.EdadAgresor",
        "E.CodSexoAgresor", "E.CodParentescoAgresor", "P.EfectosAgresor", "E.CodServicio", "T.CodTipoAtencion",
        "E.CodReferido", "E.CodDestino", "F.Diagnosticos", "E.CodAfecprin", "E.CodCausaExt", "E.CodMP",
        "E.CodResponsable", "E.NombreResponsable"};
    ModuloRanuras::Registra(bd.Manejador());
    LecturaFilas f;
    const QString clave = QStringLiteral("E.Clues, E.Folio, E.fechaAtencion");
    QStringList expresiones;
    for (const Columna &c : ColumnasDe(bd, campos, 3)) {
        f.nombres << c.nombre;
        f.fechas << (c.tipo == QLatin1String("DATE"));
        expresiones << c.expresion;
        // Compared as stored, as the columns of a table built from them were; ties
        // in the order shown, which is the rowids' when they rise along it (cheaper to sort by).
        const QString eventos = Eventos(seleccion, c.ranura);
        f.ordenes << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, E.rowid").arg(eventos, c.expresion);
        f.ordenesPorClave << QStringLiteral("SELECT E.rowid%1 ORDER BY %2 COLLATE BINARY, %3").arg(eventos, c.expresion, clave);
    }
    f.filas = QStringLiteral("SELECT E.rowid%1 ORDER BY %2").arg(Eventos(seleccion, false), clave);
    f.fila = QStringLiteral("SELECT %1 FROM D_Evento AS E%2 WHERE E.rowid = ?1").arg(expresiones.join(QLatin1Char(',')), ModuloRanuras::Union());
    f.valores = seleccion.valores;
    return f;
}

LecturaFilas FuenteTabla(const BaseDatos &bd, const QString &tabla)
{
    LecturaFilas f;
    const QString t = QStringLiteral("temp.") + Cita(tabla);
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'temp')"), {tabla});
    while (q.next()) {
        f.nombres << q.value(0).toString();
        f.fechas << (q.value(1).toString().compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0);
        f.ordenes << QStringLiteral("SELECT rowid FROM %1 ORDER BY %2, rowid").arg(t, Cita(f.nombres.last()));
    }
    f.filas = QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(t);
    f.fila = QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(t);
    return f;
}

} // namespace TablaTrabajo
