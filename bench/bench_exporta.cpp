// Speed and memory of the export table and its exports: the build of the
// export table with all 53 fields, its export to .db, .xlsx and .dbf, and the
// opening of the table view, each beside the same work done plainly (SQLite
// alone, a bare libxlsxwriter loop). Prints "name: value unit" lines; never
// fails a run.
//
//   velmoran_bench_exporta [N]      N events to generate (default 100000)

#include "GeneraEventos.h"
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
#include <xlsxwriter.h>

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
void Mide(const char *nombre, const std::function<void()> &trabajo)
{
    QFile limpia(QStringLiteral("/proc/self/clear_refs"));
    if (limpia.open(QIODevice::WriteOnly))
        limpia.write("5");   // resets the peak to the present size
    limpia.close();
    QElapsedTimer t;
    t.start();
    trabajo();
    std::printf("%s: %.2f s, pico de memoria %.0f MB\n", nombre, double(t.nsecsElapsed()) / 1e9, CampoProc("VmHWM:"));
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

// The same cells written by libxlsxwriter with nothing else around it.
void ExcelDesnudo(sqlite3 *db, const QString &ruta)
{
    lxw_workbook_options o = {};
    o.constant_memory = LXW_TRUE;
    lxw_workbook *libro = workbook_new_opt(QFile::encodeName(ruta).constData(), &o);
    lxw_worksheet *ws = workbook_add_worksheet(libro, "ExcelTabla");
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM GENCONSUL", -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i)
        worksheet_write_string(ws, 0, lxw_col_t(i), sqlite3_column_name(st, i), nullptr);
    lxw_row_t fila = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++fila;
        for (int i = 0; i < n; ++i) {
            const int tipo = sqlite3_column_type(st, i);
            if (tipo == SQLITE_INTEGER || tipo == SQLITE_FLOAT)
                worksheet_write_number(ws, fila, lxw_col_t(i), sqlite3_column_double(st, i), nullptr);
            else if (tipo == SQLITE_TEXT)
                worksheet_write_string(ws, fila, lxw_col_t(i), reinterpret_cast<const char *>(sqlite3_column_text(st, i)), nullptr);
        }
    }
    sqlite3_finalize(st);
    workbook_close(libro);
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

int Corre(int n)
{
    ProgramaBanco programa;
    QTemporaryDir &dir = programa.dir;
    // VELMORAN_CONSERVA=1 keeps the files, to open them with other programs.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VELMORAN_CONSERVA"));
    std::printf("carpeta: %s\n", qPrintable(dir.path()));
    if (!programa.AbreBase())
        return 0;
    const BaseDatos &bd = programa.ctx.ConexionBD;
    const QStringList Campos53 = EntradasCampos(OrigenConsulta::Hoja);
    GeneraEventos(bd, n, EventoValido());
    bd.Ejecuta(QStringLiteral("ANALYZE"));
    sqlite3 *plano = bd.Manejador();
    std::printf("eventos: %d, campos elegidos: %lld\n", n, qlonglong(Campos53.size()));

    Mide("GENCONSUL con los 53 campos", [&] { TablaTrabajo::ConstruyeGenConsul(bd, Campos53, {}); });
    Mide("  SQLite plano: CREATE TABLE AS SELECT de D_EVENTO", [&] {
        sqlite3_exec(plano, "CREATE TEMP TABLE PLANO AS SELECT * FROM D_EVENTO; DROP TABLE PLANO", nullptr, nullptr, nullptr);
    });
    std::printf("  columnas de GENCONSUL: %s\n",
                qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM pragma_table_info('GENCONSUL', 'temp')")).toString()));

    Mide("exportar a .db", [&] { Exporta(bd, FormatoExportacion::BaseDatos, dir.filePath("r.db"), "r"); });
    const QByteArray adjunta = QStringLiteral("ATTACH '%1' AS x; CREATE TABLE x.r AS SELECT * FROM GENCONSUL; DETACH x")
                                   .arg(dir.filePath("plano.db")).toUtf8();
    Mide("  SQLite plano: ATTACH + CREATE TABLE AS", [&] { sqlite3_exec(plano, adjunta.constData(), nullptr, nullptr, nullptr); });

    Mide("exportar a .xlsx", [&] { Exporta(bd, FormatoExportacion::Excel, dir.filePath("r.xlsx"), "ExcelTabla"); });
    Mide("  libxlsxwriter desnudo, mismas celdas", [&] { ExcelDesnudo(plano, dir.filePath("plano.xlsx")); });

    Mide("exportar a .dbf", [&] { Exporta(bd, FormatoExportacion::Dbase, dir.filePath("r.dbf"), ""); });
    Mide("  SQLite plano: leer GENCONSUL entera", [&] { LeePlano(plano, "SELECT * FROM GENCONSUL"); });

    Mide("abrir la vista de resultados (modelo sobre GENCONSUL)", [&] {
        ModeloTablaTrabajo m(bd);
        m.Carga(TablaTrabajo::GenConsul);
        m.data(m.index(m.rowCount() - 1, 5));
    });
    Mide("abrir la vista de tabla (TMPQUERY y su modelo)", [&] {
        TablaTrabajo::ConstruyeTmpQuery(bd, {});
        ModeloTablaTrabajo m(bd);
        m.Carga(TablaTrabajo::TmpQuery);
        m.data(m.index(m.rowCount() - 1, 5));
        m.sort(25);
    });
    Mide("  SQLite plano: leer las claves de TMPQUERY", [&] { LeePlano(plano, "SELECT rowid FROM TMPQUERY"); });
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
