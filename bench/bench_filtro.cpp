// Speed of the filter window's run over the care events: from "Ejecutar" until
// the first chosen event is on the capture sheet, with criteria on the event,
// on a detail table, on the diagnoses and on both; each beside the same query
// written by hand in plain SQLite (the chosen keys in the sheet's order, then
// the first event with its detail rows), the faster of SQLite's own plan and
// the whole table read. Prints "name: value unit" lines;
// never fails a run.
//
//   velmoran_bench_filtro [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]

#include "GeneraEventos.h"
#include "Medicion.h"
#include "Metas.h"

#include "capture/ManejadorRegistro.h"
#include "platform/BaseDatos.h"
#include "queries/modVisData.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

// The hand-written query: keys in the sheet's order, then the first event
// and its details. `plan`: "" lets SQLite choose, "NOT INDEXED" reads the
// whole table and sorts the keys chosen.
size_t PlanoSQLite(sqlite3 *db, const std::string &donde, const char *plan = "")
{
    struct Llave {
        char clues[12];
        qint64 folio;
        char fecha[11];
    };
    std::vector<Llave> llaves;
    sqlite3_stmt *s = nullptr;
    const std::string sql = std::string("SELECT Clues, Folio, fechaAtencion FROM D_EVENTO AS E ") + plan + " WHERE " + donde
                            + " ORDER BY Clues, Folio, fechaAtencion";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        std::printf("sqlite: %s\n", sqlite3_errmsg(db));
    while (sqlite3_step(s) == SQLITE_ROW) {
        Llave k{};
        std::strncpy(k.clues, reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), 11);
        k.folio = sqlite3_column_int64(s, 1);
        std::strncpy(k.fecha, reinterpret_cast<const char *>(sqlite3_column_text(s, 2)), 10);
        llaves.push_back(k);
    }
    sqlite3_finalize(s);
    if (llaves.empty())
        return 0;
    const char *lecturas[] = {
        "D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"};
    for (const char *tabla : lecturas) {
        const std::string q = std::string("SELECT * FROM ") + tabla
                              + " WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?";
        sqlite3_prepare_v2(db, q.c_str(), -1, &s, nullptr);
        sqlite3_bind_text(s, 1, llaves[0].clues, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 2, llaves[0].folio);
        sqlite3_bind_text(s, 3, llaves[0].fecha, -1, SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                sqlite3_column_text(s, i);
        sqlite3_finalize(s);
    }
    return llaves.size();
}

std::string Existe(const char *tabla, const char *alias, const std::string &condicion)
{
    return std::string("EXISTS (SELECT 1 FROM ") + tabla + " AS " + alias + " WHERE " + alias + ".CLUES = E.Clues AND "
           + alias + ".Folio = E.Folio AND " + alias + ".fechaAtencion = E.fechaAtencion AND " + condicion + ")";
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    // Criteria that each pick a part of the year: a diagnosis of middling
    // frequency (about one event in twenty) and a rare type of care.
    const std::string diagnostico = bd.Valor(QStringLiteral(
        "SELECT CodDiagnostico FROM D_Diagnosticos GROUP BY 1 "
        "ORDER BY abs(count(*) - (SELECT count(*) / 20 FROM D_EVENTO)) LIMIT 1")).toString().toStdString();
    std::printf("diagnóstico del criterio: %s\n", diagnostico.c_str());

    const std::string ano = std::to_string(opciones.ano);
    const std::string localidad = bd.Valor(QStringLiteral(
        "SELECT CodLocalidad FROM D_EVENTO WHERE rowid = (SELECT min(rowid) FROM D_EVENTO)")).toString().toStdString();

    HojaRegistro hoja(ctx);
    hoja.vida.Abre();
    sqlite3 *db = bd.Manejador();
    const struct {
        const char *nombre;
        std::string criterio;
        std::string plano;
        double meta = 0;   // limit of the ratio, 0 for none
    } casos[] = {
        {"criterio sobre el evento", "E.CodSexo = 2\nAnd E.Edad > 30", "E.CodSexo = 2 AND E.Edad > 30"},
        {"criterio sobre un detalle", "T.CodTipoAtencion = 9", Existe("D_TipoAtencion", "T", "T.CodTipoAtencion = 9")},
        {"criterio sobre los diagnósticos", "F.Diagnosticos = '" + diagnostico + "'",
         Existe("D_Diagnosticos", "F", "F.CodDiagnostico = '" + diagnostico + "'")},
        {"criterio sobre evento y diagnósticos", "F.Diagnosticos = '" + diagnostico + "'\nAnd E.Edad > 30",
         "E.Edad > 30 AND " + Existe("D_Diagnosticos", "F", "F.CodDiagnostico = '" + diagnostico + "'")},
        // Columns without an index: the whole table is read either way.
        {"criterio sin índice (Paterno, FechaOcurrencia, CodLocalidad)",
         "E.Paterno = 'GARCIA'\nAnd CDATE(E.FechaOcurrencia) >= CDATE('01/06/" + ano + "')\nAnd E.CodLocalidad = '" + localidad
             + "'",
         "E.Paterno = 'GARCIA' AND E.FechaOcurrencia >= '" + ano + "-06-01' AND E.CodLocalidad = '" + localidad + "'", 1.5},
    };
    Metas metas;
    for (const auto &c : casos) {
        bool ok = true;
        const double nuestro = MedianaMs(3, [&] { ok = ok && EjecutaFiltro(ctx, QString::fromStdString(c.criterio), DestinoFiltro{&hoja, {}}); });
        // The fastest plain plan: SQLite's own choice or the whole table read.
        size_t filas = 0;
        const double plano = std::min(MedianaMs(3, [&] { filas = PlanoSQLite(db, c.plano); }),
                                      MedianaMs(3, [&] { PlanoSQLite(db, c.plano, "NOT INDEXED"); }));
        std::printf("%s: %.1f ms (SQLite plano %.1f ms, %.2f x), %d eventos%s\n", c.nombre, nuestro, plano,
                    plano > 0 ? nuestro / plano : 0.0, hoja.eventos.rsAtencion.Cuenta(),
                    ok && size_t(hoja.eventos.rsAtencion.Cuenta()) == filas ? "" : " (¡distintos!)");
        std::fflush(stdout);
        metas.AgregaComparada(c.nombre, nuestro, plano, "ms", ok ? hoja.eventos.rsAtencion.Cuenta() : -1, long(filas), c.meta);
    }
    std::printf("memoria máxima: %.0f MB\n", MemoriaMB("VmHWM:"));
    metas.Imprime("filtro, de Ejecutar al primer evento en la hoja");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
