#pragma once

#include <QString>

// A table or column name as an SQL identifier: between double quotes, each
// quote inside doubled, so that any name a package or a file brings is read
// as a name and never as SQL. Header only, so that the template's builder
// uses the same rule without the platform library.
inline QString CitaNombre(const QString &nombre)
{
    return QLatin1Char('"') + QString(nombre).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}
