#pragma once

#include "platform/ReporteMaqueta.h"
#include "reports/FiltrosReporte.h"
#include "shell/modGeneral.h"

#include <QMap>
#include <QVariantList>
#include <functional>
#include <optional>

class Contexto;

// One run of the report window without widgets: the filter step (the chosen
// events, PASOREPORTE), the builder of the chosen title, and the output
// (headers p1..p8, the definition from Reportes/, the page model). Work tables
// are TEMP tables (and PASOREPORTE a TEMP view) on the shared connection: a run
// never writes the working database, and every one of them is dropped when the
// run ends, however it ends.
class GeneradorReportes {
public:
    static const QString TituloVentana;      // "Reportes VELMORAN"

    // A builder: makes its work tables from PASOREPORTE and calls MuestraReporte.
    using Constructor = std::function<void(GeneradorReportes &)>;

    GeneradorReportes(Contexto &ctx, FiltrosReporte &filtros);

    // "Reporte": beeps, shows the hourglass, runs the filter step and the
    // builder. A failure on the way is shown as "<número> - <descripción>"
    // under "Reportes VELMORAN". The finished report goes to Muestra once the
    // work tables are gone and the pointer is back.
    void Reporte();

    // The steps of a run; each returns false when it stopped with its message.
    bool ArmaFiltro();
    bool CreaPasoReporte();
    void GeneraReporte();

    // Lays out the rows of `consulta` (a statement of the code over the
    // builder's work table) with the definition `archivo` of Reportes/.
    void MuestraReporte(const QString &archivo, const QString &consulta);
    // The named texts of the report: p1 to p8, lnTotal for the principal
    // diagnoses, and the title ("titulo").
    QMap<QString, QString> CreaEncabezados() const;

    // Statement runners of the builders: a failure goes to the caller.
    void EjecutaConsulta(const QString &sql, const QVariantList &valores = {}) const;
    // Drops and creates a TEMP work table, remembered so that the run drops it.
    void CreaTablaTrabajo(const QString &tabla, const QString &columnas);
    qint64 Cuenta(const QString &sql) const;

    void Registra(const QString &titulo, Constructor c) { constructores_.insert(titulo, std::move(c)); }

    // Window variables, renewed by each run.
    QString TituloReporte;
    QString FiltroReporte;       // the WHERE condition over D_EVENTO AS E, with "?" for ValoresFiltro
    QVariantList ValoresFiltro;
    QString LugarReporte;
    QStringList UnidadesSeleccionadas;
    qint64 TotalReporte = 0;

    // The report of the last run, if it produced one.
    std::optional<DocumentoReporte> Documento;
    // Shows a finished report (the window: the print preview).
    std::function<void(const DocumentoReporte &)> Muestra;
    // Focus after the two stops: the unit list, the "Reporte" button.
    std::function<void()> EnfocaUnidades, EnfocaReporte;

    Contexto &ctx;
    FiltrosReporte &filtros;

private:
    QMap<QString, Constructor> constructores_;
    // Work tables of steps run one by one, dropped with the generator; a run
    // of Reporte keeps its own.
    TablasTemporales sueltas_;
    TablasTemporales *trabajo_ = &sueltas_;
};
