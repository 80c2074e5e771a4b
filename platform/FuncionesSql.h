#pragma once

#include <QSqlDatabase>

struct sqlite3;

// Registers, on an open SQLite connection, the functions of the Windows
// file-database engine's dialect that statements and typed criteria use
// besides SQLite's own: CDATE, VAL, LEN, MID, LEFT, RIGHT, CSTR, CINT, CLNG,
// DAY, MONTH, YEAR, INSTR, UCASE and LCASE (names in any case; INSTR in
// place of SQLite's). UCASE and LCASE change every letter; SQLite's upper and
// lower, which change ASCII letters only, stay as they are for the program's
// own statements on codes. LEFT and RIGHT are join keywords in SQLite: call
// them by their quoted names, "LEFT"(s, n). IIF is SQLite's own. Dates are
// the stored yyyy-mm-dd text or typed dd/mm/yyyy, read day first; CDATE, DAY,
// MONTH and YEAR also take a day number, CDATE giving its day as stored
// dates are written (FechaTexto.h). A conversion of NULL or of a text that is
// no number, or a number out of range, is an error with a Spanish message.
// Must run after every open, since functions belong to the connection.
void RegistraFuncionesSql(QSqlDatabase &db);
void RegistraFuncionesSql(sqlite3 *h);

// The numeric value read from the left of a text, as VAL does: leading blanks
// skipped, reading stops at the first character that is not part of a number.
double ValorNumerico(const QString &texto);
