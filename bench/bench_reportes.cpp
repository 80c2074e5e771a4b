// Speed of the statistical reports: each cross-tab report end to end (filters,
// events work table, counts, page model) beside one plain conditional-aggregate
// GROUP BY with the same filter on an analyzed copy of the database, and the
// opening of the report window (all its fills). The reports run on the
// database as it stands, then after the program made its statistics. Prints
// "name: value" lines; never fails a run.
//
//   velmoran_bench_reportes [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]

#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "reports/ReportesCruzados.h"
#include "reports/frmReportes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <sqlite3.h>

namespace {

// The same counts by hand: one grouped pass over D_EVENTO with the filter,
// joined as SQLite chooses.
double Plano(sqlite3 *db, const ReporteCruzado &r, const QString &desde, const QString &hasta)
{
    QStringList columnas = r.clavesEvento;
    for (const ColumnaCuenta &c : r.cuentas)
        columnas << QStringLiteral("count(CASE WHEN %1 THEN 1 END)").arg(c.condicion);
    QString origen = r.origen;
    origen.replace(QStringLiteral("PASOREPORTE p"), QStringLiteral("D_EVENTO p"));
    origen.replace(QStringLiteral("CROSS JOIN"), QStringLiteral("JOIN"));
    QString donde = QStringLiteral("p.FechaAtencion BETWEEN ?1 AND ?2");
    if (r.defunciones)
        donde += QStringLiteral(" AND p.CodDestino = 5");
    if (!r.donde.isEmpty())
        donde += QStringLiteral(" AND ") + r.donde;
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 GROUP BY %4")
                               .arg(columnas.join(QStringLiteral(", ")), origen, donde, r.clavesEvento.join(QStringLiteral(", ")))
                               .toUtf8();
    return MedianaMs(3, [&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
        const QByteArray a = desde.toUtf8(), b = hasta.toUtf8();
        sqlite3_bind_text(s, 1, a.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, b.constData(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                sqlite3_column_int64(s, i);
        sqlite3_finalize(s);
    });
}

// Whether the report counts detail rows joined to the events.
bool UneDetalle(const ReporteCruzado &r)
{
    return r.origen.contains(QLatin1String("D_"));
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    programa.CopiaReportes();
    // The plain statements run on an analyzed copy, with the plans statistics give.
    sqlite3 *analizada = CopiaAnalizada(programa);
    if (!analizada)
        return 0;

    FiltrosReporte filtros(bd);
    GeneradorReportes generador(ctx, filtros);
    int paginas = 0;
    generador.Muestra = [&](const DocumentoReporte &d) { paginas = int(d.Paginas()); };

    const double llenar = MedianaMs(3, [&] { filtros.InicializaFiltros(); });
    std::printf("abrir la ventana, llenados del modelo: %.1f ms\n", llenar);
    const double ventana = MedianaMs(3, [&] { frmReportes v(ctx); });
    std::printf("abrir la ventana frmReportes completa: %.1f ms\n", ventana);

    const QString desde = filtros.picFechaInicial.valor.toString(Qt::ISODate);
    const QString hasta = filtros.picFechaFinal.valor.toString(Qt::ISODate);
    std::vector<double> planos;
    for (const ReporteCruzado &r : ReportesCruzados())
        planos.push_back(Plano(analizada, r, desde, hasta));
    sqlite3_close(analizada);

    // The program on the database as it stands, then after it kept its own
    // statistics: at a closing (PRAGMA optimize, after the reports used the
    // tables) and in the compaction (ANALYZE).
    const auto estadisticas = [&] {
        return bd.Valor(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'")).toInt() == 0
                   ? 0
                   : bd.Valor(QStringLiteral("SELECT count(*) FROM sqlite_stat1")).toInt();
    };
    Metas metas;
    for (const char *fase : {"sin estadísticas", "tras PRAGMA optimize", "tras ANALYZE"}) {
        if (qstrcmp(fase, "tras PRAGMA optimize") == 0)
            bd.Optimiza();
        else if (qstrcmp(fase, "tras ANALYZE") == 0)
            bd.Analiza();
        std::printf("\n-- el programa %s (%d filas en sqlite_stat1); plano en la copia analizada\n", fase, estadisticas());
        for (int i = 0; i < ReportesCruzados().size(); ++i) {
            const ReporteCruzado &r = ReportesCruzados()[i];
            filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(r.titulo)));
            const double nuestro = MedianaMs(3, [&] { generador.Reporte(); });
            const double plano = planos[size_t(i)];
            std::printf("%-55s %8.1f ms  plano %8.1f ms  %.2f x  (%d pág.)\n", qPrintable(r.titulo), nuestro, plano,
                        plano > 0 ? nuestro / plano : 0.0, paginas);
            std::fflush(stdout);
            metas.Agrega(r.titulo.toStdString() + ", " + fase, nuestro, plano, "ms", UneDetalle(r) ? 1.5 : 0);
        }
    }
    metas.Imprime("reportes cruzados; plano en una copia analizada");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
