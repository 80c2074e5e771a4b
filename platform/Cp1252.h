#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Code page 1252, the single-byte character set of the files that other
// installations of the program read (query files, dBase exports).

// The byte of one character in code page 1252, or 0 when it has none there.
char ByteCp1252(char32_t caracter);
// The text in code page 1252; no value when a character has no byte there.
std::optional<QByteArray> ACp1252(const QString &texto);
// Bytes in code page 1252 as text; the five unassigned bytes read as U+FFFD.
QString DeCp1252(const QByteArray &bytes);
