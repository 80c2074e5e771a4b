#include "queries/CriteriosConsulta.h"

#include "events/MapaEvento.h"
#include "platform/BaseDatos.h"
#include "platform/FechaTexto.h"
#include "platform/SentenciaSqlite.h"

#include <QDate>
#include <QHash>
#include <sqlite3.h>
#include <utility>
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
    int inicio, largo;   // where the user wrote it, quotes and all
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
            piezas.push_back({Pieza::Valor, valor, i, j + 1 - i});
            i = j + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && (s.at(j).isDigit() || s.at(j) == QLatin1Char('.')))
                ++j;
            if ((j < n && EsLetra(s.at(j))) || s.mid(i, j - i).count(QLatin1Char('.')) > 1)
                Rechaza(QStringLiteral("El criterio tiene un valor sin comillas: %1").arg(s.mid(i).section(' ', 0, 0)));
            piezas.push_back({Pieza::Numero, s.mid(i, j - i), i, j - i});
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
            piezas.push_back({Pieza::Nombre, s.mid(i, j - i), i, j - i});
            i = j;
        } else {
            static const QStringList dobles = {"<>", "<=", ">=", "!=", "||"};
            const QString dos = s.mid(i, 2);
            if (dobles.contains(dos)) {
                piezas.push_back({Pieza::Simbolo, dos, i, 2});
                i += 2;
            } else if (QStringLiteral("=<>+-*/(),").contains(c)) {
                piezas.push_back({Pieza::Simbolo, QString(c), i, 1});
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
    const QDate d = FechaDelDialecto(valor);
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

// How a function takes a date handed to it, as the dialect hands it: text
// functions see it as the user reads it, dd/mm/yyyy; numeric ones as its day
// number counted from 30/12/1899; the date functions and IIF as stored.
enum class FormaFecha { Guardada, Texto, Numero };

// A function a criteria may call: its name as SQLite knows it (the dialect's
// own are registered on the connection, LEFT and RIGHT by their quoted names,
// being join keywords; UPPER and LOWER are UCASE and LCASE, which change every
// letter; IIF is SQLite's) and how many arguments it takes.
struct FuncionCriterio {
    QString sql;
    int minimo, maximo;
    FormaFecha fecha;
};

const FuncionCriterio &Funcion(const QString &nombre)
{
    using F = FormaFecha;
    static const QHash<QString, FuncionCriterio> funciones = {
        {"CDATE", {"CDATE", 1, 1, F::Guardada}}, {"VAL", {"VAL", 1, 1, F::Texto}},
        {"LEN", {"LEN", 1, 1, F::Texto}},        {"MID", {"MID", 2, 3, F::Texto}},
        {"TRIM", {"TRIM", 1, 1, F::Texto}},      {"LTRIM", {"LTRIM", 1, 1, F::Texto}},
        {"RTRIM", {"RTRIM", 1, 1, F::Texto}},    {"UCASE", {"UCASE", 1, 1, F::Texto}},
        {"LCASE", {"LCASE", 1, 1, F::Texto}},    {"UPPER", {"UCASE", 1, 1, F::Texto}},
        {"LOWER", {"LCASE", 1, 1, F::Texto}},    {"ABS", {"ABS", 1, 1, F::Numero}},
        {"LEFT", {"\"LEFT\"", 2, 2, F::Texto}},  {"RIGHT", {"\"RIGHT\"", 2, 2, F::Texto}},
        {"IIF", {"iif", 3, 3, F::Guardada}},     {"CSTR", {"CSTR", 1, 1, F::Texto}},
        {"CINT", {"CINT", 1, 1, F::Numero}},     {"CLNG", {"CLNG", 1, 1, F::Numero}},
        {"DAY", {"DAY", 1, 1, F::Guardada}},     {"MONTH", {"MONTH", 1, 1, F::Guardada}},
        {"YEAR", {"YEAR", 1, 1, F::Guardada}},   {"INSTR", {"INSTR", 2, 3, F::Texto}}};
    const auto f = funciones.constFind(nombre.toUpper());
    if (f == funciones.cend())
        Rechaza(QStringLiteral("El criterio usa una función desconocida: %1").arg(nombre));
    return *f;
}

QString FechaComoArgumento(const FuncionCriterio &funcion, const QString &fecha)
{
    switch (funcion.fecha) {
    case FormaFecha::Texto: return DiaPrimero(fecha);
    case FormaFecha::Numero: return QStringLiteral("(julianday(%1) - 2415018.5)").arg(fecha);
    case FormaFecha::Guardada: break;
    }
    return fecha;
}

// Reads the criteria piece by piece into one condition. Each piece is
// written by the step for its kind; a piece may change how the next one is
// written (a LIKE, a date column, a function name before its parenthesis).
class Traductor {
public:
    Traductor(OrigenConsulta origen, CondicionSQL &c) : origen_(origen), c_(c) {}

    void Traduce(const QString &texto)
    {
        texto_ = texto;
        p_ = Piezas(texto);
        for (i_ = 0; i_ < p_.size(); ++i_) {
            const Previa antes = std::exchange(previa_, Previa{});
            switch (p_[i_].tipo) {
            case Pieza::Valor: PonValor(antes); break;
            case Pieza::Numero: PonNumero(); break;
            case Pieza::Simbolo: PonSimbolo(antes); break;
            case Pieza::Nombre: PonNombre(antes); break;
            }
        }
        if (!marcos_.empty())
            Rechaza(QStringLiteral("El criterio abre un paréntesis que no cierra"));
        c_.sql = QLatin1Char('(') + sql_.join(' ') + QLatin1Char(')');
        RevisaSintaxis();
    }

    // A column of the condition, with the detail join it needs.
    QString Usa(const Columna &col)
    {
        if (!col.alias.isEmpty() && col.alias != QLatin1String("E") && !c_.uniones.contains(col.alias))
            c_.uniones << col.alias;
        return col.sql;
    }

private:
    // What a piece leaves for the one after it.
    struct Previa {
        bool like = false;    // it is LIKE
        bool fecha = false;   // it ends a date column (or is the NOT after one)
        const FuncionCriterio *funcion = nullptr;   // it names this function, whose parenthesis follows
    };

    // An open parenthesis: the function it belongs to (none for a plain
    // one), as the criteria names it, and the commas met inside it so far.
    struct Marco {
        const FuncionCriterio *funcion;
        QString nombre;
        int comas = 0;
    };

    // Pieces are looked at by index; one before the first wraps past the
    // last, where there is none.
    bool Es(size_t i, Pieza::Tipo t, const QString &s = {}) const
    {
        return i < p_.size() && p_[i].tipo == t && (s.isEmpty() || p_[i].texto == s);
    }

    bool EsPalabra(size_t i, const char *palabra) const
    {
        return i < p_.size() && p_[i].tipo == Pieza::Nombre && p_[i].texto.toUpper() == QLatin1String(palabra);
    }

    // LIKE at j, or NOT LIKE from j.
    bool EsLike(size_t j) const { return EsPalabra(j, "LIKE") || (EsPalabra(j, "NOT") && EsPalabra(j + 1, "LIKE")); }

    // Writes SQL for the piece being read, which it remembers for a syntax fault.
    void Escribe(const QString &sql)
    {
        sql_ << sql;
        deLaPieza_.push_back(i_);
    }

    void Asocia(const QVariant &valor, const QString &marca = QStringLiteral("?"))
    {
        Escribe(marca);
        c_.valores << valor;
    }

    // What the user wrote from piece `desde` to piece `hasta`.
    QString Escrito(size_t desde, size_t hasta) const
    {
        return texto_.mid(p_[desde].inicio, p_[hasta].inicio + p_[hasta].largo - p_[desde].inicio);
    }

    // SQLite's own parser judges the grammar (an operator without its
    // operand, two values with nothing between them, a criteria cut short),
    // and its fault is told in the user's words: the piece where it stopped,
    // or that the criteria ends before the condition does.
    void RevisaSintaxis() const
    {
        const int falla = FallaDeSintaxis(c_.sql);
        if (falla < 0)
            return;
        int fin = 1;   // past the opening parenthesis
        for (qsizetype k = 0; k < sql_.size(); ++k) {
            fin += int(sql_.at(k).toUtf8().size());
            if (falla < fin) {
                const size_t pieza = deLaPieza_[size_t(k)];
                Rechaza(QStringLiteral("El criterio no se entiende a partir de \"%1\": %2").arg(Escrito(pieza, pieza), texto_));
            }
            ++fin;   // the blank between two pieces
        }
        Rechaza(QStringLiteral("El criterio termina sin completar la condición: %1").arg(texto_));
    }

    // A quoted value, always bound: a pattern beside a date column as the
    // user reads dates; a date compared with a date column as stored (ISO
    // text), refused when it is no date; any other text whatever the case of
    // its letters, as users expect.
    void PonValor(const Previa &antes)
    {
        const QString &texto = p_[i_].texto;
        if (antes.like && fechaLike_)
            return Asocia(PatronFecha(texto));
        if (ComparadoConFecha(i_, i_))
            return Asocia(FechaISO(texto));
        QString v = texto;
        // The wildcards users know: * any text, ? one character.
        if (antes.like)
            v.replace('*', '%').replace('?', '_');
        Asocia(v, QStringLiteral("? COLLATE NOCASE"));
    }

    // A number; beside a date, a day number, which the dialect compares with
    // a date as the date's own number: it becomes its day as dates are
    // stored, its sign with it.
    void PonNumero()
    {
        const QString &x = p_[i_].texto;
        const size_t desde = Signo(i_ - 1) ? i_ - 1 : i_;
        if (!ComparadoConFecha(desde, i_))
            return Asocia(x.contains('.') ? QVariant(x.toDouble()) : QVariant(x.toLongLong()));
        const bool negativo = desde < i_ && p_[desde].texto == QLatin1String("-");
        if (desde < i_) {
            sql_.removeLast();
            deLaPieza_.pop_back();
        }
        const QString fecha = TextoDeNumero(negativo ? -x.toDouble() : x.toDouble());
        if (fecha.isEmpty())
            Rechaza(QStringLiteral("El criterio compara una fecha con %1, que no es un día del calendario: %2")
                        .arg(Escrito(desde, i_), texto_));
        Asocia(fecha);
    }

    // Parentheses keep the function each belongs to, whose arguments are
    // counted; division is never whole-number division, as in the dialect.
    void PonSimbolo(const Previa &antes)
    {
        const QString &x = p_[i_].texto;
        if (x == QLatin1String("("))
            marcos_.push_back({antes.funcion, antes.funcion ? p_[i_ - 1].texto : QString()});
        if (x == QLatin1String(",") && !marcos_.empty())
            ++marcos_.back().comas;
        if (x == QLatin1String(")")) {
            if (marcos_.empty())
                Rechaza(QStringLiteral("El criterio cierra un paréntesis que no abrió"));
            RevisaArgumentos(marcos_.back());
            marcos_.pop_back();
        }
        Escribe(x == QLatin1String("/") ? QStringLiteral("* 1.0 /") : x);
    }

    // At a function's closing parenthesis: as many arguments as it takes.
    void RevisaArgumentos(const Marco &m) const
    {
        if (!m.funcion)
            return;
        const int n = Es(i_ - 1, Pieza::Simbolo, QStringLiteral("(")) ? 0 : m.comas + 1;
        const FuncionCriterio &f = *m.funcion;
        if (n >= f.minimo && n <= f.maximo)
            return;
        const QString lleva = f.minimo == f.maximo ? QString::number(f.minimo)
                                                   : QStringLiteral("%1 o %2").arg(f.minimo).arg(f.maximo);
        Rechaza(QStringLiteral("El criterio da %1 %2 a la función %3, que lleva %4")
                    .arg(QString::number(n), n == 1 ? QStringLiteral("argumento") : QStringLiteral("argumentos"),
                         m.nombre, lleva));
    }

    // A word: a keyword, a function before its parenthesis, or a field; the
    // dialect's word operators that criteria do not take are refused.
    void PonNombre(const Previa &antes)
    {
        static const QStringList claves = {"AND", "OR", "NOT", "LIKE", "IN", "BETWEEN", "IS", "NULL"};
        static const QStringList operadores = {"MOD", "XOR", "EQV", "IMP"};
        const QString mayus = p_[i_].texto.toUpper();
        if (claves.contains(mayus))
            PonClave(mayus, antes);
        else if (operadores.contains(mayus))
            Rechaza(QStringLiteral("El criterio usa un operador que no se acepta: %1").arg(p_[i_].texto));
        else if (Es(i_ + 1, Pieza::Simbolo, QStringLiteral("(")))
            PonFuncion(antes);
        else
            PonCampo();
    }

    // LIKE remembers whether a date column stands before it, and NOT passes
    // that on to a LIKE after it.
    void PonClave(const QString &clave, const Previa &antes)
    {
        Escribe(clave);
        previa_.like = clave == QLatin1String("LIKE");
        if (previa_.like)
            fechaLike_ = antes.fecha;
        else if (clave == QLatin1String("NOT"))
            previa_.fecha = antes.fecha;
    }

    void PonFuncion(const Previa &antes)
    {
        const FuncionCriterio &f = Funcion(p_[i_].texto);
        if (f.sql == QLatin1String("CDATE") && PonCDateDirecto(antes))
            return;
        Escribe(f.sql);
        previa_.funcion = &f;
    }

    // CDATE of a stored date is the column itself (dates are stored as ISO
    // text), of a typed date the bound ISO date; false for anything else.
    bool PonCDateDirecto(const Previa &antes)
    {
        if (!Es(i_ + 3, Pieza::Simbolo, QStringLiteral(")")))
            return false;
        if (Es(i_ + 2, Pieza::Valor)) {
            const QString &texto = p_[i_ + 2].texto;
            if (antes.like && fechaLike_)
                Asocia(PatronFecha(texto));
            else
                Asocia(FechaISO(texto), FechaEnFuncion(QStringLiteral("?")));
            i_ += 3;
            return true;
        }
        if (Es(i_ + 2, Pieza::Nombre)) {
            const Columna col = ColumnaDe(origen_, p_[i_ + 2].texto);
            if (col.fecha) {
                Escribe(ColumnaFecha(col, i_, i_ + 4));
                previa_.fecha = true;
                i_ += 3;
                return true;
            }
        }
        return false;
    }

    void PonCampo()
    {
        const Columna col = ColumnaDe(origen_, p_[i_].texto);
        Escribe(col.fecha ? ColumnaFecha(col, i_, i_ + 1) : Usa(col));
        previa_.fecha = col.fecha;
    }

    // A date column, written from piece `antes` to before piece `despues`: on
    // either side of LIKE it reads day first, inside a function as the
    // innermost function around it takes it.
    QString ColumnaFecha(const Columna &col, size_t antes, size_t despues)
    {
        const QString s = Usa(col);
        if ((antes > 0 && EsLike(antes - 1)) || EsLike(despues))
            return DiaPrimero(s);
        const QString escrita = FechaEnFuncion(s);
        // Stored as text, a date in a sum would count its year alone.
        if (escrita == s && (Cuenta(antes - 1) || Cuenta(despues)))
            Rechaza(QStringLiteral("El criterio hace una cuenta con la fecha %1; use CLng(%1) para contar sus días: %2")
                        .arg(Escrito(antes, despues - 1), texto_));
        return escrita;
    }

    QString FechaEnFuncion(const QString &fecha) const
    {
        for (auto m = marcos_.crbegin(); m != marcos_.crend(); ++m)
            if (m->funcion)
                return FechaComoArgumento(*m->funcion, fecha);
        return fecha;
    }

    bool EsSimbolo(size_t i, const char *simbolo) const { return Es(i, Pieza::Simbolo, QLatin1String(simbolo)); }

    // + - * / or ||: the piece makes its neighbours part of a sum.
    bool Cuenta(size_t i) const
    {
        for (const char *o : {"+", "-", "*", "/", "||"})
            if (EsSimbolo(i, o))
                return true;
        return false;
    }

    bool Comparador(size_t i) const
    {
        for (const char *o : {"=", "<>", "!=", "<", "<=", ">", ">="})
            if (EsSimbolo(i, o))
                return true;
        return false;
    }

    // A + or - at i that gives the number after it its sign.
    bool Signo(size_t i) const
    {
        if (!EsSimbolo(i, "-") && !EsSimbolo(i, "+"))
            return false;
        if (i == 0 || (Es(i - 1, Pieza::Simbolo) && !EsSimbolo(i - 1, ")")))
            return true;
        for (const char *clave : {"AND", "OR", "NOT", "LIKE", "IN", "BETWEEN", "IS"})
            if (EsPalabra(i - 1, clave))
                return true;
        return false;
    }

    // The parenthesis that matches the one at i, looking forward from an
    // opening one or back from a closing one; past the pieces when none.
    size_t Pareja(size_t i) const
    {
        const bool adelante = EsSimbolo(i, "(");
        const char *abre = adelante ? "(" : ")", *cierra = adelante ? ")" : "(";
        int nivel = 0;
        for (size_t j = i; j < p_.size(); adelante ? ++j : --j) {
            nivel += EsSimbolo(j, abre) ? 1 : EsSimbolo(j, cierra) ? -1 : 0;
            if (nivel == 0)
                return j;
        }
        return p_.size();
    }

    // The plain parenthesis that holds piece i, as an IN list does.
    size_t Contiene(size_t i) const
    {
        for (size_t j = i - 1; j < p_.size(); --j) {
            if (EsSimbolo(j, "("))
                return j;
            if (EsSimbolo(j, ")") && (j = Pareja(j)) >= p_.size())
                break;
        }
        return p_.size();
    }

    bool ColumnaDeFecha(size_t i) const
    {
        if (!Es(i, Pieza::Nombre) || EsSimbolo(i + 1, "(") || !SobreEventos(origen_))
            return false;
        const std::optional<Columna> c = ColumnaEventos(p_[i].texto);
        return c && c->fecha;
    }

    // A date as a whole operand, a date column or a CDATE call, that ends at
    // piece i or starts at it; not a part of a sum.
    bool TerminaEnFecha(size_t i) const
    {
        size_t inicio = i;
        if (const size_t abre = Pareja(i); EsSimbolo(i, ")") && abre < p_.size() && EsPalabra(abre - 1, "CDATE"))
            inicio = abre - 1;
        else if (!ColumnaDeFecha(i))
            return false;
        return !Cuenta(inicio - 1);
    }

    bool EmpiezaEnFecha(size_t i) const
    {
        size_t fin = i;
        if (EsPalabra(i, "CDATE") && EsSimbolo(i + 1, "("))
            fin = Pareja(i + 1);
        else if (!ColumnaDeFecha(i))
            return false;
        return fin < p_.size() && !Cuenta(fin + 1);
    }

    // Where the operand that ends at piece i starts: a value, a signed
    // number, a name, a call or a parenthesis.
    size_t InicioOperando(size_t i) const
    {
        if (Es(i, Pieza::Numero) && Signo(i - 1))
            return i - 1;
        if (!EsSimbolo(i, ")"))
            return i;
        const size_t abre = Pareja(i);
        return Es(abre - 1, Pieza::Nombre) && !EsPalabra(abre - 1, "IN") ? abre - 1 : abre;
    }

    // Skips the NOT of NOT BETWEEN and NOT IN, looking back from i.
    size_t SinNot(size_t i) const { return EsPalabra(i, "NOT") ? i - 1 : i; }

    // The value from piece `desde` to `hasta` stands beside a date (a date
    // column or a CDATE call) as the other side of a comparison, a bound of
    // BETWEEN or an item of IN. A value beside a date that is part of a sum
    // is refused: dates are stored as text, and no sum can be compared with
    // one.
    bool ComparadoConFecha(size_t desde, size_t hasta) const
    {
        const size_t antes = desde - 1, despues = hasta + 1;
        const size_t inferior = InicioOperando(antes - 1);
        const size_t lista = Contiene(desde);
        const bool fecha = (Comparador(antes) && TerminaEnFecha(antes - 1))
            || (Comparador(despues) && EmpiezaEnFecha(despues + 1))
            || (EsPalabra(antes, "BETWEEN") && TerminaEnFecha(SinNot(antes - 1)))
            || (EsPalabra(antes, "AND") && EsPalabra(inferior - 1, "BETWEEN") && TerminaEnFecha(SinNot(inferior - 2)))
            || (EsPalabra(lista - 1, "IN") && TerminaEnFecha(SinNot(lista - 2)));
        if (fecha && (Cuenta(antes) || Cuenta(despues)))
            Rechaza(QStringLiteral("El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: %1").arg(texto_));
        return fecha;
    }

    OrigenConsulta origen_;
    CondicionSQL &c_;
    std::vector<Pieza> p_;
    size_t i_ = 0;             // the piece being written
    QString texto_;            // the criteria as it runs
    QStringList sql_;
    std::vector<size_t> deLaPieza_;   // the piece each entry of sql_ was written for
    Previa previa_;
    std::vector<Marco> marcos_;   // the open parentheses, innermost last
    bool fechaLike_ = false;   // the last LIKE stands beside a date column
};

} // namespace

CondicionSQL TraduceCriterio(const QString &criterio, OrigenConsulta origen, const QString &campoOrden,
                             bool descendente)
{
    CondicionSQL c;
    Traductor t(origen, c);
    t.Traduce(TextoCriterio(criterio));
    const QString orden = campoOrden.trimmed();
    if (!orden.isEmpty() && orden != QLatin1String("(ninguno)")) {
        const CampoConsulta *campo = BuscaCampo(origen, orden);
        if (!campo)
            Rechaza(QStringLiteral("No se puede ordenar por %1").arg(orden));
        c.orden = t.Usa(ColumnaDe(origen, campo->Entrada())) + (descendente ? QStringLiteral(" DESC") : QString());
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
