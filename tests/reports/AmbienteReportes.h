#pragma once

#include "comun/ProgramaTemporal.h"
#include "reports/GeneradorReportes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

// A program folder with the report definitions, a working database to plant
// events in, and the report window's logic over it.
class AmbienteReportes : public ::testing::Test, public ProgramaTemporal {
protected:
    AmbienteReportes()
    {
        AbreBase();
        const QDir fuente(QStringLiteral(VELMORAN_REPORTES));
        QDir(Carpeta()).mkpath("Reportes");
        for (const QString &f : fuente.entryList({"*.json"}))
            QFile::copy(fuente.filePath(f), QDir(Carpeta()).filePath("Reportes/" + f));
        generador.Muestra = [this](const DocumentoReporte &d) { mostrados << d.titulo; };
    }

    // One event with the given columns (the rest NULL).
    void Evento(const QString &clues, int folio, const QString &fecha, const QVariantMap &campos = {})
    {
        QStringList columnas{"Clues", "Folio", "fechaAtencion"}, marcas{"?", "?", "?"};
        QVariantList valores{clues, folio, fecha};
        for (auto it = campos.begin(); it != campos.end(); ++it) {
            columnas << it.key();
            marcas << "?";
            valores << it.value();
        }
        Ejecuta("INSERT INTO D_EVENTO (" + columnas.join(',') + ") VALUES (" + marcas.join(',') + ")", valores);
    }
    // One detail row: table and code column come from the test.
    void Detalle(const QString &tabla, const QString &columna, const QString &clues, int folio, const QString &fecha,
                 const QVariant &codigo)
    {
        Ejecuta("INSERT INTO " + tabla + " (CLUES, Folio, fechaAtencion, " + columna + ") VALUES (?, ?, ?, ?)",
                {clues, folio, fecha, codigo});
    }
    // Work tables, views and their indexes left on the connection.
    int TablasTemporales() const { return Valor("SELECT count(*) FROM sqlite_temp_master").toInt(); }

    FiltrosReporte filtros{bd()};
    GeneradorReportes generador{*ctx, filtros};
    QStringList mostrados;
};

// The text of a PDF as pdftotext lays it out.
inline QString TextoPdf(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
