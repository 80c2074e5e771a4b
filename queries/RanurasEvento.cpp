#include "queries/RanurasEvento.h"

#include "queries/LectorRanuras.h"
#include "platform/BaseDatos.h"

#include <sqlite3.h>

namespace RanurasEvento {

const GrupoRanuras Grupos[6] = {
    {"D.CodDerechohabiencia", "Derechohabiencia", "D_Derechohabiencia", "CodDerechohabiencia", nullptr, "TEXT", "' '"},
    {"V.CodTipoViolencia", "TipoViolencia", "D_TipoViolencia", "CodTipoViolencia", nullptr, "INTEGER", "0"},
    {"P.EfectosPaciente", "EfectosPaciente", "D_BajoEfectos", "CodEfectos", "1", "INTEGER", "0"},
    {"P.EfectosAgresor", "EfectosAgresor", "D_BajoEfectos", "CodEfectos", "2", "INTEGER", "0"},
    {"T.CodTipoAtencion", "TipoAtencion", "D_TipoAtencion", "CodTipoAtencion", nullptr, "INTEGER", "0"},
    {"F.Diagnosticos", "Diagnostico", "D_Diagnosticos", "CodDiagnostico", nullptr, "TEXT", "'    '"},
};

namespace {

// An eponymous module (version 0, no xCreate) of these functions.
sqlite3_module Eponimo(decltype(sqlite3_module::xConnect) conecta, decltype(sqlite3_module::xBestIndex) mejorIndice,
                       decltype(sqlite3_module::xDisconnect) desconecta, decltype(sqlite3_module::xOpen) abre, decltype(sqlite3_module::xClose) cierra,
                       decltype(sqlite3_module::xFilter) filtra, decltype(sqlite3_module::xNext) siguiente, decltype(sqlite3_module::xEof) fin,
                       decltype(sqlite3_module::xColumn) valor, decltype(sqlite3_module::xRowid) fila)
{
    sqlite3_module m{};
    m.xConnect = conecta;
    m.xBestIndex = mejorIndice;
    m.xDisconnect = desconecta;
    m.xOpen = abre;
    m.xClose = cierra;
    m.xFilter = filtra;
    m.xNext = siguiente;
    m.xEof = fin;
    m.xColumn = valor;
    m.xRowid = fila;
    return m;
}

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
    *tabla = &(new Tabla{{}, db})->base;
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
    if (argumento[0] < 0 || argumento[1] < 0 || argumento[2] < 0)
        return SQLITE_CONSTRAINT;
    for (int a = 0; a < 4; ++a)
        if (argumento[a] >= 0)
            info->aConstraintUsage[argumento[a]] = {a + 1, 1};
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
    return Eponimo(Conecta, MejorIndice, Desconecta, Abre, Cierra, Filtra, Siguiente, Fin, Valor, Fila);
}

} // namespace Modulo

// EVENTOS_ELEGIDOS: eponymous only, the chosen events' rowids (column fila),
// in ascending order or in the order of their keys, as Elegidos says.
namespace ModuloElegidos {

const char *const Nombre = "EVENTOS_ELEGIDOS";

struct Cursor {
    sqlite3_vtab_cursor base{};
    const Elegidos *elegidos = nullptr;
    size_t i = 0;
};

int Conecta(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **tabla, char **)
{
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(fila INTEGER)");
    if (rc != SQLITE_OK)
        return rc;
    *tabla = new sqlite3_vtab{};
    return SQLITE_OK;
}

int Desconecta(sqlite3_vtab *tabla)
{
    delete tabla;
    return SQLITE_OK;
}

// Read whole; in rowid order, already in the order of fila.
int MejorIndice(sqlite3_vtab *, sqlite3_index_info *info)
{
    const Elegidos *e = Elegidos::Actuales();
    if (e && e->porFila && info->nOrderBy == 1 && info->aOrderBy[0].iColumn == 0 && !info->aOrderBy[0].desc)
        info->orderByConsumed = 1;
    info->estimatedRows = e ? sqlite3_int64(e->Cuantos()) : 0;
    info->estimatedCost = double(info->estimatedRows) + 1;
    return SQLITE_OK;
}

int Abre(sqlite3_vtab *, sqlite3_vtab_cursor **cursor)
{
    *cursor = &(new Cursor)->base;
    return SQLITE_OK;
}

int Cierra(sqlite3_vtab_cursor *cursor)
{
    delete reinterpret_cast<Cursor *>(cursor);
    return SQLITE_OK;
}

int Filtra(sqlite3_vtab_cursor *cursor, int, const char *, int, sqlite3_value **)
{
    auto *c = reinterpret_cast<Cursor *>(cursor);
    c->elegidos = Elegidos::Actuales();
    c->i = 0;
    return SQLITE_OK;
}

int Siguiente(sqlite3_vtab_cursor *cursor)
{
    ++reinterpret_cast<Cursor *>(cursor)->i;
    return SQLITE_OK;
}

int Fin(sqlite3_vtab_cursor *cursor)
{
    const auto *c = reinterpret_cast<Cursor *>(cursor);
    return !c->elegidos || c->i >= c->elegidos->Cuantos();
}

int Valor(sqlite3_vtab_cursor *cursor, sqlite3_context *ctx, int)
{
    const auto *c = reinterpret_cast<Cursor *>(cursor);
    sqlite3_result_int64(ctx, c->elegidos->Fila(c->i));
    return SQLITE_OK;
}

int Fila(sqlite3_vtab_cursor *cursor, sqlite3_int64 *fila)
{
    const auto *c = reinterpret_cast<Cursor *>(cursor);
    *fila = c->elegidos->Fila(c->i);
    return SQLITE_OK;
}

sqlite3_module Definicion()
{
    return Eponimo(Conecta, MejorIndice, Desconecta, Abre, Cierra, Filtra, Siguiente, Fin, Valor, Fila);
}

} // namespace ModuloElegidos

// Registers a module on the connection unless it is there already (told by
// a statement reading it with those arguments).
void RegistraModulo(sqlite3 *db, const char *nombre, const char *argumentos, const sqlite3_module *modulo)
{
    sqlite3_stmt *prueba = nullptr;
    const QByteArray sql = QByteArray("SELECT 1 FROM ") + nombre + argumentos + " WHERE 0";
    const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &prueba, nullptr);
    sqlite3_finalize(prueba);
    if (rc == SQLITE_OK)
        return;
    if (!QByteArray(sqlite3_errmsg(db)).startsWith("no such table") || sqlite3_create_module_v2(db, nombre, modulo, nullptr, nullptr) != SQLITE_OK)
        throw ErrorBD::DeManejador(db);
}

} // namespace

const GrupoRanuras *GrupoDe(const QString &entrada)
{
    for (const GrupoRanuras &g : Grupos)
        if (entrada.compare(QLatin1String(g.entrada), Qt::CaseInsensitive) == 0)
            return &g;
    return nullptr;
}

void Registra(sqlite3 *db)
{
    static const sqlite3_module modulo = Modulo::Definicion(), elegidos = ModuloElegidos::Definicion();
    RegistraModulo(db, Modulo::Nombre, "('', 0, '')", &modulo);
    RegistraModulo(db, ModuloElegidos::Nombre, "", &elegidos);
}

QString Union()
{
    return QStringLiteral(", %1(E.Clues, E.Folio, E.fechaAtencion, E.rowid) AS R").arg(QLatin1String(Modulo::Nombre));
}

QString DeLosElegidos()
{
    return QStringLiteral(" %1 AS L").arg(QLatin1String(ModuloElegidos::Nombre));
}

} // namespace RanurasEvento
