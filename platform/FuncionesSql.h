#pragma once

#include <QSqlDatabase>

// Registers, on an open SQLite connection, the functions that statements and
// typed criteria use besides SQLite's own: CDATE, VAL, LEN, MID. LEFT and RIGHT
// are join keywords in SQLite and cannot be functions: use substr(s, 1, n) and substr(s, -n).
// Must run after every open, since functions belong to the connection.
void RegistraFuncionesSql(QSqlDatabase &db);

// The numeric value read from the left of a text, as VAL does: leading blanks
// skipped, reading stops at the first character that is not part of a number.
double ValorNumerico(const QString &texto);
