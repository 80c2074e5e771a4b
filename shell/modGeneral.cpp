#include "shell/modGeneral.h"

#include "platform/BaseDatos.h"
#include "platform/FechaTexto.h"
#include "platform/FuncionesSql.h"

#include <QDate>
#include <limits>

QString TituloAplicacion()
{
    return QStringLiteral("VELMORAN2016");
}

int EjecutaSQL(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
{
    return bd.EjecutaAccion(sql, valores);
}

namespace {

void Suelta(const BaseDatos &bd, const QString &sql)
{
    try {
        bd.EjecutaAccion(sql);
    } catch (const ErrorBD &) {
        // Dropping a work table that cannot be dropped leaves the rebuild to fail loudly.
    }
}

} // namespace

void TablasTemporales::Borra(const BaseDatos &bd, const QString &nombre, bool vista)
{
    Suelta(bd, QStringLiteral("DROP %1 IF EXISTS temp.").arg(vista ? QLatin1String("VIEW") : QLatin1String("TABLE"))
                   + CitaNombre(nombre));
}

void TablasTemporales::Anota(const QString &nombre, bool vista)
{
    Borra(bd_, nombre, vista);
    QStringList &nombres = vista ? vistas_ : tablas_;
    if (!nombres.contains(nombre))
        nombres << nombre;
}

void TablasTemporales::Borra()
{
    for (const QString &v : std::as_const(vistas_))
        Borra(bd_, v, true);
    for (const QString &t : std::as_const(tablas_))
        Borra(bd_, t);
    vistas_.clear();
    tablas_.clear();
}

QString FechaSQL(const QString &valor)
{
    // Day and month with one or two digits, as the platform's parsing takes them.
    const QDate d = QDate::fromString(valor.trimmed(), QStringLiteral("d/M/yyyy"));
    return d.isValid() ? d.toString(Qt::ISODate) : valor;
}

qint64 ValorEntero(const QString &texto)
{
    // Digit by digit, not through a double, which would round large folios.
    qint64 n = 0;
    bool negativo = false;
    int i = 0;
    const int largo = int(texto.size());
    while (i < largo && texto.at(i).isSpace())
        ++i;
    if (i < largo && (texto.at(i) == QLatin1Char('-') || texto.at(i) == QLatin1Char('+')))
        negativo = texto.at(i++) == QLatin1Char('-');
    for (; i < largo; ++i) {
        const QChar c = texto.at(i);
        if (c.isSpace())
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        const int d = c.unicode() - '0';
        if (n > (std::numeric_limits<qint64>::max() - d) / 10)
            return negativo ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        n = n * 10 + d;
    }
    return negativo ? -n : n;
}

bool ValidaFecha(const QString &fecha, Mensajes &mensajes, const Reloj &reloj)
{
    if (fecha.size() < 10)
        return false;
    const int ano = ValorEntero(fecha.mid(6, 4));
    if (ano < 1900 || ano > reloj.Hoy().year())
        return false;
    const int mes = ValorEntero(fecha.mid(3, 2));
    if (mes > 12)
        return false;
    const int dia = ValorEntero(fecha.mid(0, 2));
    switch (mes) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        if (dia > 31) return false;
        break;
    case 4: case 6: case 9: case 11:
        if (dia > 30) return false;
        break;
    case 2:
        if (dia > 29) return false;
        break;
    default:
        break;
    }
    if (!FechaDeTexto(fecha.left(10)).isValid()) {
        mensajes.Beep();
        mensajes.Informa(QStringLiteral("Fecha invalida, verifique por favor....."), QStringLiteral("Valida Fecha"));
        return false;
    }
    return true;
}

bool MovidaDelUsuario(Qt::FocusReason razon)
{
    switch (razon) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    default:
        // A message box or a pick-list (ActiveWindowFocusReason), a popup, or
        // a focus request of the window (OtherFocusReason).
        return false;
    }
}
