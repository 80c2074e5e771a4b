#pragma once

#include "ProgramaBanco.h"

#include "comun/EventoValido.h"

#include <QStringList>

class BaseDatos;
struct sqlite3;

// The base event moved into the program's state and year: the first health
// unit of the state (any unit when the catalog has none of it), occurrence
// and care on 14 and 15 June, or on the clock's day before and day when June
// is still to come.
DatosEvento EventoDelAno(const ProgramaBanco &programa, DatosEvento base);

// The health units of the state, or every unit when the catalog has none of it.
QStringList UnidadesDelEstado(const BaseDatos &bd, const QString &estado);

// Writes n synthetic care events of statistical year `ano`, valid against the
// template catalogs and the sheet's rules, into the open working database in
// one transaction: a year as it is captured. Units of the state (a few large
// ones) by weight; days of care through the year (more at weekends and in
// the holidays); each event written on its day of capture, the day of care or
// a few days later, the units of a day interleaved in short runs, and about a
// quarter of the units sending packages of two weeks that are written
// together a few days after; folios of a unit in the order of capture. Ages,
// sexes, intentionality, agents and causes spread as a year's are, the codes
// of a list skewed towards a few; 0 to 3 rows in each detail table, and a few
// events without any. The detail rows of a captured event are written right
// after it; a package is written as the reception writes it: its events, then
// each detail table in one block. No statistics are made. `ordenado` writes
// the same events in the order of their key instead; `unaUnidad` gives every
// event to the state's first unit, its folios numbered in the order of capture. The columns it does not
// vary are those of `base`. Returns the events written; throws ErrorBD on failure.
int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base, const QString &estado = QStringLiteral("36"),
                  int ano = 2004, bool ordenado = false, bool unaUnidad = false);

// Rewrites every D_* table's rows in a shuffled order (the same every time)
// and leaves no statistics; schema and indexes stay. Throws ErrorBD.
void DesordenaTablas(const BaseDatos &bd);

// The working database of a bench run with the options' events: generated
// into the run's copy of the template; with --conserva, copied from the
// database kept in that folder, which is generated there first when it is
// missing (its events then stand, whatever N, --ordenado and --desordenado
// say); --desordenado then rewrites its D_* tables (DesordenaTablas). Prints the
// events and where they came from; false, after saying why, when there is none.
bool BaseConEventos(ProgramaBanco &programa);

// A copy of the run's database beside it, page by page (its rows stand where
// they stood), fully analyzed and open in plain SQLite: where the plain
// statements run, with the plans the statistics give. Null, after saying
// why, when it cannot be made; the caller closes it.
sqlite3 *CopiaAnalizada(ProgramaBanco &programa);

// n health units of state 09 in CATCLUES ("DFSSA000000" ...), in place of the
// template's; throws ErrorBD on failure.
void GeneraUnidades(const BaseDatos &bd, int n);
// n localities of 32 states in cLocalidades, in place of the template's.
void GeneraLocalidades(const BaseDatos &bd, int n);
