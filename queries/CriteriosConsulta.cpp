#include "queries/CriteriosConsulta.h"

#include "events/MapaEvento.h"
#include "platform/BaseDatos.h"

#include <QDate>
#include <QHash>
#include <sqlite3.h>
#include <vector>

const QStringList &Operadores()
{
    static const QStringList operadores = {"=", "<>", ">", ">=", "<", "<=", "Like"};
    return operadores;
}

QString AgregaCondicion(const QString &criterio, const CampoConsulta &campo, const QString &operador,
                        const QString &valor, bool conY)
{
    QString texto = criterio.trimmed();
    if (!texto.isEmpty())
        texto += conY ? QStringLiteral("\nAnd ") : QStringLiteral("\n Or ");
    QString citado = valor;
    citado.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString entrada = campo.Entrada();
    switch (campo.tipo) {
    case TipoCampo::Numero: return texto + entrada + ' ' + operador + ' ' + valor;
    case TipoCampo::Fecha: return texto + "CDATE(" + entrada + ") " + operador + " CDATE('" + citado + "')";
    case TipoCampo::Texto: break;
    }
    return texto + entrada + ' ' + operador + " '" + citado + '\'';
}

QString TextoCriterio(const QString &criterio)
{
    QString texto = criterio;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    texto.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return texto.trimmed();
}

namespace {

[[noreturn]] void Rechaza(const QString &descripcion)
{
    throw ErrorBD(SQLITE_ERROR, descripcion);
}

struct Pieza {
    enum Tipo { Valor, Numero, Nombre, Simbolo } tipo;
    QString texto;
};

bool EsLetra(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

std::vector<Pieza> Piezas(const QString &s)
{
    std::vector<Pieza> piezas;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Empty, never null: QtSql binds a null QString as NULL, and a
            // typed '' is a text of no characters.
            QString valor = QStringLiteral("");
            int j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    Rechaza(QStringLiteral("Falta la comilla que cierra el valor %1").arg(s.mid(i)));
                if (s.at(j) == c) {
                    if (j + 1 < n && s.at(j + 1) == c) {
                        valor += c;
                        ++j;
                        continue;
                    }
                    break;
                }
                valor += s.at(j);
            }
            piezas.push_back({Pieza::Valor, valor});
            i = j + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && (s.at(j).isDigit() || s.at(j) == QLatin1Char('.')))
                ++j;
            if ((j < n && EsLetra(s.at(j))) || s.mid(i, j - i).count(QLatin1Char('.')) > 1)
                Rechaza(QStringLiteral("El criterio tiene un valor sin comillas: %1").arg(s.mid(i).section(' ', 0, 0)));
            piezas.push_back({Pieza::Numero, s.mid(i, j - i)});
            i = j;
        } else if (EsLetra(c)) {
            int j = i;
            auto palabra = [&] {
                while (j < n && (EsLetra(s.at(j)) || s.at(j).isDigit()))
                    ++j;
            };
            palabra();
            if (j + 1 < n && s.at(j) == QLatin1Char('.') && EsLetra(s.at(j + 1))) {
                ++j;
                palabra();
            }
            piezas.push_back({Pieza::Nombre, s.mid(i, j - i)});
            i = j;
        } else {
            static const QStringList dobles = {"<>", "<=", ">=", "!=", "||"};
            const QString dos = s.mid(i, 2);
            if (dobles.contains(dos)) {
                piezas.push_back({Pieza::Simbolo, dos});
                i += 2;
            } else if (QStringLiteral("=<>+-*/(),").contains(c)) {
                piezas.push_back({Pieza::Simbolo, QString(c)});
                ++i;
            } else {
                Rechaza(QStringLiteral("El criterio tiene un carácter que no puede llevar: %1").arg(c));
            }
        }
    }
    return piezas;
}

// A criteria value as a date: dd/mm/yyyy (also d/m/yyyy) or yyyy-mm-dd.
QString FechaISO(const QString &valor)
{
    const QString v = valor.trimmed();
    QDate d = QDate::fromString(v, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(v, QStringLiteral("d/M/yyyy"));
    if (!d.isValid())
        d = QDate::fromString(v, Qt::ISODate);
    if (!d.isValid())
        Rechaza(QStringLiteral("El valor '%1' no es una fecha dd/mm/aaaa").arg(valor));
    return d.toString(Qt::ISODate);
}

// A LIKE pattern beside a date column, matched against the day-first text the
// user sees: the wildcards users know become SQLite's, and a pattern that no
// dd/mm/yyyy text could match (the stored yyyy-mm-dd form, letters) is refused.
QString PatronFecha(const QString &valor)
{
    for (const QChar c : valor)
        if (!c.isDigit() && !QStringLiteral("/%_*?").contains(c))
            Rechaza(QStringLiteral("El patrón '%1' no puede coincidir con una fecha dd/mm/aaaa").arg(valor));
    QString v = valor;
    return v.replace('*', '%').replace('?', '_');
}

// A date column as the user reads it, for LIKE.
QString DiaPrimero(const QString &columna)
{
    return QStringLiteral("strftime('%d/%m/%Y', ") + columna + QLatin1Char(')');
}

// A field of the criteria as SQL, with the alias it needs.
struct Columna {
    QString sql;
    QString alias;
    bool fecha = false;
};

std::optional<Columna> ColumnaEventos(const QString &nombre)
{
    QString alias = nombre.section('.', 0, 0).toUpper();
    QString columna = nombre.section('.', 1);
    if (!nombre.contains('.')) {
        columna = nombre;
        alias = QStringLiteral("E");
    }
    auto es = [&](const char *c) { return columna.compare(QLatin1String(c), Qt::CaseInsensitive) == 0; };
    if (alias == QLatin1String("E")) {
        for (const ColumnaEvento &c : ColumnasEvento())
            if (es(c.columna)) {
                const bool fecha = c.tipo == TipoValor::Fecha || c.tipo == TipoValor::Hoy;
                return Columna{QStringLiteral("E.") + QLatin1String(c.columna), alias, fecha};
            }
        return std::nullopt;
    }
    // The detail tables: their own code columns and the event key.
    static const QHash<QString, QStringList> propias = {
        {"D", {"CodDerechohabiencia"}}, {"V", {"CodTipoViolencia"}}, {"T", {"CodTipoAtencion"}},
        {"P", {"CodAfectadoAgresor", "CodEfectos"}}, {"F", {"CodDiagnostico", "Orden"}}};
    if (!propias.contains(alias))
        return std::nullopt;
    if (alias == QLatin1String("P") && es("EfectosPaciente"))
        return Columna{QStringLiteral("P1.CodEfectos"), QStringLiteral("P1")};
    if (alias == QLatin1String("P") && es("EfectosAgresor"))
        return Columna{QStringLiteral("P2.CodEfectos"), QStringLiteral("P2")};
    if (alias == QLatin1String("F") && es("Diagnosticos"))
        columna = QStringLiteral("CodDiagnostico");
    for (const QString &c : propias.value(alias) + QStringList{"CLUES", "Folio", "fechaAtencion"})
        if (es(c.toLatin1().constData()))
            return Columna{alias + '.' + c, alias, c == QLatin1String("fechaAtencion")};
    return std::nullopt;
}

Columna ColumnaDe(OrigenConsulta origen, const QString &nombre)
{
    std::optional<Columna> c;
    if (SobreEventos(origen)) {
        c = ColumnaEventos(nombre);
    } else if (const CampoConsulta *campo = BuscaCampo(origen, nombre)) {
        c = Columna{campo->columna, QString()};
    }
    if (!c)
        Rechaza(QStringLiteral("El criterio nombra un campo que no existe en %1: %2").arg(TablaOrigen(origen), nombre));
    return *c;
}

// The functions a criteria may call, as SQLite knows them: the dialect's
// own are registered on the connection (LEFT and RIGHT by their quoted
// names, being join keywords; UPPER and LOWER as UCASE and LCASE, which
// change every letter), IIF is SQLite's.
QString Funcion(const QString &nombre)
{
    static const QHash<QString, QString> funciones = {
        {"CDATE", "CDATE"}, {"VAL", "VAL"},     {"LEN", "LEN"},     {"MID", "MID"},     {"TRIM", "TRIM"},
        {"LTRIM", "LTRIM"}, {"RTRIM", "RTRIM"}, {"UCASE", "UCASE"}, {"LCASE", "LCASE"}, {"UPPER", "UCASE"},
        {"LOWER", "LCASE"}, {"ABS", "ABS"},     {"LEFT", "\"LEFT\""}, {"RIGHT", "\"RIGHT\""}, {"IIF", "iif"},
        {"CSTR", "CSTR"},   {"CINT", "CINT"},   {"CLNG", "CLNG"},   {"DAY", "DAY"},     {"MONTH", "MONTH"},
        {"YEAR", "YEAR"},   {"INSTR", "INSTR"}};
    const QString f = funciones.value(nombre.toUpper());
    if (f.isEmpty())
        Rechaza(QStringLiteral("El criterio usa una función desconocida: %1").arg(nombre));
    return f;
}

// A date handed to a function reads as the dialect hands it: text functions
// see it as the user reads it, dd/mm/yyyy; numeric ones as its day number
// counted from 30/12/1899; the date functions, IIF and comparisons as stored.
QString FechaComoArgumento(const QString &funcion, const QString &fecha)
{
    static const QStringList texto = {"\"LEFT\"", "\"RIGHT\"", "MID",  "LEN",   "INSTR", "CSTR",
                                      "TRIM",     "LTRIM",     "RTRIM", "UCASE", "LCASE", "VAL"};
    if (texto.contains(funcion))
        return DiaPrimero(fecha);
    if (funcion == QLatin1String("CINT") || funcion == QLatin1String("CLNG") || funcion == QLatin1String("ABS"))
        return QStringLiteral("(julianday(%1) - 2415018.5)").arg(fecha);
    return fecha;
}

class Traductor {
public:
    explicit Traductor(OrigenConsulta origen) : origen_(origen) {}

    void Traduce(const QString &texto, CondicionSQL &c)
    {
        const std::vector<Pieza> p = Piezas(texto);
        auto es = [&](size_t i, Pieza::Tipo t, const QString &s = {}) {
            return i < p.size() && p[i].tipo == t && (s.isEmpty() || p[i].texto == s);
        };
        // LIKE at j, or NOT LIKE from j.
        auto esLike = [&](size_t j) {
            return (j < p.size() && p[j].tipo == Pieza::Nombre && p[j].texto.toUpper() == QLatin1String("LIKE"))
                || (j + 1 < p.size() && p[j].tipo == Pieza::Nombre && p[j].texto.toUpper() == QLatin1String("NOT")
                    && p[j + 1].tipo == Pieza::Nombre && p[j + 1].texto.toUpper() == QLatin1String("LIKE"));
        };
        // The function each open parenthesis belongs to, empty for a plain one.
        QStringList marcos;
        QString funcionAbierta;
        // A date as the innermost function around it takes it.
        auto fechaEnFuncion = [&](const QString &fecha) {
            for (auto m = marcos.crbegin(); m != marcos.crend(); ++m)
                if (!m->isEmpty())
                    return FechaComoArgumento(*m, fecha);
            return fecha;
        };
        // A date column on either side of LIKE reads day first.
        auto columnaFecha = [&](const Columna &col, size_t antes, size_t despues, CondicionSQL &c) {
            const QString s = Usa(col, c);
            return (antes > 0 && esLike(antes - 1)) || esLike(despues) ? DiaPrimero(s) : fechaEnFuncion(s);
        };
        QStringList sql;
        int nivel = 0;
        bool trasLike = false;
        bool fechaLike = false;   // the pattern that follows stands beside a date column
        bool ultimaFecha = false;
        for (size_t i = 0; i < p.size(); ++i) {
            const Pieza &x = p[i];
            const bool like = trasLike;
            trasLike = false;
            const bool fechaAntes = ultimaFecha;
            ultimaFecha = false;
            const QString funcion = funcionAbierta;
            funcionAbierta.clear();
            switch (x.tipo) {
            case Pieza::Valor: {
                if (like && fechaLike) {
                    sql << QStringLiteral("?");
                    c.valores << PatronFecha(x.texto);
                    break;
                }
                // Dates are stored as ISO text: a typed date compared with a
                // date column is bound as one, and a text that is no date is refused.
                if (ComparadoConFecha(p, i)) {
                    sql << QStringLiteral("?");
                    c.valores << FechaISO(x.texto);
                    break;
                }
                QString v = x.texto;
                // The wildcards users know: * any text, ? one character.
                if (like)
                    v.replace('*', '%').replace('?', '_');
                // Typed text matches whatever the case of its letters, as users expect.
                sql << QStringLiteral("? COLLATE NOCASE");
                c.valores << v;
                break;
            }
            case Pieza::Numero:
                sql << QStringLiteral("?");
                c.valores << (x.texto.contains('.') ? QVariant(x.texto.toDouble()) : QVariant(x.texto.toLongLong()));
                break;
            case Pieza::Simbolo:
                if (x.texto == QLatin1String("(")) {
                    ++nivel;
                    marcos << funcion;
                }
                if (x.texto == QLatin1String(")")) {
                    if (--nivel < 0)
                        Rechaza(QStringLiteral("El criterio cierra un paréntesis que no abrió"));
                    marcos.removeLast();
                }
                // Division is never whole-number division, as in the dialect.
                sql << (x.texto == QLatin1String("/") ? QStringLiteral("* 1.0 /") : x.texto);
                break;
            case Pieza::Nombre: {
                static const QStringList claves = {"AND", "OR", "NOT", "LIKE", "IN", "BETWEEN", "IS", "NULL"};
                const QString mayus = x.texto.toUpper();
                if (claves.contains(mayus)) {
                    sql << mayus;
                    trasLike = mayus == QLatin1String("LIKE");
                    if (trasLike)
                        fechaLike = fechaAntes;
                    else if (mayus == QLatin1String("NOT"))
                        ultimaFecha = fechaAntes;
                } else if (es(i + 1, Pieza::Simbolo, QStringLiteral("("))) {
                    const QString f = Funcion(x.texto);
                    // CDATE of a stored date is the column itself (dates are
                    // stored as ISO text), of a typed date the bound ISO date.
                    if (f == QLatin1String("CDATE") && es(i + 3, Pieza::Simbolo, QStringLiteral(")"))) {
                        if (es(i + 2, Pieza::Valor)) {
                            sql << (like && fechaLike ? QStringLiteral("?") : fechaEnFuncion(QStringLiteral("?")));
                            c.valores << (like && fechaLike ? PatronFecha(p[i + 2].texto) : FechaISO(p[i + 2].texto));
                            i += 3;
                            break;
                        }
                        if (es(i + 2, Pieza::Nombre)) {
                            const Columna col = ColumnaDe(origen_, p[i + 2].texto);
                            if (col.fecha) {
                                sql << columnaFecha(col, i, i + 4, c);
                                ultimaFecha = true;
                                i += 3;
                                break;
                            }
                        }
                    }
                    sql << f;
                    funcionAbierta = f;
                } else {
                    const Columna col = ColumnaDe(origen_, x.texto);
                    sql << (col.fecha ? columnaFecha(col, i, i + 1, c) : Usa(col, c));
                    ultimaFecha = col.fecha;
                }
                break;
            }
            }
        }
        if (nivel > 0)
            Rechaza(QStringLiteral("El criterio abre un paréntesis que no cierra"));
        c.sql = QLatin1Char('(') + sql.join(' ') + QLatin1Char(')');
    }

    // The value at i stands beside a date column (or its CDATE) as the other
    // side of a comparison, a bound of BETWEEN or an item of IN.
    bool ComparadoConFecha(const std::vector<Pieza> &p, size_t i) const
    {
        const long n = long(p.size());
        auto es = [&](long j, Pieza::Tipo t, const char *texto) {
            return j >= 0 && j < n && p[size_t(j)].tipo == t && p[size_t(j)].texto.toUpper() == QLatin1String(texto);
        };
        auto columnaFecha = [&](long j) {
            if (j < 0 || j >= n || p[size_t(j)].tipo != Pieza::Nombre || es(j + 1, Pieza::Simbolo, "(")
                || !SobreEventos(origen_))
                return false;
            const std::optional<Columna> c = ColumnaEventos(p[size_t(j)].texto);
            return c && c->fecha;
        };
        auto terminaEnFecha = [&](long j) {
            return columnaFecha(j)
                || (es(j, Pieza::Simbolo, ")") && columnaFecha(j - 1) && es(j - 2, Pieza::Simbolo, "(")
                    && es(j - 3, Pieza::Nombre, "CDATE"));
        };
        auto empiezaEnFecha = [&](long j) {
            return columnaFecha(j)
                || (es(j, Pieza::Nombre, "CDATE") && es(j + 1, Pieza::Simbolo, "(") && columnaFecha(j + 2)
                    && es(j + 3, Pieza::Simbolo, ")"));
        };
        auto comparador = [&](long j) {
            for (const char *o : {"=", "<>", "!=", "<", "<=", ">", ">="})
                if (es(j, Pieza::Simbolo, o))
                    return true;
            return false;
        };
        const long v = long(i);
        long lista = v - 1;
        while (es(lista, Pieza::Simbolo, ",") && lista >= 1 && p[size_t(lista - 1)].tipo == Pieza::Valor)
            lista -= 2;
        return (comparador(v - 1) && terminaEnFecha(v - 2)) || (comparador(v + 1) && empiezaEnFecha(v + 2))
            || (es(v - 1, Pieza::Nombre, "BETWEEN") && terminaEnFecha(v - 2))
            || (es(v - 1, Pieza::Nombre, "AND") && es(v - 3, Pieza::Nombre, "BETWEEN") && terminaEnFecha(v - 4))
            || (es(lista, Pieza::Simbolo, "(") && es(lista - 1, Pieza::Nombre, "IN") && terminaEnFecha(lista - 2));
    }

    QString Usa(const Columna &col, CondicionSQL &c)
    {
        if (!col.alias.isEmpty() && col.alias != QLatin1String("E") && !c.uniones.contains(col.alias))
            c.uniones << col.alias;
        return col.sql;
    }

    OrigenConsulta origen_;
};

} // namespace

CondicionSQL TraduceCriterio(const QString &criterio, OrigenConsulta origen, const QString &campoOrden,
                             bool descendente)
{
    CondicionSQL c;
    Traductor t(origen);
    t.Traduce(TextoCriterio(criterio), c);
    const QString orden = campoOrden.trimmed();
    if (!orden.isEmpty() && orden != QLatin1String("(ninguno)")) {
        const CampoConsulta *campo = BuscaCampo(origen, orden);
        if (!campo)
            Rechaza(QStringLiteral("No se puede ordenar por %1").arg(orden));
        c.orden = t.Usa(ColumnaDe(origen, campo->Entrada()), c) + (descendente ? QStringLiteral(" DESC") : QString());
    }
    return c;
}

QString FromEventos(const CondicionSQL &condicion)
{
    struct Union {
        const char *alias;
        const char *tabla;
        const char *extra;
    };
    static const Union uniones[] = {
        {"D", "D_Derechohabiencia", ""},
        {"V", "D_TipoViolencia", ""},
        {"P", "D_BajoEfectos", ""},
        {"P1", "D_BajoEfectos", " AND P1.CodAfectadoAgresor = 1"},
        {"P2", "D_BajoEfectos", " AND P2.CodAfectadoAgresor = 2"},
        {"T", "D_TipoAtencion", ""},
        {"F", "D_Diagnosticos", ""},
    };
    QString from = QStringLiteral(" FROM D_Evento AS E");
    for (const Union &u : uniones)
        if (condicion.uniones.contains(QLatin1String(u.alias)))
            from += QStringLiteral(" LEFT JOIN %1 AS %2 ON %2.CLUES = E.Clues AND %2.Folio = E.Folio"
                                   " AND %2.fechaAtencion = E.fechaAtencion%3")
                        .arg(QLatin1String(u.tabla), QLatin1String(u.alias), QLatin1String(u.extra));
    return from;
}

ConsultaSQL SentenciaEventos(const CondicionSQL &condicion)
{
    return {QStringLiteral("SELECT E.Clues, E.Folio, E.fechaAtencion") + FromEventos(condicion)
                + QStringLiteral(" WHERE ") + condicion.sql,
            condicion.valores};
}

ConsultaSQL SentenciaListaCIE10(const CondicionSQL &condicion)
{
    return {QStringLiteral("SELECT Causa, nombre,"
                           " CASE trim(lsex) WHEN '2' THEN 'F' WHEN '1' THEN 'M' ELSE 'A' END AS lsex,"
                           " substr(trim(linf), 1, 3) AS Edad_I, substr(trim(linf), -1) AS Cve_EDI,"
                           " substr(trim(lsup), 1, 3) AS Edad_F, substr(trim(lsup), -1) AS Cve_EDF,"
                           " CASE WHEN trim(a) = 'T' THEN 1 ELSE 0 END AS a"
                           " FROM CATCIE10 WHERE ")
                + condicion.sql + QStringLiteral(" ORDER BY Causa"),
            condicion.valores};
}
