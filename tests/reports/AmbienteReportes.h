#pragma once

#include "comun/ProgramaTemporal.h"
#include "platform/ReportePintor.h"
#include "reports/GeneradorReportes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

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
    void Evento(const QString &clues, int folio, const QString &fecha, QVariantMap campos = {})
    {
        campos.insert({{"Clues", clues}, {"Folio", folio}, {"fechaAtencion", fecha}});
        Ejecuta("INSERT INTO D_EVENTO (" + campos.keys().join(',') + ") VALUES (" + QStringList(campos.size(), "?").join(',') + ")",
                campos.values());
    }
    // One detail row: table and code column come from the test.
    void Detalle(const QString &tabla, const QString &columna, const QString &clues, int folio, const QString &fecha,
                 const QVariant &codigo)
    {
        Ejecuta("INSERT INTO " + tabla + " (CLUES, Folio, fechaAtencion, " + columna + ") VALUES (?, ?, ?, ?)",
                {clues, folio, fecha, codigo});
    }
    // The statements the connection ran while `op` ran, as written.
    QStringList Sentencias(const std::function<void()> &op) const
    {
        struct Traza {
            sqlite3 *h;
            QStringList texto;
            ~Traza() { sqlite3_trace_v2(h, 0, nullptr, nullptr); }
        } traza{bd().Manejador(), {}};
        sqlite3_trace_v2(
            traza.h, SQLITE_TRACE_STMT,
            [](unsigned, void *t, void *, void *x) {
                static_cast<Traza *>(t)->texto << QString::fromUtf8(static_cast<const char *>(x));
                return 0;
            },
            &traza);
        op();
        return traza.texto;
    }
    // Work tables, views and their indexes left on the connection.
    int TablasTemporales() const { return Valor("SELECT count(*) FROM sqlite_temp_master").toInt(); }

    FiltrosReporte filtros{bd()};
    GeneradorReportes generador{*ctx, filtros};
    QStringList mostrados;
};

// The text of a document's PDF as pdftotext lays it out.
inline QString TextoPdf(const DocumentoReporte &d)
{
    QTemporaryDir dir;
    GuardaPdf(d, dir.filePath("r.pdf"));
    QProcess p;
    p.start("pdftotext", {"-layout", dir.filePath("r.pdf"), "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The document's PDF text against the golden file named after its title in
// `carpeta`; VELMORAN_ACTUALIZA_ESPERADOS=1 rewrites the golden file.
inline void ComparaTextoPdf(const DocumentoReporte &d, const QString &carpeta)
{
    const QString nombre = QString(d.titulo).remove(' ') + ".txt";
    const QString esperado = QDir(carpeta).filePath(nombre);
    const QString texto = TextoPdf(d);
    if (qEnvironmentVariableIsSet("VELMORAN_ACTUALIZA_ESPERADOS"))
        EscribeArchivo(esperado, texto.toUtf8());
    EXPECT_EQ(texto, QString::fromUtf8(LeeArchivo(esperado))) << nombre.toStdString();
}
