#pragma once

#include "ProgramaBanco.h"

#include "comun/EventoValido.h"

#include <QStringList>

class BaseDatos;

// The base event moved into the program's state and year: the first health
// unit of the state (any unit when the catalog has none of it), occurrence
// and care on 14 and 15 June, or on the clock's day before and day when June
// is still to come.
DatosEvento EventoDelAno(const ProgramaBanco &programa, DatosEvento base);

// The health units of the state, or every unit when the catalog has none of it.
QStringList UnidadesDelEstado(const BaseDatos &bd, const QString &estado);

// Writes n synthetic care events, valid against the template catalogs, into
// the open working database, in one transaction: each is `base` under its own
// key (the units of the state in turn, folios 1.., dates of care spread over
// statistical year `ano` up to its last day not in the future, occurrence the
// day before, captured on the day of care) with its detail rows (the ticks
// and diagnoses of `base`). Returns the events written; throws ErrorBD on failure.
int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base, const QString &estado = QStringLiteral("36"),
                  int ano = 2004);

// n health units of state 09 in CATCLUES ("DFSSA000000" ...), in place of the
// template's; throws ErrorBD on failure.
void GeneraUnidades(const BaseDatos &bd, int n);
// n localities of 32 states in cLocalidades, in place of the template's.
void GeneraLocalidades(const BaseDatos &bd, int n);
