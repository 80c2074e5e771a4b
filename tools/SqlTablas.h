#pragma once

#include "platform/BaseDatos.h"

#include <QString>
#include <QStringList>

// SQL pieces shared by the full flat table and the pivot-table database.

// "ENERO" to "DICIEMBRE".
const QStringList &NombresMeses();

// The statistical month's name of an ISO date column: days 26 to 31 count in
// the next month ("ENERO" for late December); `sinFecha` when the date is
// missing or unreadable.
QString MesEstadisticoSql(const QString &columna, const QString &sinFecha = QStringLiteral("NULL"));
// The statistical year as four-digit text: the date's year, plus one for 26 to
// 31 December.
QString AnioEstadisticoSql(const QString &columna);

// A database file attached to the shared connection for the life of the guard,
// so that a tool writes its output there and never into the working database.
// The file is created when missing, unless it is attached read-only (a file
// received from elsewhere, only read). Detached on destruction.
class BaseAdjunta {
public:
    BaseAdjunta(const BaseDatos &bd, const QString &archivo, const QString &esquema, bool soloLectura = false);
    ~BaseAdjunta();
    BaseAdjunta(const BaseAdjunta &) = delete;
    BaseAdjunta &operator=(const BaseAdjunta &) = delete;

private:
    const BaseDatos &bd_;
    QString esquema_;
};
