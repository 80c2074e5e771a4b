#pragma once

#include "platform/BaseDatos.h"
#include "tools/SqlTablas.h"

#include <QStringList>

// What the send and the reception share: the package's name rule and the
// tables a package carries.

// The care-event table first, then its five detail tables.
extern const QStringList TablasEvento;

// The catalogs a package may carry: the working database's tables whose name
// begins with "C", in their own spelling.
QStringList TablasCatalogo(const BaseDatos &bd);

// The columns of a table of the schema `esquema` ("main" or an attached one), in order.
QStringList ColumnasTabla(const BaseDatos &bd, const QString &esquema, const QString &tabla);

// Names quoted for a statement: "a","b".
QString ListaNombres(const QStringList &nombres, const QString &prefijo = QString());

// "ENVIO" + year digits + state + "_" + ddMMyy + "VEL.ZIP": 23 characters.
QString NombrePaquete(const QString &ano, const QString &estado, const QDate &dia);
// A package's name has 23 characters and "VEL" at positions 17 to 19.
bool EsNombrePaquete(const QString &nombre);
// The database inside a package: "ENV" + its year digits and state + ".db".
QString BaseDelPaquete(const QString &nombrePaquete);

// Removes from the Datos folder `datos` what a send, a backup or a reception
// killed before its end left there (temporary databases and archives with
// their journals and locks, unpacking folders), unless a living run, of this
// or another instance sharing the folder, still holds it. The folder is
// listed and only what is found of those names is opened: quick enough for
// the start-up.
void BorraRestosEnDatos(const QString &datos);
