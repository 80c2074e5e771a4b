#include "queries/CriteriosConsulta.h"

#include "events/MapaEvento.h"
#include "platform/BaseDatos.h"
#include "platform/FechaTexto.h"
#include "platform/SentenciaSqlite.h"

#include <QDate>
#include <QHash>
#include <optional>
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

// A number as typed, as the number it is: a whole number that does not fit
// in 64 bits, like one with a fraction, is a real.
QVariant NumeroEscrito(const QString &x)
{
    bool entero = false;
    const qlonglong n = x.contains('.') ? 0 : x.toLongLong(&entero);
    return entero ? QVariant(n) : QVariant(x.toDouble());
}

// Reads the criteria as the grammar groups it. Every name is looked up
// first (a keyword, a function or a field), SQLite's own parser judges the
// grammar, and the pieces are then grouped into a tree with SQLite's
// precedence, so that what stands beside a date is decided on the operands
// of each comparison, BETWEEN and IN, whatever parentheses or functions hold
// them. The SQL is written from the tree, piece by piece as the user wrote
// it: every value bound, each date in the form its place takes.
class Traductor {
public:
    Traductor(OrigenConsulta origen, CondicionSQL &c) : origen_(origen), c_(c) {}

    void Traduce(const QString &texto)
    {
        texto_ = texto;
        p_ = Piezas(texto);
        Nombra();
        RevisaSintaxis();
        const int raiz = Expresion();
        if (pos_ < p_.size())
            NoSeEntiende(pos_);
        c_.sql = QLatin1Char('(') + Sql(raiz) + QLatin1Char(')');
    }

    // A column of the condition, with the detail join it needs.
    QString Usa(const Columna &col)
    {
        if (!col.alias.isEmpty() && col.alias != QLatin1String("E") && !c_.uniones.contains(col.alias))
            c_.uniones << col.alias;
        return col.sql;
    }

private:
    // What a piece names, and how SQLite's parser is shown it.
    struct Lectura {
        QString clave;                              // a keyword, in capitals
        const FuncionCriterio *funcion = nullptr;   // a function, whose parenthesis follows
        std::optional<Columna> campo;               // a field
        QString sql;
    };

    // A part of the criteria as the grammar groups it, written with the
    // pieces from `desde` to `hasta`.
    struct Nodo {
        enum Clase { Hoja, Llamada, Parentesis, Signo, No, NoNulo, Binario, Like, Entre, En } clase;
        size_t desde, hasta;
        QString op;           // Binario: "+", "=", "AND", "IS NOT" ...; Signo: "-" or "+"
        bool niega;           // NOT LIKE, NOT BETWEEN, NOT IN
        std::vector<int> hijos;
    };

    // Pieces are looked at by index; past the last there is none.
    bool EsSimbolo(size_t i, const char *s) const
    {
        return i < p_.size() && p_[i].tipo == Pieza::Simbolo && p_[i].texto == QLatin1String(s);
    }

    bool EsClave(size_t i, const char *clave) const { return i < l_.size() && l_[i].clave == QLatin1String(clave); }

    // Takes the symbol or keyword `s` when it comes next.
    bool Toma(const char *s)
    {
        if (!EsSimbolo(pos_, s) && !EsClave(pos_, s))
            return false;
        ++pos_;
        return true;
    }

    // What the user wrote from piece `desde` to piece `hasta`.
    QString Escrito(size_t desde, size_t hasta) const
    {
        return texto_.mid(p_[desde].inicio, p_[hasta].inicio + p_[hasta].largo - p_[desde].inicio);
    }

    QString Escrito(int n) const { return Escrito(nodos_[n].desde, nodos_[n].hasta); }

    // Each name is a keyword, a function before its parenthesis or a field;
    // the dialect's word operators that criteria do not take are refused, and
    // parentheses must pair.
    void Nombra()
    {
        static const QStringList claves = {"AND", "OR", "NOT", "LIKE", "IN", "BETWEEN", "IS", "NULL"};
        static const QStringList operadores = {"MOD", "XOR", "EQV", "IMP"};
        int abiertos = 0;
        for (size_t i = 0; i < p_.size(); ++i) {
            const Pieza &p = p_[i];
            Lectura l;
            l.sql = p.tipo == Pieza::Simbolo ? p.texto : QStringLiteral("?");
            if (EsSimbolo(i, "("))
                ++abiertos;
            if (EsSimbolo(i, ")") && --abiertos < 0)
                Rechaza(QStringLiteral("El criterio cierra un paréntesis que no abrió"));
            if (p.tipo == Pieza::Nombre) {
                const QString mayus = p.texto.toUpper();
                if (claves.contains(mayus)) {
                    l.clave = l.sql = mayus;
                } else if (operadores.contains(mayus)) {
                    Rechaza(QStringLiteral("El criterio usa un operador que no se acepta: %1").arg(p.texto));
                } else if (EsSimbolo(i + 1, "(")) {
                    l.funcion = &Funcion(p.texto);
                    l.sql = l.funcion->sql;
                } else {
                    l.campo = ColumnaDe(origen_, p.texto);
                    l.sql = Usa(*l.campo);
                }
            }
            l_.push_back(l);
        }
        if (abiertos > 0)
            Rechaza(QStringLiteral("El criterio abre un paréntesis que no cierra"));
    }

    // A grammar fault, in the user's words: the piece where the criteria
    // stops making sense, or that it ends before the condition does.
    [[noreturn]] void NoSeEntiende(size_t pieza) const
    {
        if (pieza < p_.size())
            Rechaza(QStringLiteral("El criterio no se entiende a partir de \"%1\": %2").arg(Escrito(pieza, pieza), texto_));
        Rechaza(QStringLiteral("El criterio termina sin completar la condición: %1").arg(texto_));
    }

    // SQLite's own parser judges the grammar first (an operator without its
    // operand, two values with nothing between them, a criteria cut short,
    // nesting deeper than it reads).
    void RevisaSintaxis() const
    {
        QStringList sql;
        for (const Lectura &l : l_)
            sql << l.sql;
        const int falla = FallaDeSintaxis(QLatin1Char('(') + sql.join(' ') + QLatin1Char(')'));
        if (falla == FallaPorTamano)
            Rechaza(QStringLiteral("El criterio es demasiado largo o anida demasiados paréntesis para la Base de Datos: %1").arg(texto_));
        if (falla < 0)
            return;
        int fin = 1;   // past the opening parenthesis
        for (size_t k = 0; k < l_.size(); ++k) {
            fin += int(l_[k].sql.toUtf8().size());
            if (falla < fin)
                NoSeEntiende(k);
            ++fin;   // the blank between two pieces
        }
        NoSeEntiende(p_.size());
    }

    int Nuevo(Nodo::Clase clase, size_t desde, std::vector<int> hijos, const QString &op = {}, bool niega = false)
    {
        nodos_.push_back({clase, desde, pos_ - 1, op, niega, std::move(hijos)});
        return int(nodos_.size()) - 1;
    }

    // The grammar, from the loosest operator to the tightest, as SQLite
    // groups it: OR; AND; NOT; = <> != IS LIKE BETWEEN IN; < <= > >=; + -;
    // * /; ||; the signs; a value, a field, a call or a parenthesis. Only
    // what SQLite's parser took comes here; what it takes but the engine
    // then refuses (a list where one value goes, IN without a list) is
    // refused in Spanish.
    int Expresion() { return Nivel({"OR"}, &Traductor::Y); }
    int Y() { return Nivel({"AND"}, &Traductor::No); }

    int No()
    {
        const size_t desde = pos_;
        if (!Toma("NOT"))
            return Igualdad();
        const int h = No();
        return Nuevo(Nodo::No, desde, {h});
    }

    int Igualdad()
    {
        int l = Relacion();
        for (;;) {
            const size_t desde = nodos_[l].desde;
            QString op;
            for (const char *o : {"=", "<>", "!="})
                if (op.isEmpty() && Toma(o))
                    op = QLatin1String(o);
            if (!op.isEmpty() || Toma("IS")) {
                if (op.isEmpty())
                    op = Toma("NOT") ? QStringLiteral("IS NOT") : QStringLiteral("IS");
                const int r = Relacion();
                l = Nuevo(Nodo::Binario, desde, {l, r}, op);
                continue;
            }
            const bool niega = EsClave(pos_, "NOT");
            const size_t clave = pos_ + (niega ? 1 : 0);
            if (EsClave(clave, "LIKE")) {
                pos_ = clave + 1;
                const int r = Relacion();
                l = Nuevo(Nodo::Like, desde, {l, r}, {}, niega);
            } else if (EsClave(clave, "BETWEEN")) {
                pos_ = clave + 1;
                const int desdeValor = No();
                if (!Toma("AND"))
                    NoSeEntiende(pos_);
                const int hastaValor = Relacion();
                l = Nuevo(Nodo::Entre, desde, {l, desdeValor, hastaValor}, {}, niega);
            } else if (EsClave(clave, "IN")) {
                pos_ = clave + 1;
                if (!Toma("("))
                    Rechaza(QStringLiteral("El criterio no pone entre paréntesis los valores que siguen a IN: %1").arg(texto_));
                std::vector<int> hijos = {l};
                if (!EsSimbolo(pos_, ")"))
                    do
                        hijos.push_back(Expresion());
                    while (Toma(","));
                if (!Toma(")"))
                    NoSeEntiende(pos_);
                l = Nuevo(Nodo::En, desde, std::move(hijos), {}, niega);
            } else if (niega && EsClave(clave, "NULL")) {
                pos_ = clave + 1;
                l = Nuevo(Nodo::NoNulo, desde, {l});
            } else {
                return l;
            }
        }
    }

    // One level of operators that group from the left.
    int Nivel(std::initializer_list<const char *> operadores, int (Traductor::*siguiente)())
    {
        int l = (this->*siguiente)();
        for (bool otro = true; otro;) {
            otro = false;
            for (const char *o : operadores)
                if (Toma(o)) {
                    const int r = (this->*siguiente)();
                    l = Nuevo(Nodo::Binario, nodos_[l].desde, {l, r}, QLatin1String(o));
                    otro = true;
                    break;
                }
        }
        return l;
    }

    int Relacion() { return Nivel({"<", "<=", ">", ">="}, &Traductor::Suma); }
    int Suma() { return Nivel({"+", "-"}, &Traductor::Producto); }
    int Producto() { return Nivel({"*", "/"}, &Traductor::Concatena); }
    int Concatena() { return Nivel({"||"}, &Traductor::Unario); }

    int Unario()
    {
        const size_t desde = pos_;
        for (const char *signo : {"-", "+"})
            if (Toma(signo)) {
                const int h = Unario();
                return Nuevo(Nodo::Signo, desde, {h}, QLatin1String(signo));
            }
        return EsClave(pos_, "NOT") ? No() : Primario();
    }

    int Primario()
    {
        const size_t desde = pos_;
        if (desde >= p_.size())
            NoSeEntiende(desde);
        const Lectura &l = l_[desde];
        if (p_[desde].tipo == Pieza::Valor || p_[desde].tipo == Pieza::Numero || l.campo || l.clave == QLatin1String("NULL")) {
            ++pos_;
            return Nuevo(Nodo::Hoja, desde, {});
        }
        const bool llamada = l.funcion != nullptr;
        if (!llamada && !EsSimbolo(desde, "("))
            NoSeEntiende(desde);
        pos_ += llamada ? 2 : 1;
        std::vector<int> dentro;
        if (!llamada || !EsSimbolo(pos_, ")"))
            do
                dentro.push_back(Expresion());
            while (Toma(","));
        if (!Toma(")"))
            NoSeEntiende(pos_);
        if (llamada) {
            RevisaArgumentos(desde, int(dentro.size()));
            return Nuevo(Nodo::Llamada, desde, std::move(dentro));
        }
        if (dentro.size() > 1)
            Rechaza(QStringLiteral("El criterio pone la lista %1 donde va un solo valor; una lista de valores va tras IN: %2")
                        .arg(Escrito(desde, pos_ - 1), texto_));
        return Nuevo(Nodo::Parentesis, desde, std::move(dentro));
    }

    // A call with as many arguments as its function takes.
    void RevisaArgumentos(size_t nombre, int n) const
    {
        const FuncionCriterio &f = *l_[nombre].funcion;
        if (n >= f.minimo && n <= f.maximo)
            return;
        const QString lleva = f.minimo == f.maximo ? QString::number(f.minimo)
                                                   : QStringLiteral("%1 o %2").arg(f.minimo).arg(f.maximo);
        Rechaza(QStringLiteral("El criterio da %1 %2 a la función %3, que lleva %4")
                    .arg(QString::number(n), n == 1 ? QStringLiteral("argumento") : QStringLiteral("argumentos"),
                         p_[nombre].texto, lleva));
    }

    bool EsFuncion(const Nodo &x, const char *sql) const
    {
        return x.clase == Nodo::Llamada && l_[x.desde].funcion->sql == QLatin1String(sql);
    }

    int SinParentesis(int n) const
    {
        while (nodos_[n].clase == Nodo::Parentesis)
            n = nodos_[n].hijos.front();
        return n;
    }

    // The quoted value that node n is, parentheses aside; past the pieces when it is none.
    size_t Valor(int n) const
    {
        const Nodo &x = nodos_[SinParentesis(n)];
        return x.clase == Nodo::Hoja && p_[x.desde].tipo == Pieza::Valor ? x.desde : p_.size();
    }

    // A date: a date column, a CDATE call, an IIf that gives one; in
    // parentheses or not.
    bool EsFecha(int n) const
    {
        const Nodo &x = nodos_[SinParentesis(n)];
        if (x.clase == Nodo::Hoja)
            return l_[x.desde].campo && l_[x.desde].campo->fecha;
        if (EsFuncion(x, "CDATE"))
            return true;
        return EsFuncion(x, "iif") && (EsFecha(x.hijos[1]) || EsFecha(x.hijos[2]));
    }

    // Names no field: the same for every event.
    bool EsConstante(int n) const
    {
        const Nodo &x = nodos_[n];
        if (x.clase == Nodo::Hoja)
            return !l_[x.desde].campo;
        for (const int h : x.hijos)
            if (!EsConstante(h))
                return false;
        return true;
    }

    static bool EsCuenta(const QString &op)
    {
        return op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*") || op == QLatin1String("/")
            || op == QLatin1String("||");
    }

    // A sum, product or joined text, inside parentheses and signs or not.
    bool EsCuenta(int n) const
    {
        int m = SinParentesis(n);
        while (nodos_[m].clase == Nodo::Signo)
            m = SinParentesis(nodos_[m].hijos.front());
        return nodos_[m].clase == Nodo::Binario && EsCuenta(nodos_[m].op);
    }

    QString Asocia(const QVariant &valor, const QString &marca = QStringLiteral("?"))
    {
        c_.valores << valor;
        return marca;
    }

    QString Sql(int n)
    {
        const Nodo &x = nodos_[n];
        switch (x.clase) {
        case Nodo::Hoja: return Hoja(x.desde);
        case Nodo::Llamada: return Llamada(x);
        case Nodo::Parentesis: return QStringLiteral("( ") + Sql(x.hijos.front()) + QStringLiteral(" )");
        case Nodo::Signo: return x.op + QLatin1Char(' ') + Operando(x.hijos.front());
        case Nodo::No: return QStringLiteral("NOT ") + Sql(x.hijos.front());
        case Nodo::NoNulo: return Sql(x.hijos.front()) + QStringLiteral(" NOT NULL");
        case Nodo::Like: return Like(x);
        case Nodo::Entre:
        case Nodo::En: return Compara(x);
        case Nodo::Binario: break;
        }
        if (!EsCuenta(x.op) && x.op != QLatin1String("AND") && x.op != QLatin1String("OR"))
            return Compara(x);
        const bool cuenta = EsCuenta(x.op);
        const QString l = cuenta ? Operando(x.hijos[0]) : Sql(x.hijos[0]);
        const QString r = cuenta ? Operando(x.hijos[1]) : Sql(x.hijos[1]);
        // Division is never whole-number division, as in the dialect.
        return l + QLatin1Char(' ') + (x.op == QLatin1String("/") ? QStringLiteral("* 1.0 /") : x.op) + QLatin1Char(' ') + r;
    }

    // A value, always bound (a text whatever the case of its letters, as
    // users expect), a field or NULL.
    QString Hoja(size_t i)
    {
        const Pieza &p = p_[i];
        if (p.tipo == Pieza::Valor)
            return Asocia(p.texto, QStringLiteral("? COLLATE NOCASE"));
        if (p.tipo == Pieza::Numero)
            return Asocia(NumeroEscrito(p.texto));
        return l_[i].sql;
    }

    // An operand of a sum, a product, a joined text or a sign: dates are
    // stored as text, and in a sum a date would count its year alone.
    QString Operando(int n)
    {
        if (EsFecha(n))
            Rechaza(QStringLiteral("El criterio hace una cuenta con la fecha %1; use CLng(%1) para contar sus días: %2")
                        .arg(Escrito(n), texto_));
        return Sql(n);
    }

    // CDATE of a date is that date (dates are stored as ISO text), of a
    // quoted date the bound ISO date. A date handed to another function
    // takes the form that function takes it in; the two values an IIf
    // chooses between, when one is a date, are both dates.
    QString Llamada(const Nodo &x)
    {
        const FuncionCriterio &f = *l_[x.desde].funcion;
        if (f.sql == QLatin1String("CDATE")) {
            if (EsFecha(x.hijos.front()))
                return Sql(x.hijos.front());
            if (const size_t v = Valor(x.hijos.front()); v < p_.size())
                return Asocia(FechaISO(p_[v].texto));
        }
        const bool fechas = f.sql == QLatin1String("iif") && EsFecha(x.hijos[1]) != EsFecha(x.hijos[2]);
        QStringList argumentos;
        for (size_t k = 0; k < x.hijos.size(); ++k) {
            const int h = x.hijos[k];
            if (EsFecha(h))
                argumentos << FechaComoArgumento(f, Sql(h));
            else
                argumentos << (fechas && k > 0 ? JuntoAFecha(h) : Sql(h));
        }
        return f.sql + QStringLiteral(" ( ") + argumentos.join(QStringLiteral(" , ")) + QStringLiteral(" )");
    }

    // A date on either side of LIKE reads day first, as the user sees it, and
    // a quoted pattern beside it must be able to match such a text; any other
    // quoted pattern takes the wildcards users know, * and ?.
    QString Like(const Nodo &x)
    {
        const int l = x.hijos[0], r = x.hijos[1];
        const bool fecha = EsFecha(l);
        const QString izquierda = fecha ? DiaPrimero(Sql(l)) : Sql(l);
        size_t patron = Valor(r);
        if (fecha && patron >= p_.size() && EsFuncion(nodos_[SinParentesis(r)], "CDATE"))
            patron = Valor(nodos_[SinParentesis(r)].hijos.front());
        QString derecha;
        if (fecha && patron < p_.size()) {
            derecha = Asocia(PatronFecha(p_[patron].texto));
        } else if (EsFecha(r)) {
            derecha = DiaPrimero(Sql(r));
        } else if (patron < p_.size()) {
            QString v = p_[patron].texto;
            derecha = Asocia(v.replace('*', '%').replace('?', '_'), QStringLiteral("? COLLATE NOCASE"));
        } else {
            derecha = Sql(r);
        }
        return izquierda + (x.niega ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) + derecha;
    }

    // A comparison, BETWEEN or IN: when one operand is a date, every other
    // one is written as a date.
    QString Compara(const Nodo &x)
    {
        bool fecha = false;
        for (const int h : x.hijos)
            fecha = fecha || EsFecha(h);
        QStringList o;
        for (const int h : x.hijos)
            o << (fecha && !EsFecha(h) ? JuntoAFecha(h) : Sql(h));
        if (x.clase == Nodo::Entre)
            return o[0] + (x.niega ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) + o[1]
                + QStringLiteral(" AND ") + o[2];
        if (x.clase == Nodo::En) {
            const QString valores = o.mid(1).join(QStringLiteral(" , "));
            return o[0] + (x.niega ? QStringLiteral(" NOT IN ( ") : QStringLiteral(" IN ( ")) + valores
                + (valores.isEmpty() ? QStringLiteral(")") : QStringLiteral(" )"));
        }
        return o[0] + QLatin1Char(' ') + x.op + QLatin1Char(' ') + o[1];
    }

    // What stands beside a date, itself no date. A value the same for every
    // event (a number, a quoted date, a function of them, in parentheses or
    // with a sign) is computed now: a number is a day number, which the
    // dialect compares with a date as the date's own number, and becomes its
    // day as dates are stored; a text must be a date. A sum is refused, as
    // is anything that changes with the event: a number or a text compared
    // with a date as stored would give a wrong answer without a word.
    QString JuntoAFecha(int n)
    {
        if (EsCuenta(n)) {
            Sql(n);   // a date inside it is the first fault
            Rechaza(QStringLiteral("El criterio compara una fecha con una cuenta, que no se puede hacer con fechas: %1").arg(texto_));
        }
        const Nodo &x = nodos_[SinParentesis(n)];
        if (x.clase == Nodo::Hoja && l_[x.desde].clave == QLatin1String("NULL"))
            return Sql(n);
        if (!EsConstante(n))
            Rechaza(QStringLiteral("El criterio compara una fecha con %1, que no es una fecha; escriba CDate(%1) para leerlo como fecha: %2")
                        .arg(Escrito(n), texto_));
        const QVariant v = Constante(n);
        if (v.isNull())
            return Asocia(QVariant());
        if (v.typeId() == QMetaType::QString)
            return Asocia(FechaISO(v.toString()));
        const QString dia = TextoDeNumero(v.toDouble());
        if (dia.isEmpty())
            Rechaza(QStringLiteral("El criterio compara una fecha con %1, que no es un día del calendario: %2").arg(Escrito(n), texto_));
        return Asocia(dia);
    }

    // The value of a part that names no field, computed by the engine with
    // the dialect's own functions.
    QVariant Constante(int n)
    {
        const Nodo &x = nodos_[SinParentesis(n)];
        if (x.clase == Nodo::Hoja && p_[x.desde].tipo == Pieza::Valor)
            return p_[x.desde].texto;
        if (x.clase == Nodo::Hoja && p_[x.desde].tipo == Pieza::Numero)
            return NumeroEscrito(p_[x.desde].texto);
        const qsizetype marca = c_.valores.size();
        const QString sql = Sql(n);
        const QVariantList valores = c_.valores.mid(marca);
        c_.valores.resize(marca);
        try {
            return ValorConstante(sql, valores);
        } catch (const ErrorBD &e) {
            Rechaza(QStringLiteral("El criterio compara una fecha con %1, que no se puede calcular (%2): %3")
                        .arg(Escrito(n), e.TextoMotor(), texto_));
        }
    }

    OrigenConsulta origen_;
    CondicionSQL &c_;
    QString texto_;              // the criteria as it runs
    std::vector<Pieza> p_;
    std::vector<Lectura> l_;     // what each piece names
    std::vector<Nodo> nodos_;    // the tree, each node after its children
    size_t pos_ = 0;             // the next piece to group
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
