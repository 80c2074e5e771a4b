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
    void Evento(int folio, const QString &fecha, const QVariantMap &campos = {},
                const QString &clues = QStringLiteral("DFQRV000015"))
    {
        QStringList columnas = {"Clues", "Folio", "fechaAtencion"};
        QVariantList valores = {clues, folio, fecha};
        for (auto it = campos.begin(); it != campos.end(); ++it) {
            columnas << it.key();
            valores << it.value();
        }
        p.Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (%2)")
                      .arg(columnas.join(','), QStringLiteral("?,").repeated(columnas.size()).chopped(1)),
                  valores);
    }
    // A detail row of event `folio` (same unit and date as made by Evento).
    void Detalle(const QString &tabla, int folio, const QVariantList &codigos, const QString &fecha = "2004-06-15")
    {
        QVariantList v = {QStringLiteral("DFQRV000015"), folio, fecha};
        v << codigos;
        p.Ejecuta(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, QStringLiteral("?,").repeated(v.size()).chopped(1)), v);
    }
    QString Ruta(const QString &relativa) const { return QDir(p.Carpeta()).filePath(relativa); }
    // Files left in a folder, temporary ones included.
    QStringList Archivos(const QString &carpeta) const
    {
        return QDir(Ruta(carpeta)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

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

inline QString ParteZip(const QString &ruta, const QString &parte)
{
    QByteArray datos;
    if (zip_t *z = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, nullptr)) {
        zip_stat_t st;
        if (zip_stat(z, parte.toUtf8().constData(), 0, &st) == 0)
            if (zip_file_t *f = zip_fopen(z, parte.toUtf8().constData(), 0)) {
                datos.resize(qsizetype(st.size));
                zip_fread(f, datos.data(), st.size);
                zip_fclose(f);
            }
        zip_discard(z);
    }
    return QString::fromUtf8(datos);
}
