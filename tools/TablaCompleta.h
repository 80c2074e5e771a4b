#pragma once

#include "shell/modGeneral.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

class Contexto;

// The full flat table: one row per care event with every column of D_EVENTO,
// the detail families spread over numbered columns (Derhab01, Derhab02, ...,
// Derhab010), and the statistical month and year of the date of care.
//
// The spread columns are built in a TEMP table of the connection, so the
// working database is never written; it lives as long as this object.
class TablaCompleta {
public:
    // `avance` hears how many events have had their families spread, and of how many.
    explicit TablaCompleta(const BaseDatos &bd, std::function<void(qint64, qint64)> avance = {});
    TablaCompleta(const TablaCompleta &) = delete;
    TablaCompleta &operator=(const TablaCompleta &) = delete;

    // The SELECT that gives the table's rows, in D_EVENTO's order.
    QString Consulta() const { return consulta_; }
    // Names of the spread columns, in table order.
    QStringList ColumnasFamilias() const { return familias_; }
    // Spread columns that hold numbers rather than text.
    QStringList ColumnasNumericas() const { return numericas_; }
    // The table's rows: one per care event.
    qint64 Eventos() const { return eventos_; }

private:
    void Construye();

    const BaseDatos &bd_;
    TablasTemporales temporal_;   // dropped with the object, also when the build fails
    QStringList familias_, numericas_;
    QString consulta_;
    std::function<void(qint64, qint64)> avance_;
    qint64 eventos_ = 0;
};

// The menu's "Generar Tabla Completa": TablaCompletaVELMORAN.db (table
// TablaVELMORANCompleta) when ctx.TablaEnAccess, else TablaCompletaVELMORAN.xlsx
// (sheet TablaVELMORAN), in the program folder; the file is replaced only when
// the new one is complete, and a failure is shown instead of the path.
void GeneraTablaCompleta(Contexto &ctx);
