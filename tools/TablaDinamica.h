#pragma once

#include <QString>
#include <functional>

class BaseDatos;

// The pivot-table database: copies of the catalogs, one row per care event
// with its codes turned into descriptions (D_EVENTO_DAT), and the detail
// tables with descriptions. Everything is written into a database file
// attached to the working connection under `esquema`; the working database
// is only read.

// Column names of D_EVENTO_DAT, in order.
const QStringList &ColumnasEventoDinamica();

// Builds every table in one transaction; `avance` receives the text of each
// stage as it starts. Throws ErrorBD at the first failure, leaving nothing
// half-written in the attached file.
void ConstruyeBaseDinamica(const BaseDatos &bd, const QString &esquema,
                           const std::function<void(const QString &)> &avance);

class Contexto;

// The menu's "Genera Tabla Dinámica VELMORAN": builds Datos/DinamicaVELMORAN.db
// and TablaDinamicaVELMORAN.xlsx under temporary names and puts both in place
// only when both are complete; the first failure is shown and the previous
// files stay. `filasHoja` is the row limit of a workbook sheet.
void GeneraTablaDinamica(Contexto &ctx, qint64 filasHoja);
void GeneraTablaDinamica(Contexto &ctx);
