// Speed of the statistical reports: each cross-tab report end to end (filters,
// events work table, counts, page model) beside one plain conditional-aggregate
// GROUP BY with the same filter, and the opening of the report window (all its
// fills). Prints "name: value" lines; never fails a run.
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

// The same counts by hand: one grouped pass over D_EVENTO with the filter.
double Plano(sqlite3 *db, const ReporteCruzado &r, const QString &desde, const QString &hasta)
{
    QStringList columnas = r.clavesEvento;
    for (const ColumnaCuenta &c : r.cuentas)
        columnas << QStringLiteral("count(CASE WHEN %1 THEN 1 END)").arg(c.condicion);
    QString origen = r.origen;
    origen.replace(QStringLiteral("PASOREPORTE p"), QStringLiteral("D_EVENTO p"));
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

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    programa.CopiaReportes();

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
    Metas metas;
    for (const ReporteCruzado &r : ReportesCruzados()) {
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(r.titulo)));
        const double nuestro = MedianaMs(3, [&] { generador.Reporte(); });
        const double plano = Plano(bd.Manejador(), r, desde, hasta);
        std::printf("%-55s %8.1f ms  plano %8.1f ms  %.2f x  (%d pág.)\n", qPrintable(r.titulo), nuestro, plano,
                    plano > 0 ? nuestro / plano : 0.0, paginas);
        std::fflush(stdout);
        metas.Agrega(r.titulo.toStdString(), nuestro, plano, "ms");
    }
    metas.Imprime("reportes cruzados");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
