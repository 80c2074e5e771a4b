// Speed of the detailed list and the principal diagnoses: "Lista Detallada"
// and both "Principales" end to end (filters, events work table, builder, page
// model) beside one plain GROUP BY with the same conditional sums (catalog
// printing is measured by velmoran_bench_catalogos). Never fails a run.
//
//   velmoran_bench_reportes2 [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]

#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "platform/ReportePintor.h"
#include "reports/GeneradorReportes.h"
#include "reports/ReportesCruzados.h"
#include "reports/modReportes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <functional>
#include <sqlite3.h>

namespace {

double Ms(const std::function<void()> &op)
{
    QElapsedTimer t;
    t.start();
    op();
    return double(t.nsecsElapsed()) / 1e6;
}

// One statement stepped to its end in plain SQLite, every column read.
double Plano(sqlite3 *db, const QString &sql, const QStringList &valores = {})
{
    const QByteArray texto = sql.toUtf8();
    return Ms([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, texto.constData(), -1, &s, nullptr);
        for (int i = 0; i < valores.size(); ++i) {
            const QByteArray v = valores[i].toUtf8();
            sqlite3_bind_text(s, i + 1, v.constData(), -1, SQLITE_TRANSIENT);
        }
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                sqlite3_column_text(s, i);
        sqlite3_finalize(s);
    });
}

void Cifra(const char *nombre, double nuestro, double plano, const QString &extra = {})
{
    std::printf("%-46s %9.1f ms  plano %9.1f ms  %5.2f x  %s\n", nombre, nuestro, plano, plano > 0 ? nuestro / plano : 0.0,
                qPrintable(extra));
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
    const QStringList periodo{filtros.picFechaInicial.valor.toString(Qt::ISODate),
                              filtros.picFechaFinal.valor.toString(Qt::ISODate)};

    QStringList sumas{QStringLiteral("count(*)")};
    for (const ColumnaCuenta &c : ColumnasEdad(QStringLiteral("e"), true))
        sumas << QStringLiteral("count(CASE WHEN %1 THEN 1 END)").arg(c.condicion);
    Metas metas;
    for (bool afeccion : {true, false}) {
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(QStringLiteral("Lista Detallada"))));
        filtros.EligeAfeccionPrincipal(afeccion);
        const double nuestro = MedianaMs(3, [&] { generador.Reporte(); });
        const QString causa = afeccion ? QStringLiteral("e.CodAfecprin") : QStringLiteral("e.CodCausaExt");
        const double plano = MedianaMs(3, [&] { Plano(bd.Manejador(), QStringLiteral(
            "SELECT c.CEDOCVE, l.Causa, e.CodSexo, %1 FROM D_EVENTO e JOIN CATCIE10 l ON l.Causa = %2 "
            "JOIN CATCLUES c ON c.Clues = e.Clues WHERE e.FechaAtencion BETWEEN ?1 AND ?2 GROUP BY 1, 2, 3")
            .arg(sumas.join(QStringLiteral(", ")), causa), periodo); });
        const char *nombre = afeccion ? "Lista Detallada (afección principal)" : "Lista Detallada (causa externa)";
        Cifra(nombre, nuestro, plano, QStringLiteral("(%1 pág.)").arg(paginas));
        metas.Agrega(nombre, nuestro, plano, "ms", 1.5, 4000);
    }
    for (const char *titulo : {"Principales Diagnosticos por Causa Externa", "Principales Diagnosticos por VELMORAN"}) {
        filtros.EligeReporte(int(FiltrosReporte::TitulosReportes.indexOf(QString::fromUtf8(titulo))));
        const double nuestro = Ms([&] { generador.Reporte(); });
        const QString codigo = QString::fromUtf8(titulo).endsWith(QLatin1String("Externa")) ? QStringLiteral("CodCausaExt")
                                                                                          : QStringLiteral("CodAfecprin");
        const double plano = Plano(bd.Manejador(), QStringLiteral(
            "SELECT substr(%1, 1, 3), count(*) FROM D_EVENTO WHERE FechaAtencion BETWEEN ?1 AND ?2 "
            "GROUP BY 1 ORDER BY 2 DESC, 1 LIMIT 20").arg(codigo), periodo);
        Cifra(titulo, nuestro, plano);
        metas.Agrega(titulo, nuestro, plano, "ms");
    }

    metas.Imprime("lista detallada y principales");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
