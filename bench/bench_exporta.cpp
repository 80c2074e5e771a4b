// Speed and memory of the export table and its exports: the build of the
// export table with all 53 fields, its export to .db, .xlsx and .dbf, and the
// table view's first rows, each beside the same work done plainly (SQLite
// alone, a bare libxlsxwriter loop). Prints "name: value unit" lines; never
// fails a run.
//
//   velmoran_bench_exporta [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado]

#include "GeneraEventos.h"
#include "LibroPlano.h"
#include "ProgramaBanco.h"

#include "platform/BaseDatos.h"
#include "platform/ExportaTabla.h"
#include "queries/CamposConsulta.h"
#include "queries/ModeloTablaTrabajo.h"
#include "queries/TablaTrabajo.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <tuple>

namespace {


double CampoProc(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(campo))
            return l.mid(int(qstrlen(campo))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Runs one piece of work and prints its time and the peak resident memory during it.
double Mide(const char *nombre, const std::function<void()> &trabajo)
{
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");   // resets the peak to the present size
    limpia.close();
    QElapsedTimer t;
    t.start();
    trabajo();
    const double s = double(t.nsecsElapsed()) / 1e9;
    std::printf("%s: %.2f s, pico de memoria %.0f MB\n", nombre, s, CampoProc("VmHWM:"));
    std::fflush(stdout);
    return s;
}

// The line a goal is read from: our figure, the plain one, their ratio.
void Razon(const char *nombre, double nuestro, double plano)
{
    std::printf("%s: %.2f s, plano %.2f s, razón %.2f\n", nombre, nuestro, plano, plano > 0 ? nuestro / plano : 0.0);
    std::fflush(stdout);
}

void Exporta(const BaseDatos &bd, FormatoExportacion f, const QString &ruta, const char *nombre)
{
    PeticionExportacion p;
    p.origen = TablaTrabajo::GenConsul;
    p.destino = ruta;
    p.formato = f;
    p.nombre = QString::fromLatin1(nombre);
    const ResultadoExportacion r = ExportaTabla(bd, p);
    if (!r.ok)
        std::printf("  falló: %s\n", qPrintable(r.error));
    else
        std::printf("  %lld filas, %.0f MB\n", r.filas, double(QFile(ruta).size()) / 1048576.0);
}

void LeePlano(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    qint64 bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < n; ++i)
            bytes += sqlite3_column_bytes(st, i);
    sqlite3_finalize(st);
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    QTemporaryDir &dir = programa.dir;
    // VELMORAN_CONSERVA=1 keeps the files, to open them with other programs.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VELMORAN_CONSERVA"));
    std::printf("carpeta: %s\n", qPrintable(dir.path()));
    const BaseDatos &bd = programa.ctx.ConexionBD;
    if (!BaseConEventos(programa))
        return 0;
    const QStringList Campos53 = EntradasCampos(OrigenConsulta::Hoja);
    sqlite3 *plano = bd.Manejador();
    std::printf("eventos: %s, campos elegidos: %lld\n",
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toString()), qlonglong(Campos53.size()));

    const double genconsul = Mide("GENCONSUL con los 53 campos", [&] { TablaTrabajo::ConstruyeGenConsul(bd, Campos53, {}); });
    const double genconsulPlano = Mide("  SQLite plano: CREATE TABLE AS SELECT de D_EVENTO", [&] {
        sqlite3_exec(plano, "CREATE TEMP TABLE PLANO AS SELECT * FROM D_EVENTO; DROP TABLE PLANO", nullptr, nullptr, nullptr);
    });
    Razon("GENCONSUL frente a CREATE TABLE AS SELECT", genconsul, genconsulPlano);
    std::printf("  columnas de GENCONSUL: %s\n",
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM pragma_table_info('GENCONSUL', 'temp')")).toString()));
    // The generator always has a condition: one that keeps half the events
    // (from the median date of care on) and one that keeps a few (one unit).
    const QString mediana = bd.Valor(QStringLiteral("SELECT fechaAtencion FROM D_EVENTO ORDER BY fechaAtencion "
                                                    "LIMIT 1 OFFSET (SELECT count(*) / 2 FROM D_EVENTO)")).toString();
    const QString unidad = bd.Valor(QStringLiteral("SELECT Clues FROM D_EVENTO GROUP BY Clues ORDER BY count(*) LIMIT 1")).toString();
    for (const auto &[nombre, condicion, valor] : {std::tuple{"la mitad", "E.fechaAtencion >= ?", mediana},
                                                  {"una unidad", "E.Clues = ?", unidad}}) {
        qint64 filas = 0;
        const QByteArray titulo = QByteArray("GENCONSUL con filtro, ") + nombre;
        const double nuestro = Mide(titulo.constData(), [&] {
            filas = TablaTrabajo::ConstruyeGenConsul(bd, Campos53, {QStringLiteral(" FROM D_Evento AS E"), QString::fromLatin1(condicion), {valor}, {}});
        });
        const double plano = Mide("  SQLite plano: CREATE TABLE AS SELECT con el mismo filtro", [&] {
            bd.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE PLANO AS SELECT * FROM D_EVENTO AS E WHERE %1").arg(QString::fromLatin1(condicion)), {valor});
            bd.EjecutaAccion(QStringLiteral("DROP TABLE PLANO"));
        });
        std::printf("  %lld filas\n", filas);
        Razon((titulo + " frente a CREATE TABLE AS SELECT").constData(), nuestro, plano);
    }

    // VELMORAN_SIN_EXPORTAR=1 leaves the exports out (their .xlsx takes minutes at a million events).
    const bool exporta = qEnvironmentVariableIsEmpty("VELMORAN_SIN_EXPORTAR");
    if (exporta) {
        Mide("exportar a .db", [&] { Exporta(bd, FormatoExportacion::BaseDatos, dir.filePath("r.db"), "r"); });
        const QByteArray adjunta = QStringLiteral("ATTACH '%1' AS x; CREATE TABLE x.r AS SELECT * FROM GENCONSUL; DETACH x")
                                       .arg(dir.filePath("plano.db")).toUtf8();
        Mide("  SQLite plano: ATTACH + CREATE TABLE AS", [&] { sqlite3_exec(plano, adjunta.constData(), nullptr, nullptr, nullptr); });

        Mide("exportar a .xlsx", [&] { Exporta(bd, FormatoExportacion::Excel, dir.filePath("r.xlsx"), "ExcelTabla"); });
        Mide("  libxlsxwriter desnudo, mismas celdas", [&] { LibroPlano(plano, QStringLiteral("SELECT * FROM GENCONSUL"), dir.filePath("plano.xlsx"), "ExcelTabla"); });

        Mide("exportar a .dbf", [&] { Exporta(bd, FormatoExportacion::Dbase, dir.filePath("r.dbf"), ""); });
        Mide("  SQLite plano: leer GENCONSUL entera", [&] { LeePlano(plano, "SELECT * FROM GENCONSUL"); });
    }

    Mide("abrir la vista de resultados (modelo sobre GENCONSUL)", [&] {
        ModeloTablaTrabajo m(bd);
        m.Carga(TablaTrabajo::FuenteTabla(bd, TablaTrabajo::GenConsul));
        m.data(m.index(m.rowCount() - 1, 5));
    });
    // The table view as the clerk meets it: its first rows (the grid reads 50
    // to size its columns), then the last row, then a sort by a slot column.
    ModeloTablaTrabajo vista(bd);
    const double primeras = Mide("vista de tabla: primeras filas", [&] {
        vista.Carga(TablaTrabajo::FuenteTmpQuery(bd, {}));
        for (int f = 0; f < qMin(50, vista.rowCount()); ++f)
            vista.data(vista.index(f, 60));
    });
    Mide("  vista de tabla: última fila", [&] { vista.data(vista.index(vista.rowCount() - 1, 60)); });
    Mide("  vista de tabla: ordenar por TipoViolencia01", [&] { vista.sort(25); });
    vista.Cierra();
    const double claves = Mide("  SQLite plano: leer las claves de D_EVENTO en su orden", [&] {
        LeePlano(plano, "SELECT rowid FROM D_EVENTO ORDER BY Clues, Folio, fechaAtencion");
    });
    Razon("vista de tabla frente a leer las claves", primeras, claves);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
