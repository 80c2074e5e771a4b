// Speed and memory of the pivot-table database and workbook and of the full
// flat table, on generated events, each beside the same rows moved by plain
// SQLite. Prints "name: value unit" lines; never fails a run.
//
//   velmoran_bench_tablas [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado]
//                         [--salida CARPETA]   the outputs stay in CARPETA if given

#include "GeneraEventos.h"
#include "Memoria.h"
#include "ProgramaBanco.h"

#include "platform/Ajustes.h"
#include "platform/BaseDatos.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"
#include "tools/LibroDinamico.h"
#include "tools/SqlTablas.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>

namespace {

double Segundos(const std::function<void()> &op)
{
    QElapsedTimer t;
    t.start();
    op();
    return double(t.nsecsElapsed()) / 1e9;
}

void Cifra(const char *nombre, double nuestro, double plano)
{
    std::printf("%-36s %8.2f s   (SQLite simple: %.2f s)\n", nombre, nuestro, plano);
    std::fflush(stdout);
}

// Plain SQLite: the events copied as they stand into a new file.
double CopiaPlana(const BaseDatos &bd, const QString &archivo)
{
    return Segundos([&] {
        BaseAdjunta a(bd, archivo, QStringLiteral("plana"));
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE plana.D_EVENTO AS SELECT * FROM main.D_EVENTO"));
    });
}

// Plain SQLite: every row of a table stepped and read as text.
double LecturaPlana(const BaseDatos &bd, const QString &tabla)
{
    return Segundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(bd.Manejador(), ("SELECT * FROM " + tabla.toStdString()).c_str(), -1, &s, nullptr);
        size_t bytes = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                sqlite3_column_text(s, i);
                bytes += size_t(sqlite3_column_bytes(s, i));
            }
        sqlite3_finalize(s);
        std::fprintf(stderr, "(%zu bytes leídos)\n", bytes);
    });
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const QString salida = opciones.propias.value(QStringLiteral("--salida"));
    const QString carpeta = salida.isEmpty() ? programa.dir.path() : salida;
    QDir(carpeta).mkpath(QStringLiteral("Datos"));

    const QString dinamica = QDir(carpeta).filePath(QStringLiteral("Datos/bench_dinamica.db"));
    const double plana = CopiaPlana(ctx.ConexionBD, QDir(carpeta).filePath(QStringLiteral("Datos/bench_plana.db")));
    double base = 0, libro = 0, lectura = 0;
    {
        QFile::remove(dinamica);
        BaseAdjunta a(ctx.ConexionBD, dinamica, QStringLiteral("dinamica"));
        base = Segundos([&] { ConstruyeBaseDinamica(ctx.ConexionBD, QStringLiteral("dinamica"), [](const QString &) {}); });
        lectura = LecturaPlana(ctx.ConexionBD, QStringLiteral("dinamica.D_EVENTO_DAT"));
        libro = Segundos([&] {
            EscribeLibroDinamico(ctx.ConexionBD, QStringLiteral("dinamica"),
                                 QDir(carpeta).filePath(QStringLiteral("bench_libro.xlsx")), QStringLiteral("bench"));
        });
    }
    Cifra("base de tabla dinámica", base, plana);
    Cifra("libro de tabla dinámica", libro, lectura);
    const double todo = Segundos([&] { GeneraTablaDinamica(ctx); });
    Cifra("tabla dinámica completa (menú)", todo, plana + lectura);

    const double eventos = LecturaPlana(ctx.ConexionBD, QStringLiteral("main.D_EVENTO"));
    {
        std::unique_ptr<TablaCompleta> t;
        const double columnas = Segundos([&] { t = std::make_unique<TablaCompleta>(ctx.ConexionBD); });
        Cifra("columnas de las familias", columnas, 0);
        Cifra("lectura de la tabla completa", LecturaPlana(ctx.ConexionBD, "(" + t->Consulta() + ")"), eventos);
    }
    for (const bool enBase : {true, false}) {
        ctx.TablaEnAccess = enBase;
        const double t = Segundos([&] { GeneraTablaCompleta(ctx); });
        Cifra(enBase ? "tabla completa .db" : "tabla completa .xlsx", t, enBase ? plana : eventos);
    }

    std::printf("memoria pico: %.0f MB\n", MemoriaMB("VmHWM:"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre, {QStringLiteral("--salida")});
}
