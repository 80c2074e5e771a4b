#include "platform/FechaTexto.h"

#include <QTime>
#include <cmath>

QDate FechaDeTexto(const QString &texto)
{
    // Two digits, "/", two digits, "/", four digits: read straight.
    if (texto.size() == 10 && texto.at(2) == QLatin1Char('/') && texto.at(5) == QLatin1Char('/')) {
        static constexpr int posiciones[8] = {0, 1, 3, 4, 6, 7, 8, 9};
        int d[8];
        bool digitos = true;
        for (int i = 0; i < 8; ++i) {
            const char16_t c = texto.at(posiciones[i]).unicode();
            digitos = digitos && c >= u'0' && c <= u'9';
            d[i] = int(c) - '0';
        }
        if (digitos)
            return QDate(d[4] * 1000 + d[5] * 100 + d[6] * 10 + d[7], d[2] * 10 + d[3], d[0] * 10 + d[1]);
    }
    // Anything else goes to Qt's parser, which gives it the same answer as before.
    return QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
}

QDate FechaDelDialecto(const QString &texto)
{
    const QString s = texto.trimmed();
    const QDate iso = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
    if (iso.isValid() && (s.size() == 10 || s.at(10) == QLatin1Char(' ') || s.at(10) == QLatin1Char('T')))
        return iso;
    const QDate d = FechaDeTexto(s);
    return d.isValid() ? d : QDate::fromString(s, QStringLiteral("d/M/yyyy"));
}

QDate FechaDeNumero(double numero)
{
    constexpr double PrimerDia = -657434.0, UltimoDia = 2958465.0;
    const double dias = std::trunc(numero);
    if (!(dias >= PrimerDia && dias <= UltimoDia))
        return {};
    return QDate(1899, 12, 30).addDays(qint64(dias));
}

QString TextoDeNumero(double numero)
{
    const QDate dia = FechaDeNumero(numero);
    if (!dia.isValid())
        return {};
    // The time to the second; one that rounds up to midnight stays on its day.
    const qint64 segundos = qMin<qint64>(qRound64(std::fabs(numero - std::trunc(numero)) * 86400.0), 86399);
    const QString fecha = dia.toString(Qt::ISODate);
    return segundos == 0 ? fecha : fecha + QLatin1Char(' ') + QTime(0, 0).addSecs(int(segundos)).toString(QStringLiteral("hh:mm:ss"));
}
