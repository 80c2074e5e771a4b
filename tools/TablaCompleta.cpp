#include "tools/TablaCompleta.h"

#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"
#include "tools/SqlTablas.h"

#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

// A detail family: its column prefix and type, source, code column, and the
// order in which an event's distinct codes fill its columns (written as the
// key index runs, so that no sort is needed).
struct Familia {
    const char *prefijo;
    const char *tipo;
    const char *tabla;
    const char *codigo;
    const char *condicion;
    const char *orden;
};

const Familia Familias[] = {
    {"Derhab0", "TEXT(1)", "D_Derechohabiencia", "CodDerechohabiencia", "1", "CodDerechohabiencia"},
    {"EfectoPaciente0", "INTEGER", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 1",
     "CodAfectadoAgresor, CodEfectos"},
    // Diagnoses keep their order of importance.
    {"CIE10_0", "TEXT(4)", "D_Diagnosticos", "CodDiagnostico", "1", "Orden"},
    {"TipoAtencion0", "INTEGER", "D_TipoAtencion", "CodTipoAtencion", "1", "CodTipoAtencion"},
    {"TipoViolencia0", "INTEGER", "D_TipoViolencia", "CodTipoViolencia", "1", "CodTipoViolencia"},
    {"EfectoAgresor0", "INTEGER", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 2",
     "CodAfectadoAgresor, CodEfectos"},
};

const QString Llave = QStringLiteral("CLUES, Folio, fechaAtencion");
const QString Tabla = QStringLiteral("TABLACOMPLETA_FAMILIAS");

const char *TextoDe(sqlite3_stmt *s, int col)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
    return t ? t : "";
}

// Orders two event keys (CLUES, Folio, fechaAtencion from column `a` and `b`)
// as the tables' key indexes do: CLUES without regard to case.
int ComparaLlave(sqlite3_stmt *x, int a, sqlite3_stmt *y, int b)
{
    if (const int c = sqlite3_stricmp(TextoDe(x, a), TextoDe(y, b)))
        return c;
    const sqlite3_int64 fx = sqlite3_column_int64(x, a + 1), fy = sqlite3_column_int64(y, b + 1);
    if (fx != fy)
        return fx < fy ? -1 : 1;
    return std::strcmp(TextoDe(x, a + 2), TextoDe(y, b + 2));
}

} // namespace

TablaCompleta::TablaCompleta(const BaseDatos &bd, std::function<void(qint64, qint64)> avance)
    : bd_(bd), temporal_(bd), avance_(std::move(avance))
{
    Construye();
}

void TablaCompleta::Construye()
{
    eventos_ = bd_.Valor(QStringLiteral("SELECT count(*) FROM main.D_EVENTO")).toLongLong();
    // Columns per family: the most rows one event has in its source.
    std::vector<int> columnas, desde;
    QStringList definiciones = {QStringLiteral("Fila INTEGER PRIMARY KEY")}, seleccion = {QStringLiteral("E.*")};
    for (const Familia &f : Familias) {
        const int n = bd_.Valor(QStringLiteral("SELECT max(c) FROM (SELECT count(*) AS c FROM main.%1 WHERE %2 "
                                               "GROUP BY %3)")
                                    .arg(QLatin1String(f.tabla), QLatin1String(f.condicion), Llave))
                          .toInt();
        desde.push_back(int(familias_.size()));
        columnas.push_back(n);
        for (int k = 1; k <= n; ++k) {
            const QString nombre = QLatin1String(f.prefijo) + QString::number(k);
            familias_ << nombre;
            if (QLatin1String(f.tipo) == QLatin1String("INTEGER"))
                numericas_ << nombre;
            definiciones << nombre + QLatin1Char(' ') + QLatin1String(f.tipo);
            seleccion << QStringLiteral("F.") + nombre;
        }
    }
    seleccion << MesEstadisticoSql(QStringLiteral("E.fechaAtencion")) + QStringLiteral(" AS MES")
              << AnioEstadisticoSql(QStringLiteral("E.fechaAtencion")) + QStringLiteral(" AS ANIO_ESTADISTICO");
    if (familias_.isEmpty()) {
        consulta_ = QStringLiteral("SELECT %1 FROM main.D_EVENTO AS E ORDER BY E.rowid").arg(seleccion.join(", "));
        return;
    }

    temporal_.Agrega(Tabla);
    bd_.EjecutaAccion(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(Tabla, definiciones.join(QStringLiteral(", "))));
    consulta_ = QStringLiteral("SELECT %1 FROM main.D_EVENTO AS E LEFT JOIN temp.%2 AS F ON F.Fila = E.rowid "
                               "ORDER BY E.rowid")
                    .arg(seleccion.join(QStringLiteral(", ")), Tabla);

    // One pass over the events and every family in key order (their key
    // indexes give it without sorting): each event's distinct codes, in the
    // family's order, fill its columns from the first on.
    sqlite3 *db = bd_.Manejador();
    Transaccion t(bd_, Transaccion::Alcance::Aparte);
    SentenciaSqlite eventos(db, QStringLiteral("SELECT rowid, Clues, Folio, fechaAtencion FROM main.D_EVENTO "
                                               "ORDER BY Clues, Folio, fechaAtencion"));
    std::vector<std::unique_ptr<SentenciaSqlite>> fuentes;
    std::vector<bool> quedan;
    for (const Familia &f : Familias) {
        fuentes.push_back(std::make_unique<SentenciaSqlite>(
            db, QStringLiteral("SELECT %1, %2 FROM main.%3 WHERE %4 ORDER BY %1, %5")
                    .arg(Llave, QLatin1String(f.codigo), QLatin1String(f.tabla), QLatin1String(f.condicion),
                         QLatin1String(f.orden))));
        quedan.push_back(fuentes.back()->Paso());
    }
    SentenciaSqlite inserta(db, QStringLiteral("INSERT INTO temp.%1 VALUES (?%2)")
                                    .arg(Tabla, QStringLiteral(", ?").repeated(int(familias_.size()))));
    sqlite3_stmt *ins = inserta.Stmt();
    std::vector<std::string> vistos;
    qint64 hechos = 0;
    while (eventos.Paso()) {
        if (avance_ && hechos++ % 4096 == 0)
            avance_(hechos - 1, eventos_);
        sqlite3_stmt *e = eventos.Stmt();
        bool algo = false;
        for (size_t f = 0; f < fuentes.size(); ++f) {
            sqlite3_stmt *s = fuentes[f]->Stmt();
            // Detail rows of no event are passed over.
            while (quedan[f] && ComparaLlave(s, 0, e, 1) < 0)
                quedan[f] = fuentes[f]->Paso();
            vistos.clear();
            while (quedan[f] && ComparaLlave(s, 0, e, 1) == 0) {
                const std::string codigo = TextoDe(s, 3);
                bool repetido = false;
                for (const std::string &v : vistos)
                    repetido = repetido || sqlite3_stricmp(v.c_str(), codigo.c_str()) == 0;
                if (!repetido && int(vistos.size()) < columnas[f]) {
                    sqlite3_bind_value(ins, 2 + desde[f] + int(vistos.size()), sqlite3_column_value(s, 3));
                    vistos.push_back(codigo);
                    algo = true;
                }
                quedan[f] = fuentes[f]->Paso();
            }
        }
        if (algo) {
            sqlite3_bind_int64(ins, 1, sqlite3_column_int64(e, 0));
            inserta.Ejecuta();
            sqlite3_clear_bindings(ins);
        }
    }
    if (avance_)
        avance_(hechos, eventos_);
    t.Confirma();
}
