#pragma once

#include "comun/ProgramaTemporal.h"

#include <QDir>
#include <QFile>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <zip.h>

// A working database with hand-made events, and readers for the outputs.
class PruebaTablas : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase(); }

    // One event of unit `clues`; `campos` sets further D_EVENTO columns.
    void Evento(int folio, const QString &fecha, QVariantMap campos = {}, const QString &clues = "DFQRV000015")
    {
        campos.insert("Clues", clues);
        campos.insert("Folio", folio);
        campos.insert("fechaAtencion", fecha);
        p.Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (%2)")
                      .arg(campos.keys().join(','), QStringLiteral("?,").repeated(campos.size()).chopped(1)),
                  campos.values());
    }
    // A detail row of event `folio` (same unit and date as made by Evento).
    void Detalle(const QString &tabla, int folio, const QVariantList &codigos, const QString &fecha = "2004-06-15")
    {
        QVariantList v = {QStringLiteral("DFQRV000015"), folio, fecha};
        v << codigos;
        p.Ejecuta(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, QStringLiteral("?,").repeated(v.size()).chopped(1)), v);
    }
    QString Ruta(const QString &relativa) const { return QDir(p.Carpeta()).filePath(relativa); }

    ProgramaTemporal p;
};

// The parts of a zip package.
inline QStringList PartesZip(const QString &ruta)
{
    QStringList partes;
    if (zip_t *z = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, nullptr)) {
        for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
            partes << QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0));
        zip_discard(z);
    }
    return partes;
}
