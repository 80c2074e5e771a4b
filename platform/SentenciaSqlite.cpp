#include "platform/SentenciaSqlite.h"

#include "platform/BaseDatos.h"
#include "platform/FuncionesSql.h"

#include <sqlite3.h>

SentenciaSqlite::SentenciaSqlite(sqlite3 *db, const QString &sql, const QVariantList &valores) : db_(db)
{
    Prepara(sql);
    Asocia(valores);
}

SentenciaSqlite::SentenciaSqlite(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
    : db_(bd.Manejador())
{
    stmt_ = bd.TomaPreparada(sql);
    if (!stmt_)
        Prepara(sql);
    bd_ = &bd;
    sql_ = sql;
    try {
        Asocia(valores);
    } catch (...) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw;
    }
}

void SentenciaSqlite::Prepara(const QString &sql)
{
    const QByteArray texto = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, texto.constData(), int(texto.size()), &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        Falla();
    }
}

SentenciaSqlite::~SentenciaSqlite()
{
    if (!bd_ || !stmt_) {
        sqlite3_finalize(stmt_);
        return;
    }
    // Reset, it holds no lock and keeps no values until its next use.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    bd_->DevuelvePreparada(sql_, stmt_);
}

void SentenciaSqlite::Falla() const
{
    throw ErrorBD::DeManejador(db_);
}

void SentenciaSqlite::Asocia(const QVariantList &valores)
{
    for (int i = 0; i < valores.size(); ++i)
        Asocia(i + 1, valores[i]);
}

void SentenciaSqlite::Asocia(int indice, const QVariant &valor)
{
    int rc;
    if (valor.isNull()) {
        rc = sqlite3_bind_null(stmt_, indice);
    } else {
        switch (valor.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, indice, valor.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, indice, valor.toDouble());
            break;
        case QMetaType::QDate:
            rc = sqlite3_bind_text(stmt_, indice, valor.toDate().toString(Qt::ISODate).toUtf8().constData(), -1,
                                   SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray t = valor.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, indice, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        Falla();
}

bool SentenciaSqlite::Paso()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    Falla();
}

int SentenciaSqlite::Ejecuta()
{
    while (Paso()) {
    }
    Reinicia();
    return sqlite3_changes(db_);
}

QVariant SentenciaSqlite::Valor(int columna) const
{
    switch (sqlite3_column_type(stmt_, columna)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(stmt_, columna));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt_, columna);
    default:
        return Texto(columna);
    }
}

QString SentenciaSqlite::Texto(int columna) const
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, columna));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt_, columna)) : QString();
}

void SentenciaSqlite::Reinicia()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

namespace {

// A connection of its own in memory: what it reads touches no file.
class BaseEnMemoria {
public:
    BaseEnMemoria()
    {
        if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            throw ErrorBD(SQLITE_NOMEM, QStringLiteral("No hay memoria suficiente para leer el criterio"));
        }
    }
    ~BaseEnMemoria() { sqlite3_close(db_); }
    BaseEnMemoria(const BaseEnMemoria &) = delete;
    BaseEnMemoria &operator=(const BaseEnMemoria &) = delete;
    sqlite3 *db() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

} // namespace

int FallaDeSintaxis(const QString &condicion)
{
    const BaseEnMemoria memoria;
    sqlite3 *db = memoria.db();
    const QByteArray prefijo = "SELECT 1 WHERE ";
    const QByteArray texto = condicion.toUtf8();
    const QByteArray sql = prefijo + texto;
    sqlite3_stmt *stmt = nullptr;
    int falla = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        // SQLite's parser speaks of the grammar and of its own limits in
        // these words only; a name it cannot find comes after the whole
        // text has parsed.
        const QByteArray error = sqlite3_errmsg(db);
        if (error == "incomplete input")
            falla = int(texto.size());
        else if (error.endsWith(": syntax error"))
            falla = qBound(0, sqlite3_error_offset(db) - int(prefijo.size()), int(texto.size()));
        else if (error == "parser stack overflow" || error.startsWith("Expression tree is too large")
                 || error == "too many SQL variables")
            falla = FallaPorTamano;
    }
    sqlite3_finalize(stmt);
    return falla;
}

QVariant ValorConstante(const QString &expresion, const QVariantList &valores)
{
    const BaseEnMemoria memoria;
    RegistraFuncionesSql(memoria.db());
    SentenciaSqlite s(memoria.db(), QStringLiteral("SELECT ") + expresion, valores);
    return s.Paso() ? s.Valor(0) : QVariant();
}
