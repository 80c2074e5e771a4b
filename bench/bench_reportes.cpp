// Speed of the statistical reports: each cross-tab report end to end (filters,
// events work table, counts, page model) beside one plain statement over
// D_EVENTO with the same filter that gives the same rows and counts, on an
// analyzed copy of the database, run in turn with the program's; and the
// opening of the report window (all its fills). The reports run on the
// database as it stands, then after the program made its statistics. Each
// goal line is met only when the report's counts equal the plain statement's.
// Prints "name: value" lines; never fails a run.
//
//   velmoran_bench_reportes [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado] [--una-unidad]

#include "CifrasReporte.h"
#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "reports/ReportesCruzados.h"
#include "reports/frmReportes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <sqlite3.h>

namespace {

const QString Periodo = QStringLiteral("p.FechaAtencion BETWEEN ?1 AND ?2");

// "count(CASE WHEN <condition> THEN 1 END) AS <column>, ..."
QString Cuentas(const QVector<ColumnaCuenta> &cuentas)
{
    QStringList r;
    for (const ColumnaCuenta &c : cuentas)
        r << QStringLiteral("count(CASE WHEN %1 THEN 1 END) AS %2").arg(c.condicion, c.columna);
    return r.join(QStringLiteral(", "));
}

// "coalesce(g.<column>, 0), ...": the counts of a row that may have no events.
QString Leidas(const QVector<ColumnaCuenta> &cuentas)
{
    QStringList r;
    for (const ColumnaCuenta &c : cuentas)
        r << QStringLiteral("coalesce(g.%1, 0)").arg(c.columna);
    return r.join(QStringLiteral(", "));
}

// The rows of a catalog, each with its counts: one grouped pass over the
// events (joined to `origen`'s detail rows as SQLite chooses) looked up by code.
QString PorCatalogo(const ReporteCruzado &r, const QString &catalogo, const QString &codigo, const QString &clave,
                    const QString &origen = QStringLiteral("D_EVENTO p"))
{
    return QStringLiteral("SELECT f.%2, %4 FROM %1 f LEFT JOIN (SELECT %3 AS k, %5 FROM %6 WHERE %7%8 GROUP BY 1) g "
                          "ON g.k = f.%2 ORDER BY f.%2")
        .arg(catalogo, codigo, clave, Leidas(r.cuentas), Cuentas(r.cuentas), origen, Periodo,
             r.defunciones ? QStringLiteral(" AND p.CodDestino = 5") : QString());
}

// The plain statement of each report: its rows, keys then counts, in the
// report's order, with the period bound as ?1 and ?2.
QString SentenciaPlana(const ReporteCruzado &r)
{
    const QString n = r.tabla.mid(4);
    if (n == QLatin1String("Vehiculo"))
        // Row 88: drivers and occupants without safety equipment; row 99: every pedestrian.
        return QStringLiteral(
            "WITH g AS MATERIALIZED (SELECT p.CodEquipo AS k, %1, "
            "count(CASE WHEN p.CodLesionadoVehiculo = 1 AND p.CodUsoSeguridad = 2 THEN 1 END) AS s1, "
            "count(CASE WHEN p.CodLesionadoVehiculo = 2 AND p.CodUsoSeguridad = 2 THEN 1 END) AS s2 "
            "FROM D_EVENTO p WHERE %2 GROUP BY 1), t AS (SELECT sum(s1) AS s1, sum(s2) AS s2, sum(peaton) AS s3 FROM g) "
            "SELECT f.k, CASE f.k WHEN 88 THEN t.s1 ELSE coalesce(g.conductor, 0) END, "
            "CASE f.k WHEN 88 THEN t.s2 ELSE coalesce(g.ocupante, 0) END, CASE f.k WHEN 99 THEN t.s3 ELSE coalesce(g.peaton, 0) END "
            "FROM (SELECT CodEquipo AS k, 0 AS o FROM cEquipo UNION ALL SELECT 88, 1 UNION ALL SELECT 99, 2) f "
            "CROSS JOIN t LEFT JOIN g ON g.k = f.k ORDER BY f.o, f.k").arg(Cuentas(r.cuentas), Periodo);
    if (n == QLatin1String("DefuncionA"))
        return QStringLiteral("SELECT CAST(c.CEDOCVE AS INTEGER), %1 FROM D_EVENTO p LEFT JOIN CATCLUES c ON c.Clues = p.Clues "
                              "WHERE %2 AND p.CodDestino = 5 GROUP BY c.CEDOCVE ORDER BY c.CEDOCVE").arg(Cuentas(r.cuentas), Periodo);
    if (n == QLatin1String("ViolenciaVez"))
        // Each violence type of family and non-family violence; self-inflicted events in one row (4, 0).
        return QStringLiteral(
            "WITH g AS MATERIALIZED (SELECT p.CodIntencionalidad AS i, "
            "CASE WHEN p.CodIntencionalidad = 4 THEN 0 ELSE v.CodTipoViolencia END AS t, %1 "
            "FROM D_EVENTO p LEFT JOIN D_TipoViolencia v ON v.Clues = p.Clues AND v.Folio = p.Folio "
            "AND v.fechaAtencion = p.fechaAtencion AND p.CodIntencionalidad <> 4 "
            "WHERE %2 AND p.CodIntencionalidad IN (2, 3, 4) GROUP BY 1, 2) "
            "SELECT f.i, f.t, %3 FROM (SELECT 2 AS i, CodTipoViolencia AS t, 0 AS o FROM cTipoViolencia "
            "UNION ALL SELECT 3, CodTipoViolencia, 1 FROM cTipoViolencia UNION ALL SELECT 4, 0, 2) f "
            "LEFT JOIN g ON g.i = f.i AND g.t = f.t ORDER BY f.o, f.t").arg(Cuentas(r.cuentas), Periodo, Leidas(r.cuentas));
    if (n == QLatin1String("AtencionDestino"))
        return PorCatalogo(r, "cTipoAtencion", "CodTipoAtencion", "t.CodTipoAtencion",
                           "D_EVENTO p JOIN D_TipoAtencion t ON t.Clues = p.Clues AND t.Folio = p.Folio "
                           "AND t.fechaAtencion = p.fechaAtencion");
    if (n == QLatin1String("AgenteIntencionalidad"))
        return PorCatalogo(r, "cAgente", "CodAgente", "p.CodAgente");
    if (n == QLatin1String("DefuncionSitio") || n == QLatin1String("IntencionalidadSitio"))
        return PorCatalogo(r, "cSitio", "CodSitio", "p.CodSitio");
    if (n == QLatin1String("IntencionalidadParentesco") || n == QLatin1String("Agresor"))
        return PorCatalogo(r, "cParentesco", "CodParentesco", "p.CodParentescoAgresor");
    if (n == QLatin1String("IntencionalidadArea"))
        return PorCatalogo(r, "cArea", "CodArea", "p.CodArea");
    if (n == QLatin1String("DefuncionB"))
        return PorCatalogo(r, "cIntencionalidad", "CodIntencionalidad", "p.CodIntencionalidad");
    return QString();   // a report this bench does not know: its line reads not met
}

// The keys and counts of the report's work table after one run of its steps
// (the work tables go with the generator).
std::vector<std::string> CifrasDelPrograma(Contexto &ctx, FiltrosReporte &filtros, const ReporteCruzado &r)
{
    GeneradorReportes g(ctx, filtros);
    if (!g.ArmaFiltro() || !g.CreaPasoReporte())
        return {};
    g.GeneraReporte();
    QStringList columnas = r.claves;
    for (const ColumnaCuenta &c : r.cuentas)
        columnas << c.columna;
    return FilasTexto(ctx.ConexionBD.Manejador(), QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                                      .arg(columnas.join(QStringLiteral(", ")), r.tabla).toUtf8());
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

    const QList<QByteArray> periodo{filtros.picFechaInicial.valor.toString(Qt::ISODate).toUtf8(),
                                    filtros.picFechaFinal.valor.toString(Qt::ISODate).toUtf8()};

    // The program on the database as it stands, then after it kept its own
    // statistics: at a closing (PRAGMA optimize, after the reports used the
    // tables) and in the compaction (ANALYZE). Each report and its plain
    // statement run in turn, three times each.
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
        for (const ReporteCruzado &r : ReportesCruzados()) {
            filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(r.titulo)));
            const QByteArray sql = SentenciaPlana(r).toUtf8();
            std::vector<std::string> filasPlano;
            const auto [nuestro, plano] = MedianasAlternadas(3, [&] { generador.Reporte(); },
                                                             [&] { filasPlano = FilasTexto(analizada, sql, periodo); });
            const std::vector<std::string> cifras = CifrasDelPrograma(ctx, filtros, r);
            std::printf("%-55s %8.1f ms  plano %8.1f ms  %.2f x  (%d pág.)%s\n", qPrintable(r.titulo), nuestro, plano,
                        plano > 0 ? nuestro / plano : 0.0, paginas, cifras == filasPlano ? "" : "  cifras distintas del plano");
            std::fflush(stdout);
            metas.AgregaCotejada(r.titulo.toStdString() + ", " + fase, nuestro, plano, "ms", cifras, filasPlano, 1.5);
        }
    }
    sqlite3_close(analizada);
    metas.Imprime("reportes cruzados; plano en una copia analizada, en turno con el programa");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
