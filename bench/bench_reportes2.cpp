// Speed of the detailed list and the principal diagnoses: "Lista Detallada"
// and both "Principales" end to end (filters, events work table, builder, page
// model) beside one plain statement with the same filter that gives the same
// rows and counts, run in turn with the program's (catalog printing is
// measured by velmoran_bench_catalogos). Each goal line is met only when the
// report's figures equal the plain statement's. Never fails a run.
//
//   velmoran_bench_reportes2 [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado] [--una-unidad]

#include "CifrasReporte.h"
#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "platform/ReportePintor.h"
#include "reports/GeneradorReportes.h"
#include "reports/ReportesCruzados.h"
#include "reports/modReportes.h"

#include <QApplication>
#include <sqlite3.h>

namespace {

// The count columns of the detailed list, in their order: Totales, then the age groups.
QStringList ColumnasLista()
{
    QStringList r{QStringLiteral("Totales")};
    for (const ColumnaCuenta &c : ColumnasEdad(QStringLiteral("e"), true))
        r << c.columna;
    return r;
}

// The detailed list's rows at every level (cause, category in CATCIE10,
// chapter, state; each sex and all of them, "A"), keys then counts, sorted:
// one grouped pass over the events, each looked up in CATCLUES and CATCIE10,
// and the levels summed from it.
QString ListaPlana(const QString &causa)
{
    QStringList cuentas{QStringLiteral("count(*) AS Totales")}, sumas;
    for (const ColumnaCuenta &c : ColumnasEdad(QStringLiteral("e"), true))
        cuentas << QStringLiteral("count(CASE WHEN %1 THEN 1 END) AS %2").arg(c.condicion, c.columna);
    for (const QString &c : ColumnasLista())
        sumas << QStringLiteral("sum(%1)").arg(c);
    return QStringLiteral(
        "WITH g AS MATERIALIZED (SELECT u.CEDOCVE AS est, l.Capitulo AS cap, l.Causa AS cau, "
        "CASE e.CodSexo WHEN 1 THEN 'H' WHEN 2 THEN 'M' WHEN 9 THEN 'N' ELSE CAST(e.CodSexo AS TEXT) END AS sexo, %1 "
        "FROM D_EVENTO e JOIN CATCLUES u ON u.Clues = e.Clues JOIN CATCIE10 l ON l.Causa = trim(%2) "
        "WHERE e.FechaAtencion BETWEEN ?1 AND ?2 GROUP BY est, cau, sexo), "
        "t AS MATERIALIZED (SELECT * FROM g UNION ALL SELECT est, cap, cau, 'A', %3 FROM g GROUP BY est, cau) "
        "SELECT 3, est, cap, cau, sexo, %4 FROM t "
        "UNION ALL SELECT 2, est, cap, substr(cau, 1, 3), sexo, %3 FROM t WHERE substr(cau, 1, 3) IN (SELECT Causa FROM CATCIE10) "
        "GROUP BY est, cap, substr(cau, 1, 3), sexo "
        "UNION ALL SELECT 1, est, cap, '', sexo, %3 FROM t GROUP BY est, cap, sexo "
        "UNION ALL SELECT 0, est, NULL, '', sexo, %3 FROM t GROUP BY est, sexo")
        .arg(cuentas.join(QStringLiteral(", ")), causa, sumas.join(QStringLiteral(", ")), ColumnasLista().join(QStringLiteral(", ")));
}

// The twenty first categories (number, category, events, percentage), then
// the rest: one grouped pass that also gives the total.
QString PrincipalesPlana(const QString &codigo)
{
    return QStringLiteral(
        "WITH g AS MATERIALIZED (SELECT coalesce(upper(substr(trim(%1), 1, 3)), '') AS cat, count(*) AS n, "
        "sum(count(*)) OVER () AS total FROM D_EVENTO WHERE FechaAtencion BETWEEN ?1 AND ?2 "
        "GROUP BY 1 ORDER BY 2 DESC, 1 LIMIT 20) "
        "SELECT row_number() OVER (ORDER BY n DESC, cat), cat, n, printf('%.9f', n * 100.0 / total) FROM g "
        "UNION ALL SELECT '', '', max(total) - sum(n), printf('%.9f', (max(total) - sum(n)) * 100.0 / max(total)) FROM g")
        .arg(codigo);
}

// The figures of the report's work table after one run of its steps (the
// work tables go with the generator).
std::vector<std::string> CifrasDelPrograma(Contexto &ctx, FiltrosReporte &filtros, const QString &consulta)
{
    GeneradorReportes g(ctx, filtros);
    if (!g.ArmaFiltro() || !g.CreaPasoReporte())
        return {};
    g.GeneraReporte();
    return FilasTexto(ctx.ConexionBD.Manejador(), consulta.toUtf8());
}

void Cifra(const char *nombre, double nuestro, double plano, bool iguales, const QString &extra = {})
{
    std::printf("%-46s %9.1f ms  plano %9.1f ms  %5.2f x  %s%s\n", nombre, nuestro, plano, plano > 0 ? nuestro / plano : 0.0,
                qPrintable(extra), iguales ? "" : "  cifras distintas del plano");
    std::fflush(stdout);
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    if (!BaseConEventos(programa))
        return 0;
    programa.CopiaReportes();

    FiltrosReporte filtros(bd);
    GeneradorReportes generador(ctx, filtros);
    int paginas = 0;
    generador.Muestra = [&](const DocumentoReporte &d) { paginas = d.Paginas(); };
    filtros.InicializaFiltros();
    const QList<QByteArray> periodo{filtros.picFechaInicial.valor.toString(Qt::ISODate).toUtf8(),
                                    filtros.picFechaFinal.valor.toString(Qt::ISODate).toUtf8()};

    // Each report and its plain statement run in turn, three times each.
    Metas metas;
    const auto mide = [&](const char *nombre, const QByteArray &plana, const QString &consulta, bool ordena, double cifraMaxima) {
        std::vector<std::string> filasPlano;
        const auto [nuestro, plano] = MedianasAlternadas(3, [&] { generador.Reporte(); },
                                                         [&] { filasPlano = FilasTexto(bd.Manejador(), plana, periodo); });
        std::vector<std::string> cifras = CifrasDelPrograma(ctx, filtros, consulta);
        if (ordena) {
            std::sort(cifras.begin(), cifras.end());
            std::sort(filasPlano.begin(), filasPlano.end());
        }
        Cifra(nombre, nuestro, plano, cifras == filasPlano, QStringLiteral("(%1 pág.)").arg(paginas));
        metas.AgregaCotejada(nombre, nuestro, plano, "ms", cifras, filasPlano, 1.5, cifraMaxima);
    };
    for (bool afeccion : {true, false}) {
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(QStringLiteral("Lista Detallada"))));
        filtros.EligeAfeccionPrincipal(afeccion);
        mide(afeccion ? "Lista Detallada (afección principal)" : "Lista Detallada (causa externa)",
             ListaPlana(afeccion ? QStringLiteral("e.CodAfecprin") : QStringLiteral("e.CodCausaExt")).toUtf8(),
             QStringLiteral("SELECT Nivel, IdEstado, Capitulo, Causa, IdSexo, %1 FROM REPLISDET")
                 .arg(ColumnasLista().join(QStringLiteral(", "))),
             true, 4000);
    }
    for (const char *titulo : {"Principales Diagnosticos por Causa Externa", "Principales Diagnosticos por VELMORAN"}) {
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(QString::fromUtf8(titulo))));
        const QString codigo = QString::fromUtf8(titulo).endsWith(QLatin1String("Externa")) ? QStringLiteral("CodCausaExt")
                                                                                          : QStringLiteral("CodAfecprin");
        mide(titulo, PrincipalesPlana(codigo).toUtf8(),
             QStringLiteral("SELECT Numero, Principal, Volumen, printf('%.9f', Porcentaje) FROM REP_Principales "
                            "WHERE Numero <> '  ' ORDER BY rowid"),
             false, 0);
    }

    metas.Imprime("lista detallada y principales");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
