#include "platform/FuncionesSql.h"

#include "platform/BaseDatos.h"

#include <QDate>
#include <QVariant>
#include <sqlite3.h>

namespace {

QString TextoArg(sqlite3_value *v)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return t ? QString::fromUtf8(t, sqlite3_value_bytes(v)) : QString();
}

void DevuelveTexto(sqlite3_context *ctx, const QString &s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), b.size(), SQLITE_TRANSIENT);
}

// CDATE('dd/mm/yyyy') gives the ISO date the columns store; an ISO date passes
// unchanged; anything else is NULL.
void FnCDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = TextoArg(argv[0]).trimmed();
    QDate d = QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(s, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(s.left(10), Qt::ISODate);
    if (!d.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    DevuelveTexto(ctx, d.toString(Qt::ISODate));
}

void FnVal(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int tipo = sqlite3_value_type(argv[0]);
    if (tipo == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    }
    if (tipo == SQLITE_FLOAT) {
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    }
    const double v = ValorNumerico(TextoArg(argv[0]));
    if (v == double(qint64(v)))
        sqlite3_result_int64(ctx, qint64(v));
    else
        sqlite3_result_double(ctx, v);
}

void FnLen(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, int(TextoArg(argv[0]).size()));
}

// MID(text, start[, length]) with a 1-based start.
void FnMid(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int desde = qMax(1, sqlite3_value_int(argv[1])) - 1;
    const int largo = argc > 2 ? qMax(0, sqlite3_value_int(argv[2])) : -1;
    DevuelveTexto(ctx, TextoArg(argv[0]).mid(desde, largo));
}

void Registra(sqlite3 *h, const char *nombre, int args,
              void (*fn)(sqlite3_context *, int, sqlite3_value **))
{
    const int banderas = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(h, nombre, args, banderas, nullptr, fn, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw ErrorBD::DeManejador(h);
}

} // namespace

double ValorNumerico(const QString &texto)
{
    QString num;
    int i = 0;
    const int n = texto.size();
    auto saltaBlancos = [&] { while (i < n && texto.at(i).isSpace()) ++i; };
    saltaBlancos();
    if (i < n && (texto.at(i) == QLatin1Char('-') || texto.at(i) == QLatin1Char('+')))
        num += texto.at(i++);
    bool punto = false;
    for (; i < n; ++i) {
        const QChar c = texto.at(i);
        if (c.isSpace())
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            num += c;
        else if (c == QLatin1Char('.') && !punto) {
            punto = true;
            num += c;
        } else
            break;
    }
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok ? v : 0.0;
}

void RegistraFuncionesSql(QSqlDatabase &db)
{
    sqlite3 *h = BaseDatos::ManejadorDe(db);
    Registra(h, "CDATE", 1, FnCDate);
    Registra(h, "VAL", 1, FnVal);
    Registra(h, "LEN", 1, FnLen);
    Registra(h, "MID", 2, FnMid);
    Registra(h, "MID", 3, FnMid);
}
