// The dialect's functions on a real database file, as the Windows
// file-database engine gives them.
#include "comun/ProgramaTemporal.h"

#include <gtest/gtest.h>

namespace {

// "type|value" of an expression, or the engine's words when it fails.
QString Evalua(ProgramaTemporal &p, const QString &expresion, const QVariantList &valores)
{
    try {
        return p.Filas(QStringLiteral("SELECT typeof(x), x FROM (SELECT %1 AS x)").arg(expresion), valores).join(';');
    } catch (const ErrorBD &e) {
        return e.TextoMotor();
    }
}

TEST(FuncionesSql, ComoLasDelDialecto)
{
    const struct {
        const char *expresion;
        QVariantList valores;
        const char *resultado;
    } casos[] = {
        // LEFT and RIGHT: NULL stays NULL, a number reads as its text, the count rounds half to even.
        {"\"LEFT\"(?, 2)", {"ABCD"}, "text|AB"},
        {"\"left\"(?, 9)", {"AB"}, "text|AB"},
        {"\"LEFT\"(NULL, 2)", {}, "null|"},
        {"\"LEFT\"(12345, ?)", {2.5}, "text|12"},
        {"\"LEFT\"(?, -1)", {"AB"}, "Argumento no válido en LEFT: -1"},
        {"\"LEFT\"(?, NULL)", {"AB"}, "Uso no válido de Null: LEFT"},
        {"\"RIGHT\"(?, 3)", {"ÑANDÚ"}, "text|NDÚ"},
        {"\"RIGHT\"(1.5, 2)", {}, "text|.5"},
        // IIF: a NULL condition takes the false part.
        {"iif(NULL, 1, 2)", {}, "integer|2"},
        {"IIF(? > 1, 'a', 'b')", {3}, "text|a"},
        // CSTR: whole numbers without a point; NULL is refused.
        {"CSTR(1.5)", {}, "text|1.5"},
        {"CSTR(2.0)", {}, "text|2"},
        {"cstr(?)", {"x"}, "text|x"},
        {"CSTR(NULL)", {}, "Uso no válido de Null: CSTR"},
        // CINT and CLNG: halves to the even neighbour, range and type checked.
        {"CINT(2.5)", {}, "integer|2"},
        {"CINT(3.5)", {}, "integer|4"},
        {"CINT(-2.5)", {}, "integer|-2"},
        {"CINT(?)", {" 12.5 "}, "integer|12"},
        {"CINT(-32768.5)", {}, "integer|-32768"},
        {"CINT(32767.5)", {}, "Desbordamiento: CINT(32767.5)"},
        {"CINT(?)", {"abc"}, "No coinciden los tipos: CINT('abc')"},
        {"CINT(?)", {""}, "No coinciden los tipos: CINT('')"},
        {"CINT(NULL)", {}, "Uso no válido de Null: CINT"},
        {"CLNG(40000)", {}, "integer|40000"},
        {"CLNG(-0.5)", {}, "integer|0"},
        {"CLNG(2147483647.5)", {}, "Desbordamiento: CLNG(2147483647.5)"},
        // DAY, MONTH, YEAR: the stored date, a typed one day first, a day number; NULL stays NULL.
        {"DAY(?)", {"2025-06-15"}, "integer|15"},
        {"MONTH(?)", {"05/06/2025"}, "integer|6"},
        {"MONTH(?)", {"6/5/2025"}, "integer|5"},
        {"YEAR(?)", {"2025-06-15 10:30:00"}, "integer|2025"},
        {"YEAR(45823)", {}, "integer|2025"},
        {"YEAR(NULL)", {}, "null|"},
        {"DAY(?)", {"31/02/2025"}, "No coinciden los tipos: DAY('31/02/2025')"},
        // Day numbers: day 0 is 30/12/1899; a negative one's date counts toward zero.
        {"DAY(45823)", {}, "integer|15"},
        {"MONTH(45823)", {}, "integer|6"},
        {"DAY(2)", {}, "integer|1"},
        {"DAY(45823.99)", {}, "integer|15"},
        {"DAY(-1.5)", {}, "integer|29"},
        {"DAY(-0.5)", {}, "integer|30"},
        {"YEAR(2958465.5)", {}, "integer|9999"},
        {"YEAR(2958466)", {}, "Desbordamiento: YEAR(2958466)"},
        {"YEAR(-657434.5)", {}, "integer|100"},
        {"MONTH(-657435)", {}, "Desbordamiento: MONTH(-657435)"},
        // CDATE: a typed or stored date, and a day number, as the stored ISO text;
        // a day's time follows it, so that it sorts after the day and before the next.
        {"CDATE(?)", {"15/03/2023"}, "text|2023-03-15"},
        {"CDATE(?)", {"2023-03-15 10:30:00"}, "text|2023-03-15"},
        {"CDATE(45000)", {}, "text|2023-03-15"},
        {"CDATE(45000) = CDATE('15/03/2023')", {}, "integer|1"},
        {"CDATE(?)", {45000.0}, "text|2023-03-15"},
        {"CDATE(45000.5)", {}, "text|2023-03-15 12:00:00"},
        {"CDATE(45000.75) BETWEEN '2023-03-15' AND '2023-03-16'", {}, "integer|1"},
        {"CDATE(-1.5)", {}, "text|1899-12-29 12:00:00"},
        {"CDATE(0)", {}, "text|1899-12-30"},
        {"CDATE(2958465)", {}, "text|9999-12-31"},
        {"CDATE(2958466)", {}, "Desbordamiento: CDATE(2958466)"},
        {"CDATE(?)", {"31/02/2023"}, "null|"},
        {"CDATE(NULL)", {}, "null|"},
        {"YEAR(CDATE(45000)) = YEAR(45000)", {}, "integer|1"},
        // INSTR: 1-based, whatever the case, 0 when not there.
        {"INSTR(?, ?)", {"PEÑA", "ña"}, "integer|3"},
        {"INSTR(3, 'banana', 'AN')", {}, "integer|4"},
        {"INSTR('abc', 'x')", {}, "integer|0"},
        {"INSTR('', 'a')", {}, "integer|0"},
        {"INSTR(2, 'abc', '')", {}, "integer|2"},
        {"INSTR(5, 'abc', 'a')", {}, "integer|0"},
        {"INSTR(NULL, 'a')", {}, "null|"},
        {"INSTR(0, 'abc', 'a')", {}, "Argumento no válido en INSTR: 0"},
        {"INSTR(NULL, 'abc', 'a')", {}, "Uso no válido de Null: INSTR"},
        {"INSTR(2, 'abc', 'b')", {}, "integer|2"},
        // UCASE and LCASE change every letter, one for one.
        {"UCASE(?)", {"peña"}, "text|PEÑA"},
        {"ucase(?)", {"áéíóú üñ çß"}, "text|ÁÉÍÓÚ ÜÑ Çß"},
        {"LCASE(?)", {"ÁÉÍÓÚ ÜÑ Ç"}, "text|áéíóú üñ ç"},
        {"UCASE(12.5)", {}, "text|12.5"},
        {"LCASE(NULL)", {}, "null|"},
        {"upper(?)", {"peña"}, "text|PEñA"},   // SQLite's own, for the program's codes, stays
    };
    ProgramaTemporal p;
    p.AbreBase();
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        for (const auto &c : casos)
            EXPECT_EQ(Evalua(p, QString::fromUtf8(c.expresion), c.valores), QString::fromUtf8(c.resultado)) << c.expresion;
        // They come back with the next opening.
        p.bd().Cierra();
        p.bd().Abre(p.ctx->ArchivoBD);
    }
}

} // namespace
