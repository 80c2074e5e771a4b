// Typing over a dd/MM/yyyy date as a masked entry does.
#include "platform/CajaFecha.h"

#include <gtest/gtest.h>

namespace {

// From "26/12/2025" with the cursor at `cursor`, each key in turn ('<' is
// Backspace, '[' and ']' the arrows): the text, the cursor and the date it makes.
TEST(TecleoFecha, CadaTeclaEnSuLugar)
{
    const struct {
        int cursor;
        const char *teclas, *texto;
        int posicion;
        const char *fecha;
    } casos[] = {
        {1, "05032026", "05/03/2026", 10, "2026-03-05"},
        {0, "05/03/2026", "05/03/2026", 10, "2026-03-05"},
        {2, "5/3/2026", "05/03/2026", 10, "2026-03-05"},
        {0, "7", "7_/12/2025", 1, "2025-12-07"},          // one digit of the day is that day
        {4, "0", "26/0_/2025", 4, ""},
        {9, "2026", "26/12/2026", 10, "2026-12-26"},      // the click on the year types the year
        {9, "26/", "26/12/26__", 8, ""},                  // no bar inside the year
        {0, "0503<<", "05/__/2025", 3, ""},
        {0, "31022026", "31/02/2026", 10, ""},
        {0, "051220261", "05/12/2026", 10, "2026-12-05"}, // nothing past the year
        {1, "0]3[[4", "4_/3_/2025", 1, "2025-03-04"},     // the arrows go a section left or right
    };
    for (const auto &c : casos) {
        TecleoFecha t;
        t.Empieza(QStringLiteral("26/12/2025"), c.cursor);
        for (const char *k = c.teclas; *k; ++k)
            *k == '<' ? t.Retrocede()
            : *k == '[' || *k == ']' ? t.Mueve(*k == '[' ? -1 : 1)
            : *k == '/' ? void(t.Separador()) : void(t.Digito(QLatin1Char(*k)));
        EXPECT_EQ(QStringList({t.Texto(), QString::number(t.Posicion()), t.Fecha().toString(Qt::ISODate)}),
                  QStringList({c.texto, QString::number(c.posicion), c.fecha}))
            << c.teclas;
    }
}

} // namespace
