#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class GeneradorReportes;

// A count column of a cross tabulation: its name in the work table and the
// condition (over the events alias p, or the detail row) that a row meets to
// be counted in it.
struct ColumnaCuenta {
    QString columna;
    QString condicion;
};

// One cross-tab report: a work table REP_<name> with one row per catalog code
// (seeded in code order, then fixed rows) and one count column per condition,
// counted over PASOREPORTE (or a detail table joined to it) in one grouped pass
// into the count table PASO_<name>, which every later statement reads instead
// of the events.
struct ReporteCruzado {
    QString titulo;
    QString tabla;              // REP_...
    QString archivo;            // definition in Reportes/
    bool defunciones = false;   // counts deaths only (CodDestino 5)
    QString columnasFila;       // key and description columns, with their types
    QStringList claves;         // key columns of the work table
    QStringList filas;          // SELECTs of the seeded rows (they may read the count table); "%1" stands for the zero counts
    QString origen;             // FROM of the counts
    QStringList clavesEvento;   // expressions of `origen` the counts are grouped by: k0, k1 ... of the count table
    QStringList clavesFila;     // expressions over k0, k1 ... that match `claves`; empty: k0, k1 ... themselves
    QString donde;              // extra condition of the counts, or empty
    QVector<ColumnaCuenta> cuentas;
    QVector<ColumnaCuenta> extras;   // counted in the same pass, for `finales` to read from the count table
    QStringList finales;        // statements after the counts: fixed cells, names
};

// The eleven cross-tab reports, in the order of the report list.
const QVector<ReporteCruzado> &ReportesCruzados();

// The 23 age-group columns (EDAD0 ... EDAD85, EDAD_NE) with their conditions
// over the events alias `e`. `neConClave9` also counts age 99 with key 9 as
// not specified, as the detailed list does.
QVector<ColumnaCuenta> ColumnasEdad(const QString &e, bool neConClave9 = false);

// The count table of the report: PASO_ and the name of its work table.
QString TablaCuentas(const ReporteCruzado &r);

// The statement that fills the report's count table from PASOREPORTE in one
// grouped pass: the only statement of the report that reads the events.
QString SentenciaCuentas(const ReporteCruzado &r);

// Builds one cross-tab report's work table and lays the report out.
void GeneraReporteCruzado(GeneradorReportes &g, const ReporteCruzado &r);

// Registers the eleven builders by title.
void RegistraReportesCruzados(GeneradorReportes &g);
