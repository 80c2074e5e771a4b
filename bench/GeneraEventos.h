#pragma once

#include "comun/EventoValido.h"

class BaseDatos;

// Writes n synthetic care events, valid against the template catalogs, into
// the open working database, in one transaction: each is `base` under its own
// key (the units of CATCLUES in turn, folios 1.., dates of care spread over
// statistical year 2004) with its detail rows (the ticks and diagnoses of
// `base`). Returns the events written; throws ErrorBD on failure.
int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base);

// n health units of state 09 in CATCLUES ("DFSSA000000" ...), in place of the
// template's; throws ErrorBD on failure.
void GeneraUnidades(const BaseDatos &bd, int n);
// n localities of 32 states in cLocalidades, in place of the template's.
void GeneraLocalidades(const BaseDatos &bd, int n);
