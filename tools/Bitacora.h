#pragma once

#include "platform/BaseDatos.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QVector>

// The operations log: one row of BITACORA per backup, send package or
// reception; only the log window reads and empties it.
enum class TipoBitacora { Respaldo = 1, Envio = 2, Recepcion = 3 };

struct RenglonBitacora {
    TipoBitacora tipo = TipoBitacora::Respaldo;
    QString archivo;   // full path of the archive written or read
    int eventos = 0;
    // Sends and receptions only.
    int unidades = 0;
    QString fechaIni, fechaFin;   // "dd/MM/yyyy" or empty
    int catalogos = 0;
};

// Writes one row: NOMBRE and RUTA name the archive's real file and folder,
// FECHA is `momento`. Throws ErrorBD.
void RegistraBitacora(const BaseDatos &bd, const RenglonBitacora &renglon, const QDateTime &momento);

// One grid of the log window, read in full: its column names and rows.
struct TablaBitacora {
    QStringList columnas;
    QList<QStringList> filas;
};

// The three grids in the order backups, sends, receptions. Throws ErrorBD.
QVector<TablaBitacora> LeeBitacora(const BaseDatos &bd);
// Deletes every row of every kind. Throws ErrorBD.
void BorraBitacora(const BaseDatos &bd);
