#include "platform/FuncionesSql.h"

#include "platform/BaseDatos.h"
#include "platform/FechaTexto.h"

#include <QDate>
#include <QVariant>
#include <cmath>
#include <optional>
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

// The dialect's own functions, as the Windows file-database engine reads
// them: most give NULL for NULL, the conversions refuse it.

bool EsNulo(sqlite3_value *v)
{
    return sqlite3_value_type(v) == SQLITE_NULL;
}

// A value as the dialect writes it as text: whole numbers without a decimal
// point, others with up to 15 significant digits.
QString TextoVB(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return QString::number(sqlite3_value_double(v), 'g', 15).toUpper();
    default: return TextoArg(v);
    }
}

// The value as the user wrote it, for a message.
QString Muestra(sqlite3_value *v)
{
    const int tipo = sqlite3_value_type(v);
    if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT)
        return TextoVB(v);
    return QLatin1Char('\'') + TextoArg(v).left(40) + QLatin1Char('\'');
}

void Falla(sqlite3_context *ctx, const QString &texto)
{
    const QByteArray b = texto.toUtf8();
    sqlite3_result_error(ctx, b.constData(), b.size());
}

const char *Nombre(sqlite3_context *ctx)
{
    return static_cast<const char *>(sqlite3_user_data(ctx));
}

// A number as the conversions read it: a number, or a text that is one
// (blanks around it allowed); nullopt for anything else.
std::optional<double> Numero(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return double(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return sqlite3_value_double(v);
    case SQLITE_TEXT: {
        bool ok = false;
        const double d = TextoArg(v).trimmed().toDouble(&ok);
        if (ok && std::isfinite(d))
            return d;
        return std::nullopt;
    }
    default: return std::nullopt;
    }
}

// A whole number in [minimo, maximo], halves rounded to the even neighbour;
// nullopt after the error is set.
std::optional<qint64> Entero(sqlite3_context *ctx, sqlite3_value *v, double minimo, double maximo)
{
    if (EsNulo(v)) {
        Falla(ctx, QStringLiteral("Uso no válido de Null: %1").arg(QLatin1String(Nombre(ctx))));
        return std::nullopt;
    }
    const std::optional<double> d = Numero(v);
    if (!d) {
        Falla(ctx, QStringLiteral("No coinciden los tipos: %1(%2)").arg(QLatin1String(Nombre(ctx)), Muestra(v)));
        return std::nullopt;
    }
    const double r = std::nearbyint(*d);
    if (r < minimo || r > maximo) {
        Falla(ctx, QStringLiteral("Desbordamiento: %1(%2)").arg(QLatin1String(Nombre(ctx)), Muestra(v)));
        return std::nullopt;
    }
    return qint64(r);
}

// A count or position argument of the text functions.
std::optional<qint64> Cuenta(sqlite3_context *ctx, sqlite3_value *v, qint64 minimo)
{
    const std::optional<qint64> n = Entero(ctx, v, -2147483648.0, 2147483647.0);
    if (n && *n < minimo) {
        Falla(ctx, QStringLiteral("Argumento no válido en %1: %2").arg(QLatin1String(Nombre(ctx)), Muestra(v)));
        return std::nullopt;
    }
    return n;
}

void FnCInt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (const auto n = Entero(ctx, argv[0], -32768.0, 32767.0))
        sqlite3_result_int64(ctx, *n);
}

void FnCLng(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (const auto n = Entero(ctx, argv[0], -2147483648.0, 2147483647.0))
        sqlite3_result_int64(ctx, *n);
}

void FnCStr(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (EsNulo(argv[0]))
        Falla(ctx, QStringLiteral("Uso no válido de Null: CSTR"));
    else
        DevuelveTexto(ctx, TextoVB(argv[0]));
}

// LEFT(text, n) and RIGHT(text, n): at most n characters from that end.
void FnExtremo(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const std::optional<qint64> n = Cuenta(ctx, argv[1], 0);
    if (!n)
        return;
    if (EsNulo(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = TextoVB(argv[0]);
    const bool izquierda = qstrcmp(Nombre(ctx), "LEFT") == 0;
    DevuelveTexto(ctx, izquierda ? s.left(int(qMin<qint64>(*n, s.size()))) : s.right(int(qMin<qint64>(*n, s.size()))));
}

// INSTR([start,] text, sought): the 1-based position of sought in text from
// start on, whatever the case of its letters; 0 when it is not there.
void FnInstr(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    qint64 desde = 1;
    if (argc == 3) {
        const std::optional<qint64> n = Cuenta(ctx, argv[0], 1);
        if (!n)
            return;
        desde = *n;
        ++argv;
    }
    if (EsNulo(argv[0]) || EsNulo(argv[1])) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString texto = TextoVB(argv[0]), buscado = TextoVB(argv[1]);
    if (texto.isEmpty() || desde > texto.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    if (buscado.isEmpty()) {
        sqlite3_result_int64(ctx, desde);
        return;
    }
    sqlite3_result_int64(ctx, texto.indexOf(buscado, int(desde - 1), Qt::CaseInsensitive) + 1);
}

// UCASE and LCASE: every letter changes case, as in the dialect (ñ, accented
// vowels, ü), not only the ASCII ones SQLite's upper and lower change; each
// letter stays one letter (ß stays ß). NULL stays NULL.
void FnCaso(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (EsNulo(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool mayusculas = qstrcmp(Nombre(ctx), "UCASE") == 0;
    QList<uint> letras = TextoVB(argv[0]).toUcs4();
    for (uint &c : letras)
        c = mayusculas ? QChar::toUpper(c) : QChar::toLower(c);
    DevuelveTexto(ctx, QString::fromUcs4(reinterpret_cast<const char32_t *>(letras.constData()), letras.size()));
}

// CDATE('dd/mm/yyyy') gives the ISO date the columns store, and an ISO date
// passes unchanged; CDATE of a day number gives its day the same way (with
// its time when it has one), so that it compares with the stored dates as
// the dialect compares dates. A text that is no date is NULL; a day number
// outside the calendar is an error.
void FnCDate(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int tipo = sqlite3_value_type(argv[0]);
    if (tipo == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT) {
        const QString fecha = TextoDeNumero(sqlite3_value_double(argv[0]));
        if (fecha.isEmpty())
            Falla(ctx, QStringLiteral("Desbordamiento: CDATE(%1)").arg(Muestra(argv[0])));
        else
            DevuelveTexto(ctx, fecha);
        return;
    }
    const QDate d = FechaDelDialecto(TextoArg(argv[0]));
    if (d.isValid())
        DevuelveTexto(ctx, d.toString(Qt::ISODate));
    else
        sqlite3_result_null(ctx);
}

// DAY, MONTH and YEAR of a date or a day number.
void FnParteFecha(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int tipo = sqlite3_value_type(argv[0]);
    if (tipo == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool numero = tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT;
    const QDate d = numero ? FechaDeNumero(sqlite3_value_double(argv[0])) : FechaDelDialecto(TextoArg(argv[0]));
    if (!d.isValid()) {
        Falla(ctx, QStringLiteral("%1: %2(%3)")
                       .arg(numero ? QStringLiteral("Desbordamiento") : QStringLiteral("No coinciden los tipos"),
                            QLatin1String(Nombre(ctx)), Muestra(argv[0])));
        return;
    }
    const char *parte = Nombre(ctx);
    sqlite3_result_int(ctx, qstrcmp(parte, "DAY") == 0 ? d.day() : qstrcmp(parte, "MONTH") == 0 ? d.month() : d.year());
}

void Registra(sqlite3 *h, const char *nombre, int args,
              void (*fn)(sqlite3_context *, int, sqlite3_value **))
{
    const int banderas = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    // The name travels with the function, for its messages.
    if (sqlite3_create_function_v2(h, nombre, args, banderas, const_cast<char *>(nombre), fn, nullptr, nullptr, nullptr) != SQLITE_OK)
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
    RegistraFuncionesSql(BaseDatos::ManejadorDe(db));
}

void RegistraFuncionesSql(sqlite3 *h)
{
    Registra(h, "CDATE", 1, FnCDate);
    Registra(h, "VAL", 1, FnVal);
    Registra(h, "LEN", 1, FnLen);
    Registra(h, "MID", 2, FnMid);
    Registra(h, "MID", 3, FnMid);
    Registra(h, "LEFT", 2, FnExtremo);
    Registra(h, "RIGHT", 2, FnExtremo);
    Registra(h, "CSTR", 1, FnCStr);
    Registra(h, "CINT", 1, FnCInt);
    Registra(h, "CLNG", 1, FnCLng);
    Registra(h, "DAY", 1, FnParteFecha);
    Registra(h, "MONTH", 1, FnParteFecha);
    Registra(h, "YEAR", 1, FnParteFecha);
    Registra(h, "INSTR", 2, FnInstr);
    Registra(h, "INSTR", 3, FnInstr);
    Registra(h, "UCASE", 1, FnCaso);
    Registra(h, "LCASE", 1, FnCaso);
}
