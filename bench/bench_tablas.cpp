// Speed and memory of the pivot-table database and workbook and of the full
// flat table, on generated events, each beside plain work that writes the
// same tables: hand-written SQL in plain SQLite (the pivot database's tables
// with their descriptions joined; the flat table with each detail family
// spread by a window function) and bare libxlsxwriter for the workbooks.
// Prints "name: value unit" lines and ends with the goal lines; never fails
// a run.
//
//   velmoran_bench_tablas [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]
//                         [--salida CARPETA]   the outputs stay in CARPETA if given

#include "GeneraEventos.h"
#include "LibroPlano.h"
#include "Memoria.h"
#include "Metas.h"
#include "ProgramaBanco.h"

#include "platform/BaseDatos.h"
#include "shell/Contexto.h"
#include "tools/LibroDinamico.h"
#include "tools/SqlTablas.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
    std::printf("%-40s %8.2f s   (plano: %.2f s, %.2f x)\n", nombre, nuestro, plano, plano > 0 ? nuestro / plano : 0.0);
    std::fflush(stdout);
}

void Ejecuta(sqlite3 *db, const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        std::printf("sqlite: %s\n", error);
    sqlite3_free(error);
}

// The statistical month and year of a date of care: the 26th on counts in the next month.
const char *const MesPlano =
    "(SELECT column2 FROM (VALUES (1, 'ENERO'), (2, 'FEBRERO'), (3, 'MARZO'), (4, 'ABRIL'), (5, 'MAYO'), (6, 'JUNIO'), "
    "(7, 'JULIO'), (8, 'AGOSTO'), (9, 'SEPTIEMBRE'), (10, 'OCTUBRE'), (11, 'NOVIEMBRE'), (12, 'DICIEMBRE')) "
    "WHERE column1 = CAST(strftime('%m', E.fechaAtencion, '+6 days') AS INTEGER))";

// Plain SQL writing the pivot database's tables into the file attached as p:
// the catalogs copied, each event with its codes described by a join, the
// detail tables with theirs.
void DinamicaPlana(sqlite3 *db)
{
    Ejecuta(db, "PRAGMA p.journal_mode = OFF; PRAGMA p.synchronous = OFF; BEGIN");
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM main.sqlite_master WHERE type = 'table' AND (name LIKE 'c%' OR name LIKE 'CAT%')",
                       -1, &s, nullptr);
    QStringList catalogos;
    while (sqlite3_step(s) == SQLITE_ROW)
        catalogos << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    for (const QString &c : catalogos)
        Ejecuta(db, QStringLiteral("CREATE TABLE p.%1 AS SELECT * FROM main.%1").arg(c));
    Ejecuta(db, QStringLiteral(
        "CREATE TABLE p.D_EVENTO_DAT AS SELECT "
        "C.CEDOCVE AS EDO_ATEN_COD, C.CEDOCVE || '-' || EA.Descripcion AS EDO_ATEN, C.CJURCVE AS JUR_ATEN_COD, "
        "C.CJURCVE || '-' || JA.Descripcion AS JUR_ATEN, C.CMPOCVE AS MPO_ATEN_COD, C.CMPOCVE || '-' || MA.Descripcion AS MPO_ATEN, "
        "C.CLOCCVE AS LOC_ATEN_COD, C.CLOCCVE || '-' || LA.Descripcion AS LOC_ATEN, E.Clues AS CLUES, "
        "substr(C.DescUnidad, 1, 90) AS UNIDAD, E.Folio AS FOLIO, E.fechaAtencion AS FECHAATENCION, %1 AS MES, "
        "CE.Descripcion AS CVEEDAD, E.Edad AS EDAD, "
        "CASE WHEN E.Edad = 999 OR (CE.Descripcion = 'AÑOS' AND E.Edad IS NULL) THEN 'NE' "
        "WHEN CE.Descripcion IN ('HORAS', 'DIAS', 'MESES') OR E.Edad = 0 THEN '< A 1' "
        "WHEN CE.Descripcion <> 'AÑOS' THEN ' ' WHEN E.Edad <= 4 THEN '01 A 04' WHEN E.Edad <= 14 THEN '05 A 14' "
        "WHEN E.Edad <= 24 THEN '15 A 24' WHEN E.Edad <= 44 THEN '25 A 44' WHEN E.Edad <= 64 THEN '45 A 64' "
        "ELSE '65 Y MAS' END AS GPO_QUIN, "
        "SX.Descripcion AS SEXO, EM.Descripcion AS EMBARAZADA, E.Expediente AS EXPEDIENTE, LE.Descripcion AS LEE_ESCRIBE, "
        "ES.Descripcion AS ESCOLARIDAD, E.CodEstado AS ENT_OCU_COD, E.CodEstado || '-' || EO.Descripcion AS ENT_OCU, "
        "E.CodMunicipio AS MPO_OCU_COD, E.CodMunicipio || '-' || MO.Descripcion AS MPO_OCU, E.CodLocalidad AS LOC_OCU_COD, "
        "E.CodLocalidad || '-' || LO.Descripcion AS LOC_OCU, E.FechaOcurrencia AS FECHAOCURRENCIA, FE.Descripcion AS FESTIVO, "
        "DI.Descripcion AS DISCAPACIDAD, INT.Descripcion AS INTENCIONALIDAD, VZ.Descripcion AS VEZ, SI.Descripcion AS SITIO, "
        "AG.Descripcion AS AGENTE, LV.Descripcion AS LESIONADOVEHICULO, US.Descripcion AS USOSEGURIDAD, "
        "EQ.Descripcion AS EQUIPO, AR.Descripcion AS AREA, CO.Descripcion AS CONSECUENCIA, "
        "PH.Descripcion AS PREHOSPITALARIA, AGR.Descripcion AS AGRESOR, E.EdadAgresor AS EDADAGRESOR, "
        "SA.Descripcion AS SEXOAGRESOR, PA.Descripcion AS PARENTESCOAGRESOR, SV.Descripcion AS SERVICIO, "
        "RF.Descripcion AS REFERIDO, DS.Descripcion AS DESTINO, MP.Descripcion AS MP, RS.Descripcion AS RESPONSABLE, "
        "E.CodAfecprin AS AFECPRIN_COD, coalesce(E.CodAfecprin, '') || ' ' || coalesce(AP.nombre, '') AS AFECPRIN, "
        "E.CodCausaExt AS CAUSAEXT_COD, E.CodCausaExt || ' ' || CX.nombre AS CAUSAEXT, 1 AS CONTADOR "
        "FROM main.D_EVENTO E "
        "LEFT JOIN main.CATCLUES C ON C.Clues = E.Clues "
        "LEFT JOIN main.cEstados EA ON EA.CodEstado = C.CEDOCVE "
        "LEFT JOIN main.cJurisdicciones JA ON JA.CodEstado = C.CEDOCVE AND JA.CodJurisdiccion = C.CJURCVE "
        "LEFT JOIN main.cMunicipios MA ON MA.CodEstado = C.CEDOCVE AND MA.CodMunicipio = C.CMPOCVE "
        "LEFT JOIN main.cLocalidades LA ON LA.CodEstado = C.CEDOCVE AND LA.CodMunicipio = C.CMPOCVE AND LA.CodLocalidad = C.CLOCCVE "
        "LEFT JOIN main.cClaveEdad CE ON CE.CodClaveEdad = E.CodClaveEdad "
        "LEFT JOIN main.cSexo SX ON SX.CodSexo = E.CodSexo "
        "LEFT JOIN main.cEmbarazada EM ON EM.CodEmbarazada = coalesce(E.CodEmbarazada, 0) "
        "LEFT JOIN main.cLeeEscribe LE ON LE.CodLeeEscribe = E.CodLeeEscribe "
        "LEFT JOIN main.cEscolaridad ES ON ES.CodEscolaridad = E.CodEscolaridad "
        "LEFT JOIN main.cEstados EO ON EO.CodEstado = E.CodEstado "
        "LEFT JOIN main.cMunicipios MO ON MO.CodEstado = E.CodEstado AND MO.CodMunicipio = E.CodMunicipio "
        "LEFT JOIN main.cLocalidades LO ON LO.CodEstado = E.CodEstado AND LO.CodMunicipio = E.CodMunicipio "
        "AND LO.CodLocalidad = E.CodLocalidad "
        "LEFT JOIN main.cFestivo FE ON FE.CodFestivo = E.CodFestivo "
        "LEFT JOIN main.cDiscapacidad DI ON DI.CodDiscapacidad = E.CodDiscapacidad "
        "LEFT JOIN main.cIntencionalidad INT ON INT.CodIntencionalidad = E.CodIntencionalidad "
        "LEFT JOIN main.cVez VZ ON VZ.CodVez = coalesce(E.CodVez, 0) "
        "LEFT JOIN main.cSitio SI ON SI.CodSitio = E.CodSitio "
        "LEFT JOIN main.cAgente AG ON AG.CodAgente = E.CodAgente "
        "LEFT JOIN main.cLesionadoVehiculo LV ON LV.CodLesionadoVehiculo = coalesce(E.CodLesionadoVehiculo, 0) "
        "LEFT JOIN main.cUsoSeguridad US ON US.CodUsoSeguridad = coalesce(E.CodUsoSeguridad, 0) "
        "LEFT JOIN main.cEquipo EQ ON EQ.CodEquipo = coalesce(E.CodEquipo, 0) "
        "LEFT JOIN main.cArea AR ON AR.CodArea = E.CodArea "
        "LEFT JOIN main.cConsecuencia CO ON CO.CodConsecuencia = E.CodConsecuencia "
        "LEFT JOIN main.cPrehospitalaria PH ON PH.CodPrehospitalaria = E.CodPrehospitalaria "
        "LEFT JOIN main.cAgresor AGR ON AGR.CodAgresor = coalesce(E.CodAgresor, 0) "
        "LEFT JOIN main.cSexo SA ON SA.CodSexo = coalesce(E.CodSexoAgresor, 0) "
        "LEFT JOIN main.cParentesco PA ON PA.CodParentesco = coalesce(E.CodParentescoAgresor, 0) "
        "LEFT JOIN main.cServicio SV ON SV.CodServicio = E.CodServicio "
        "LEFT JOIN main.cReferido RF ON RF.CodReferido = E.CodReferido "
        "LEFT JOIN main.cDestino DS ON DS.CodDestino = E.CodDestino "
        "LEFT JOIN main.cMP MP ON MP.CodMP = E.CodMP "
        "LEFT JOIN main.cResponsable RS ON RS.CodResponsable = E.CodResponsable "
        "LEFT JOIN main.CATCIE10 AP ON AP.Causa = E.CodAfecprin "
        "LEFT JOIN main.CATCIE10 CX ON CX.Causa = E.CodCausaExt "
        "ORDER BY E.rowid").arg(QLatin1String(MesPlano)));
    for (const auto &[tabla, sql] : {std::pair{"D_EFECTOS_DAT", "D.CodAfectadoAgresor, F.Descripcion AS EFECTOS FROM main.D_BajoEfectos D "
                                                                "LEFT JOIN main.cEfectos F ON F.CodEfectos = D.CodEfectos"},
                                     {"D_DERECHOHABIENCIA_DAT", "T.Descripcion AS DERECHOHABIENCIA FROM main.D_Derechohabiencia D "
                                                                "LEFT JOIN main.cDerechohabiencia T USING (CodDerechohabiencia)"},
                                     {"D_TIPOATENCION_DAT", "T.Descripcion AS TIPOATENCION FROM main.D_TipoAtencion D "
                                                            "LEFT JOIN main.cTipoAtencion T USING (CodTipoAtencion)"},
                                     {"D_TIPOVIOLENCIA_DAT", "T.Descripcion AS TIPOVIOLENCIA FROM main.D_TipoViolencia D "
                                                             "LEFT JOIN main.cTipoViolencia T USING (CodTipoViolencia)"}})
        Ejecuta(db, QStringLiteral("CREATE TABLE p.%1 AS SELECT D.Folio AS FOLIO, D.CLUES AS CLUES, "
                                   "D.fechaAtencion AS FECHAATENCION, %2").arg(QLatin1String(tabla), QLatin1String(sql)));
    Ejecuta(db, "COMMIT");
}

// The plain SELECT of the full flat table: every column of the events, each
// detail family spread over numbered columns by row_number(), the
// statistical month and year.
QString CompletaPlana(sqlite3 *db)
{
    struct Familia {
        const char *prefijo, *tabla, *codigo, *condicion, *orden;
    };
    const Familia familias[] = {
        {"Derhab0", "D_Derechohabiencia", "CodDerechohabiencia", "1", "CodDerechohabiencia"},
        {"EfectoPaciente0", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 1", "CodEfectos"},
        {"CIE10_0", "D_Diagnosticos", "CodDiagnostico", "1", "Orden"},
        {"TipoAtencion0", "D_TipoAtencion", "CodTipoAtencion", "1", "CodTipoAtencion"},
        {"TipoViolencia0", "D_TipoViolencia", "CodTipoViolencia", "1", "CodTipoViolencia"},
        {"EfectoAgresor0", "D_BajoEfectos", "CodEfectos", "CodAfectadoAgresor = 2", "CodEfectos"},
    };
    QStringList con, columnas, uniones;
    int k = 0;
    for (const Familia &f : familias) {
        const QString desde = QStringLiteral("FROM main.%1 WHERE %2").arg(QLatin1String(f.tabla), QLatin1String(f.condicion));
        sqlite3_stmt *s = nullptr;
        sqlite3_prepare_v2(db, QStringLiteral("SELECT max(c) FROM (SELECT count(*) AS c %1 GROUP BY CLUES, Folio, fechaAtencion)")
                                   .arg(desde).toUtf8().constData(), -1, &s, nullptr);
        const int n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : 0;
        sqlite3_finalize(s);
        if (n == 0)
            continue;
        const QString alias = QStringLiteral("F%1").arg(++k);
        QStringList spread;
        for (int i = 1; i <= n; ++i) {
            const QString nombre = QLatin1String(f.prefijo) + QString::number(i);
            spread << QStringLiteral("max(CASE WHEN n = %1 THEN c END) AS %2").arg(i).arg(nombre);
            columnas << alias + QLatin1Char('.') + nombre;
        }
        con << QStringLiteral("%1 AS (SELECT CLUES, Folio, fechaAtencion, %2 FROM (SELECT CLUES, Folio, fechaAtencion, %3 AS c, "
                              "row_number() OVER (PARTITION BY CLUES, Folio, fechaAtencion ORDER BY %4) AS n %5) "
                              "GROUP BY CLUES, Folio, fechaAtencion)")
                   .arg(alias, spread.join(QStringLiteral(", ")), QLatin1String(f.codigo), QLatin1String(f.orden), desde);
        uniones << QStringLiteral("LEFT JOIN %1 ON %1.CLUES = E.Clues AND %1.Folio = E.Folio AND %1.fechaAtencion = E.fechaAtencion")
                       .arg(alias);
    }
    columnas << QLatin1String(MesPlano) + QStringLiteral(" AS MES")
             << QStringLiteral("strftime('%Y', E.fechaAtencion, '+6 days') AS ANIO_ESTADISTICO");
    return QStringLiteral("%1 SELECT E.*, %2 FROM main.D_EVENTO E %3 ORDER BY E.rowid")
        .arg(con.isEmpty() ? QString() : QStringLiteral("WITH ") + con.join(QStringLiteral(", ")),
             columnas.join(QStringLiteral(", ")), uniones.join(QLatin1Char(' ')));
}

qint64 Filas(const BaseDatos &bd, const QString &tabla)
{
    return bd.Valor(QStringLiteral("SELECT count(*) FROM %1").arg(tabla)).toLongLong();
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    sqlite3 *db = bd.Manejador();
    const QString salida = opciones.propias.value(QStringLiteral("--salida"));
    const QDir carpeta(salida.isEmpty() ? programa.dir.path() : salida);
    carpeta.mkpath(QStringLiteral("Datos"));
    Metas metas;

    // The pivot database, then its workbook: ours and the plain ones.
    const QString dinamica = carpeta.filePath(QStringLiteral("Datos/bench_dinamica.db"));
    const QString plana = carpeta.filePath(QStringLiteral("Datos/bench_dinamica_plana.db"));
    QFile::remove(dinamica);
    QFile::remove(plana);
    double base = 0, basePlana = 0, libro = 0, libroPlano = 0;
    {
        BaseAdjunta a(bd, dinamica, QStringLiteral("dinamica"));
        base = Segundos([&] { ConstruyeBaseDinamica(bd, QStringLiteral("dinamica"), [](const QString &) {}); });
        libro = Segundos([&] {
            EscribeLibroDinamico(bd, QStringLiteral("dinamica"), carpeta.filePath(QStringLiteral("bench_libro.xlsx")),
                                 QStringLiteral("bench"));
        });
        BaseAdjunta p(bd, plana, QStringLiteral("p"));
        basePlana = Segundos([&] { DinamicaPlana(db); });
        std::printf("filas de D_EVENTO_DAT: %lld; plano %lld\n", Filas(bd, QStringLiteral("dinamica.D_EVENTO_DAT")),
                    Filas(bd, QStringLiteral("p.D_EVENTO_DAT")));
        // The same rows in a sheet, and the counts of the pivot table by unit and month.
        libroPlano = Segundos([&] {
            LibroPlano(db, QStringLiteral("SELECT * FROM p.D_EVENTO_DAT"), carpeta.filePath(QStringLiteral("plano_libro.xlsx")),
                       "D_EVENTO_DAT");
            Ejecuta(db, "SELECT UNIDAD, MES, sum(CONTADOR) FROM p.D_EVENTO_DAT GROUP BY UNIDAD, MES");
        });
    }
    Cifra("base de tabla dinámica", base, basePlana);
    Cifra("libro de tabla dinámica", libro, libroPlano);
    metas.Agrega("base de tabla dinámica", base, basePlana, "s");
    metas.Agrega("libro de tabla dinámica", libro, libroPlano, "s");
    const double todo = Segundos([&] { GeneraTablaDinamica(ctx); });
    Cifra("tabla dinámica completa (menú)", todo, basePlana + libroPlano);
    metas.Agrega("tabla dinámica completa (menú)", todo, basePlana + libroPlano, "s");

    // The full flat table: into a database, then into a workbook.
    const QString consulta = CompletaPlana(db);
    const QString completaPlana = carpeta.filePath(QStringLiteral("Datos/bench_completa_plana.db"));
    QFile::remove(completaPlana);
    const double basePlanaCompleta = Segundos([&] {
        BaseAdjunta p(bd, completaPlana, QStringLiteral("p"));
        Ejecuta(db, "PRAGMA p.journal_mode = OFF; PRAGMA p.synchronous = OFF");
        Ejecuta(db, QStringLiteral("CREATE TABLE p.TablaVELMORANCompleta AS ") + consulta);
    });
    const double libroPlanoCompleto = Segundos([&] {
        LibroPlano(db, consulta, carpeta.filePath(QStringLiteral("plano_completa.xlsx")), "TablaVELMORAN");
    });
    for (const bool enBase : {true, false}) {
        ctx.TablaEnAccess = enBase;
        const double t = Segundos([&] { GeneraTablaCompleta(ctx); });
        const char *nombre = enBase ? "tabla completa .db" : "tabla completa .xlsx";
        Cifra(nombre, t, enBase ? basePlanaCompleta : libroPlanoCompleto);
        metas.Agrega(nombre, t, enBase ? basePlanaCompleta : libroPlanoCompleto, "s");
    }

    std::printf("memoria pico: %.0f MB\n", MemoriaMB("VmHWM:"));
    metas.Imprime("tablas");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre, {QStringLiteral("--salida")});
}
