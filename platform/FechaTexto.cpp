#include "platform/FechaTexto.h"

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
