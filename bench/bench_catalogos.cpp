// Speed and memory of the catalog windows on large catalogs: opening the
// localities over 300,000 rows and the health units over 40,000, and each
// keystroke of a search in them, each beside the same work in plain SQLite
// (reading every row; one LIKE query per keystroke). Never fails a run.
//
//   velmoran_bench_catalogos [localidades]   (default 100,000; the goals
//   stand for 300,000, beside 40,000 health units)

#include "GeneraEventos.h"
#include "Medicion.h"

#include "catalogs/modCatalogos.h"

#include <QMdiArea>
#include <array>
#include <malloc.h>
#include <sqlite3.h>
#include <string>

namespace {

// Reads every row as text, as a window must before it can show the last one;
// tells the memory the rows take.
double LeePlano(sqlite3 *db, const char *sql, double *mb)
{
    const double antes = MemoriaMB("VmRSS:");
    std::vector<std::vector<std::string>> v;
    const double ms = Milisegundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<std::string> fila;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, i));
                fila.emplace_back(t ? t : "");
            }
            v.push_back(std::move(fila));
        }
        sqlite3_finalize(s);
    });
    *mb = MemoriaMB("VmRSS:") - antes;
    return ms;
}

// The filter of one keystroke as a LIKE query, its rows counted.
double FiltraPlano(sqlite3 *db, const char *sql, const std::vector<std::string> &valores)
{
    return Milisegundos([&] {
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        for (size_t i = 0; i < valores.size(); ++i)
            sqlite3_bind_text(s, int(i) + 1, valores[i].c_str(), -1, SQLITE_TRANSIENT);
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW)
            ++n;
        sqlite3_finalize(s);
    });
}

void Memoria(const char *nombre, double antes)
{
    std::printf("%-52s %8.1f MB (process %0.1f MB, peak %0.1f MB)\n", nombre, MemoriaMB("VmRSS:") - antes, MemoriaMB("VmRSS:"),
                MemoriaMB("VmHWM:"));
}

int Corre(int localidades)
{
    const int unidades = std::max(1, localidades * 2 / 15);   // 40,000 beside 300,000
    ProgramaBanco programa;
    Contexto &ctx = programa.ctx;
    if (!programa.AbreBase())
        return 0;
    GeneraLocalidades(ctx.ConexionBD, localidades);
    GeneraUnidades(ctx.ConexionBD, unidades);
    std::printf("localities: %d, health units: %d\n", localidades, unidades);

    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(qPrintable(ctx.ArchivoBD), &db, SQLITE_OPEN_READONLY, nullptr);
        double mb = 0;
        Cifra("plain SQLite: read every locality", LeePlano(db, "SELECT * FROM cLocalidades ORDER BY CodEstado, "
                                                                "CodMunicipio, CodLocalidad", &mb));
        std::printf("%-52s %8.1f MB\n", "plain SQLite: memory of the localities read", mb);
        malloc_trim(0);
        Cifra("plain SQLite: read every health unit", LeePlano(db, "SELECT * FROM CATCLUES ORDER BY Clues", &mb));
        const char *porCodigo = "SELECT * FROM cLocalidades WHERE CodEstado LIKE ? AND CodMunicipio LIKE ?";
        double peor = 0;
        for (const auto &v : std::vector<std::vector<std::string>>{{"1%", "%"}, {"15%", "%"}, {"15%", "1%"},
                                                                   {"15%", "12%"}, {"15%", "123%"}})
            peor = std::max(peor, FiltraPlano(db, porCodigo, v));
        Cifra("plain SQLite: slowest code-prefix LIKE keystroke", peor);
        peor = 0;
        for (const char *t : {"%P%", "%PE%", "%PEÑ%", "%PEÑA%"})
            peor = std::max(peor, FiltraPlano(db, "SELECT * FROM cLocalidades WHERE Descripcion LIKE ?", {t}));
        Cifra("plain SQLite: slowest description LIKE keystroke", peor);
        sqlite3_close(db);
        malloc_trim(0);
    }

    {
        ListaSeleccion l;
        Cifra("ListaSeleccion: read every locality", Milisegundos([&] {
                  l.Carga(ctx.ConexionBD, QStringLiteral("SELECT * FROM cLocalidades ORDER BY CodEstado, CodMunicipio, CodLocalidad"));
              }));
    }
    malloc_trim(0);
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    ServiciosCatalogos servicios;
    {
        const double antes = MemoriaMB("VmRSS:");
        VentanaCatalogo *w = nullptr;
        Cifra("frmCatLocalidades: open (read, build, show)", Milisegundos([&] { w = CargaCatLocalidades(ctx, area, servicios); }));
        Memoria("frmCatLocalidades: memory", antes);
        std::printf("  rows listed: %d\n", w->Catalogo().Lista().Cantidad());
        Teclea("frmCatLocalidades: state box \"15\"", w->txtDatos(4), QStringLiteral("15"));
        Teclea("frmCatLocalidades: municipality box \"123\"", w->txtDatos(5), QStringLiteral("123"));
        Teclea("frmCatLocalidades: emptying the municipality box", w->txtDatos(5), QString(3, QChar(8)));
        Teclea("frmCatLocalidades: description \"peña\" (state kept)", w->txtDatos(7), QStringLiteral("peña"));
        Teclea("frmCatLocalidades: no match and reset", w->txtDatos(7), QStringLiteral("Z"));
        Teclea("frmCatLocalidades: description \"el ñandú\" over all", w->txtDatos(7), QStringLiteral("el ñandú"));
        Cifra("frmCatLocalidades: button 4 (last row)", Milisegundos([&] { w->Boton(4); }));
        Cifra("frmCatLocalidades: button 7 (refresh)", Milisegundos([&] { w->Boton(7); }));
        Memoria("frmCatLocalidades: memory after searching", antes);
        Cifra("frmCatLocalidades: close", Milisegundos([&] { w->Boton(13); }));
    }
    {
        VentanaCatalogo *w = nullptr;
        Cifra("frmCatCLUES: open (read, build, show)", Milisegundos([&] { w = CargaCatCLUES(ctx, area, servicios); }));
        Teclea("frmCatCLUES: CLUES box \"DFSSA01\"", w->txtDatos(15), QStringLiteral("dfssa01"));
        Teclea("frmCatCLUES: unit box \"peña\"", w->txtDatos(24), QStringLiteral("peña"));
        Teclea("frmCatCLUES: no match and reset", w->txtDatos(16), QStringLiteral("77"));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    return MainBanco(argc, argv, Corre);
}
