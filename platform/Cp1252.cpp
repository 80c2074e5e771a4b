#include "platform/Cp1252.h"

namespace {

// 0x80 to 0x9F; the rest of the page is Latin-1. 0 marks an unassigned byte.
constexpr char16_t Alto[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

char ByteCp1252(char32_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (Alto[i] != 0 && Alto[i] == u)
            return char(0x80 + i);
    return 0;
}

std::optional<QByteArray> ACp1252(const QString &texto)
{
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto) {
        const char b = ByteCp1252(c.unicode());
        if (b == 0 && !c.isNull())
            return std::nullopt;
        bytes.append(b);
    }
    return bytes;
}

QString DeCp1252(const QByteArray &bytes)
{
    QString texto;
    texto.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = uchar(b);
        if (u >= 0x80 && u < 0xA0)
            texto.append(Alto[u - 0x80] ? QChar(Alto[u - 0x80]) : QChar(QChar::ReplacementCharacter));
        else
            texto.append(QChar(u));
    }
    return texto;
}
