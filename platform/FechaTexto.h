#pragma once

#include <QDate>
#include <QString>

// A date written day first, "dd/MM/yyyy": what QDate::fromString takes with
// that format (an invalid date for anything else), without building Qt's
// date parser for each text; the sheet reads its dates at every save.
QDate FechaDeTexto(const QString &texto);
