#include "CincoEventos.h"
#include "platform/SentenciaSqlite.h"
#include "queries/LecturaTramos.h"
#include "queries/RanurasEvento.h"
#include "queries/TablaTrabajo.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <pthread.h>
#include <sqlite3.h>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <limits>
#include <optional>
#include <thread>
#include <tuple>

namespace {

using TablaTrabajoTest = CincoEventos;

const QString Columnas = "SELECT name FROM pragma_table_info('GENCONSUL', 'main')";

// The stretches a build of the violence types' slots read on threads (0: none).
int Tramos(ProgramaTemporal &p, const SeleccionEventos &s)
{
    TablaTrabajo::LecturaTabla lectura;
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"V.CodTipoViolencia"}, s, true, &lectura);
    return lectura.tramos;
}

} // namespace

TEST_F(TablaTrabajoTest, SoloLosCamposElegidosYConDetalleLaClaveYUnaFilaPorEvento)
{
    EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Nombre", "E.Edad"}, {" FROM D_Evento AS E", "(E.Edad > ?)", {23}, "E.Edad DESC"}), 2);
    EXPECT_EQ(p.Filas(Columnas) + p.Filas("SELECT Edad FROM GENCONSUL"), QStringList({"Nombre", "Edad", "25", "24"}));
    const SeleccionEventos conDetalle{" FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND "
                                      "V.Folio = E.Folio AND V.fechaAtencion = E.fechaAtencion", "(V.CodTipoViolencia >= ?)", {7}, {}};
    EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.CLUES", "D.CodDerechohabiencia"}, conDetalle), 4);
    EXPECT_EQ(p.Filas(Columnas),
              QStringList({"Folio", "fechaAtencion", "CLUES", "Derechohabiencia01", "Derechohabiencia02", "Derechohabiencia03"}));
}

TEST_F(TablaTrabajoTest, RanurasDeCeroACuatroCodigos)
{
    // Stored after the others but first in key order: the walk along the detail tables goes back for it.
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('0', 7, '2004-03-07')");
    p.Ejecuta("INSERT INTO D_TipoViolencia VALUES ('0', 7, '2004-03-07', 4)");
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"D.CodDerechohabiencia", "V.CodTipoViolencia", "T.CodTipoAtencion",
                                              "P.EfectosPaciente", "P.EfectosAgresor", "F.Diagnosticos"}, {});
    // No rows: slot 01 NULL where the first pass has no condition, the initial value elsewhere;
    // a fourth code has no slot.
    EXPECT_EQ(p.Filas("SELECT Folio, quote(Derechohabiencia01), quote(Derechohabiencia02), quote(Derechohabiencia03), "
                      "quote(TipoViolencia01), TipoViolencia02, TipoAtencion03, EfectosPaciente01 FROM GENCONSUL"),
              QStringList({"1|NULL|' '|' '|NULL|0|0|0", "2|'09'|' '|' '|9|0|0|0", "3|'08'|'09'|' '|8|9|0|2",
                           "4|'07'|'08'|'09'|7|8|9|0", "5|'06'|'07'|'08'|6|7|8|0", "7|NULL|' '|' '|4|0|0|0"}));
    EXPECT_EQ(p.Filas("SELECT EfectosPaciente01, EfectosPaciente02, EfectosPaciente03, EfectosAgresor01, EfectosAgresor02, "
                      "quote(Diagnostico01), quote(Diagnostico02), quote(Diagnostico03), quote(Diagnostico04), "
                      "quote(Diagnostico06) FROM GENCONSUL WHERE Folio = 3"),
              QStringList({"2|5|0|3|0|'S010'|'S020'|'    '|'T140'|'    '"}));
    // The slots of one event by its key, searched for alone, as the table shows them.
    EXPECT_EQ(p.Filas("SELECT clues, folio, fecha, TipoViolencia01, quote(TipoViolencia02), quote(Derechohabiencia01), "
                      "quote(Diagnostico01) FROM RANURAS_EVENTO('0', 7, '2004-03-07')"),
              QStringList({"0|7|2004-03-07|4|0|NULL|'    '"}));
}

TEST_F(TablaTrabajoTest, UnaConstruccionFallidaNoDejaNadaAMedias)
{
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Edad"}, {});
    EXPECT_THROW(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Edad"}, {" FROM D_Evento AS E", "(E.NoExiste = 1)", {}, {}}), ErrorBD);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM GENCONSUL").toInt(), 5);   // the former table, whole
    EXPECT_THROW(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Nada"}, {}), ErrorBD);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM main.GENCONSUL").toInt(), 5);
}

TEST_F(TablaTrabajoTest, LosHilosDanLasRanurasQueDaElRecorrido)
{
    // 2,001 events of units B and c (stored case apart, ordered without regard to it), each with 0 to 3 codes of
    // every detail: the detail tables are read on threads, a stretch of keys each.
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
              "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) SELECT iif(i % 2, 'B', 'c'), i, '2005-01-01' FROM n");
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('c', 501, '2005-01-01')");   // stored out of key order
    for (const char *tabla : {"D_TipoViolencia", "D_TipoAtencion", "D_Derechohabiencia"})
        p.Ejecuta(QString("INSERT INTO %1 SELECT Clues, Folio, fechaAtencion, k FROM D_EVENTO, (SELECT 1 AS k UNION SELECT 2 "
                          "UNION SELECT 3) WHERE Clues <> 'A' AND k <= Folio % 4").arg(tabla));
    // Rows of no event (written by a tool without the foreign keys), after all of them: the readers pass them over.
    p.Ejecuta("PRAGMA foreign_keys = OFF");
    p.Ejecuta("INSERT INTO D_TipoViolencia SELECT DISTINCT 'Z', Folio, fechaAtencion, 1 FROM D_EVENTO");
    p.Ejecuta("PRAGMA foreign_keys = ON");
    p.Ejecuta("INSERT INTO D_BajoEfectos SELECT Clues, Folio, fechaAtencion, 1 + Folio % 2, Folio % 5 FROM D_EVENTO WHERE Clues <> 'A' AND Folio % 3");
    p.Ejecuta("INSERT INTO D_Diagnosticos SELECT Clues, Folio, fechaAtencion, 'X' || Folio, 1 + Folio % 6 FROM D_EVENTO WHERE Clues <> 'A' AND Folio % 7");
    const QStringList campos = {"D.CodDerechohabiencia", "V.CodTipoViolencia", "T.CodTipoAtencion",
                                "P.EfectosPaciente", "P.EfectosAgresor", "F.Diagnosticos"};
    QList<const GrupoRanuras *> grupos;
    for (const QString &c : campos)
        grupos << RanurasEvento::GrupoDe(c);
    RanurasEvento::Registra(p.bd().Manejador());
    const auto ranuras = [&](bool hilos, const QString &donde) {
        std::optional<RanurasEvento::LecturaAdelantada> lectura;
        if (hilos)
            lectura.emplace(p.bd().Manejador(), grupos);
        return p.Filas("SELECT E.Folio, R.* FROM D_Evento AS E, RANURAS_EVENTO(E.Clues, E.Folio, E.fechaAtencion, E.rowid) AS R "
                       + donde + " ORDER BY E.rowid");
    };
    EXPECT_EQ(ranuras(true, {}), ranuras(false, {}));
    // Filters: runs of each unit's folios (as a period of dates keeps); one run far ahead, read through the key
    // index; two events, one of them stored out of order; one event in 97.
    for (const QString donde : {"WHERE E.Folio BETWEEN 300 AND 700 OR E.Folio > 1500", "WHERE E.Clues = 'c' AND E.Folio > 1000",
                                "WHERE +E.Clues = 'c' AND +E.Folio IN (501, 1004)", "WHERE E.Folio % 97 = 0"})
        EXPECT_EQ(ranuras(true, donde), ranuras(false, donde)) << donde.toStdString();
    EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), campos, {}), 2006);
    EXPECT_EQ(p.Filas("SELECT TipoViolencia01, TipoViolencia03, EfectosAgresor01, Diagnostico02 FROM GENCONSUL WHERE Folio = 1999"),
              QStringList({"1|3|4|X1999"}));
}

TEST_F(TablaTrabajoTest, LaLecturaAdelantadaSabeSiOtroEscribioAntesDeLaConstruccion)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    sqlite3 *db = p.bd().Manejador();
    const QList<const GrupoRanuras *> grupos = {RanurasEvento::GrupoDe("V.CodTipoViolencia")};
    for (const bool escribe : {false, true}) {
        const RanurasEvento::LecturaAdelantada lectura(db, grupos);
        if (escribe) {
            sqlite3 *otra = nullptr;
            sqlite3_open(sqlite3_db_filename(db, "main"), &otra);
            sqlite3_exec(otra, "UPDATE D_EVENTO SET Edad = 30 WHERE Folio = 1", nullptr, nullptr, nullptr);
            sqlite3_close(otra);
        }
        Transaccion t(p.bd());
        p.Valor("SELECT count(*) FROM D_EVENTO");
        EXPECT_EQ(lectura.MismaVersion(), !escribe);
    }
}

// Detail rows of every event but unit A's, 0 to 3 of each table, written in
// orders of their own.
void DetallesEnDesorden(ProgramaTemporal &p)
{
    for (const char *tabla : {"D_TipoViolencia", "D_Derechohabiencia"})
        p.Ejecuta(QString("INSERT INTO %1 SELECT Clues, Folio, fechaAtencion, iif(k = 1, 7, k) FROM D_EVENTO, (SELECT 1 AS k UNION "
                          "SELECT 2 UNION SELECT 3) WHERE Clues <> 'A' AND k <= (Folio + Edad) % 4 ORDER BY (Folio * 31 + k) % 97").arg(tabla));
    p.Ejecuta("INSERT INTO D_BajoEfectos SELECT Clues, Folio, fechaAtencion, q, (Folio + q * k) % 9 FROM D_EVENTO, (SELECT 1 AS q "
              "UNION SELECT 2), (SELECT 1 AS k UNION SELECT 2 UNION SELECT 3) WHERE Clues <> 'A' AND k <= (Folio + q) % 4 ORDER BY Edad");
    p.Ejecuta("INSERT INTO D_Diagnosticos SELECT Clues, Folio, fechaAtencion, 'X' || (Folio % 13), 1 + Folio % 7 FROM D_EVENTO "
              "WHERE Clues <> 'A' AND Folio % 5 ORDER BY Folio % 11");
}

// Events and detail rows stored in capture order, not in key order (units
// interleaved, folios back and forth), numbered after `ultima` when given.
void EventosEnOrdenDeCaptura(ProgramaTemporal &p, qint64 ultima = 0)
{
    if (ultima)
        p.Ejecuta("INSERT INTO D_EVENTO (rowid, Clues, Folio, fechaAtencion) VALUES (?, 'A', 0, '2005-01-01')", {ultima});
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
              "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) SELECT iif(i % 3 = 0, 'b', iif(i % 3 = 1, 'C', 'd')), "
              "1 + (i * 7919) % 3001, '2005-01-0' || (1 + i % 5), i % 90 FROM n ORDER BY (i * i * 7 + i) % 3001, i");
    DetallesEnDesorden(p);
    p.Ejecuta("DELETE FROM D_EVENTO WHERE Folio = 0");
}

// Units of these sizes, their events stored in a scrambled order: rowids out
// of key order across the units and within each, with their detail rows.
void UnidadesEnDesorden(ProgramaTemporal &p, const QList<QPair<QString, int>> &unidades, bool detalles = true)
{
    p.Ejecuta("CREATE TEMP TABLE nuevos (Clues TEXT, Folio INTEGER)");
    for (const auto &[clues, eventos] : unidades)
        p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) INSERT INTO temp.nuevos SELECT ?, i FROM n",
                  {eventos, clues});
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) SELECT Clues, Folio, '2005-02-0' || (1 + Folio % 7), "
              "(Folio * 37) % 90 FROM temp.nuevos ORDER BY (rowid * 7919) % 10007, rowid");
    p.Ejecuta("DROP TABLE temp.nuevos");
    if (detalles)
        DetallesEnDesorden(p);
}

const QStringList CamposOraculo = {"E.Folio", "E.CLUES", "E.fechaAtencion", "E.Edad", "V.CodTipoViolencia",
                                   "D.CodDerechohabiencia", "P.EfectosPaciente", "P.EfectosAgresor", "F.Diagnosticos"};

// GENCONSUL built of CamposOraculo, with threads and by the statement alone,
// beside what plain statements give, event by event, one of them searching
// each slot's code; `dondeOraculo` keeps the same events (the selection's own
// condition when empty), in the selection's order.
void ComparaConOraculo(ProgramaTemporal &p, const SeleccionEventos &s, int filas, const QString &dondeOraculo = {})
{
    const QString clave = "d.CLUES = E.Clues AND d.Folio = E.Folio AND d.fechaAtencion = E.fechaAtencion";
    const auto slot = [&](const QString &tabla, const QString &codigo, const QString &mas, int k) {
        return QString("(SELECT %1 FROM %2 AS d WHERE %3%4 ORDER BY %1 LIMIT 1 OFFSET %5)").arg(codigo, tabla, clave, mas).arg(k - 1);
    };
    QStringList plana = {"E.Folio", "E.Clues", "E.fechaAtencion", "E.Edad"};
    QStringList columnas = {"Folio", "CLUES", "fechaAtencion", "Edad"};
    for (int k = 1; k <= 3; ++k) {
        const QString v = slot("D_TipoViolencia", "CodTipoViolencia", "", k);
        const QString d = slot("D_Derechohabiencia", "CodDerechohabiencia", "", k);
        plana << (k == 1 ? v : "coalesce(" + v + ", 0)") << (k == 1 ? d : "coalesce(" + d + ", ' ')")
              << "coalesce(" + slot("D_BajoEfectos", "CodEfectos", " AND CodAfectadoAgresor = 1", k) + ", 0)"
              << "coalesce(" + slot("D_BajoEfectos", "CodEfectos", " AND CodAfectadoAgresor = 2", k) + ", 0)";
        columnas << QString("TipoViolencia0%1").arg(k) << QString("Derechohabiencia0%1").arg(k) << QString("EfectosPaciente0%1").arg(k)
                 << QString("EfectosAgresor0%1").arg(k);
    }
    for (int k = 1; k <= 6; ++k) {
        plana << QString("coalesce((SELECT CodDiagnostico FROM D_Diagnosticos AS d WHERE %1 AND Orden = %2), '    ')").arg(clave).arg(k);
        columnas << QString("Diagnostico0%1").arg(k);
    }
    const QString orden = s.orden.isEmpty() ? "E.rowid" : s.orden;
    const QStringList esperadas = p.Filas("SELECT " + plana.join(", ") + " FROM D_EVENTO AS E WHERE "
                                          + (dondeOraculo.isEmpty() ? s.condicion : dondeOraculo) + " ORDER BY " + orden, s.valores);
    ASSERT_EQ(esperadas.size(), filas) << s.condicion.toStdString();
    for (const bool hilos : {true, false}) {
        EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, s, hilos), filas);
        EXPECT_EQ(p.Filas("SELECT " + columnas.join(", ") + " FROM GENCONSUL ORDER BY rowid"), esperadas)
            << s.condicion.toStdString() << (hilos ? " con hilos" : " sin hilos");
    }
}

void ComparaConOraculo(ProgramaTemporal &p, const QString &donde, const QVariantList &valores, int filas)
{
    ComparaConOraculo(p, {" FROM D_Evento AS E", donde, valores, {}}, filas);
}

TEST_F(TablaTrabajoTest, EventosFueraDeOrdenDeClaveDanLoQueLaSentenciaPlana)
{
    EventosEnOrdenDeCaptura(p);
    ASSERT_GT(p.Valor("SELECT count(*) FROM D_EVENTO AS E WHERE E.rowid > 1 AND (SELECT Folio FROM D_EVENTO WHERE rowid = E.rowid - 1) "
                      "> E.Folio").toInt(), 1000);
    ComparaConOraculo(p, "E.Edad >= ?", {30}, 1981);
}

// Events numbered past 16,777,215 (receptions that replace events keep
// raising the rowids): the detail tables are still read on threads, and the
// table holds what the plain statements give.
TEST_F(TablaTrabajoTest, RowidsAltosSeLeenEnHilosYDanLoQueLaSentenciaPlana)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    EventosEnOrdenDeCaptura(p, 16777215 + 100);
    ASSERT_GT(p.Valor("SELECT min(rowid) FROM D_EVENTO WHERE Clues <> 'A'").toLongLong(), 16777215);
    QList<const GrupoRanuras *> grupos;
    for (const QString &c : CamposOraculo)
        if (const GrupoRanuras *g = RanurasEvento::GrupoDe(c))
            grupos << g;
    RanurasEvento::Registra(p.bd().Manejador());
    const auto ranuras = [&](bool hilos) {
        std::optional<RanurasEvento::LecturaAdelantada> lectura;
        if (hilos) {
            lectura.emplace(p.bd().Manejador(), grupos);
            EXPECT_GT(lectura->Tramos(), 0);
        }
        return p.Filas("SELECT E.Folio, R.* FROM D_Evento AS E, RANURAS_EVENTO(E.Clues, E.Folio, E.fechaAtencion, E.rowid) AS R ORDER BY E.rowid");
    };
    EXPECT_EQ(ranuras(true), ranuras(false));
    EXPECT_GT(Tramos(p, {}), 0);
    ComparaConOraculo(p, "E.Folio > ?", {0}, 3005);
}

// A filter that keeps few events has the statement read their detail rows
// alone, not threads every row; one that keeps many has them read on threads.
TEST_F(TablaTrabajoTest, UnFiltroDePocosEventosNoLeeTodoElDetalle)
{
    EventosEnOrdenDeCaptura(p);
    const auto seleccion = [](const QString &donde, const QVariant &valor) {
        return SeleccionEventos{" FROM D_Evento AS E", donde, {valor}, {}};
    };
    EXPECT_EQ(Tramos(p, seleccion("E.Folio % 97 = ?", 3)), 0);
    EXPECT_EQ(Tramos(p, seleccion("E.Clues = ?", "Q")), 0);
    if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_GT(Tramos(p, seleccion("E.Edad >= ?", 30)), 0);
        const SeleccionEventos conDetalle{" FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND "
                                          "V.Folio = E.Folio AND V.fechaAtencion = E.fechaAtencion", "V.CodTipoViolencia = ?", {2}, {}};
        EXPECT_GT(Tramos(p, conDetalle), 0);
    }
    ComparaConOraculo(p, "E.Folio % 97 = ?", {3}, 32);
}

// Units kept apart in the key's order by a big one, and a unit with a
// condition on a detail (met twice by some events): the threads read the
// detail rows of the events kept alone, not of the units between nor of the
// unit's other events, and the statement takes every event's codes from them.
TEST_F(TablaTrabajoTest, LosHilosLeenSoloElDetalleDeLosEventosElegidos)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    UnidadesEnDesorden(p, {{"b", 900}, {"m", 12000}, {"x", 700}, {"z", 6000}});
    const QString eventos = " FROM D_Evento AS E";
    const QString violencia = " FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND V.Folio = E.Folio "
                              "AND V.fechaAtencion = E.fechaAtencion";
    const QString existe = "E.Clues = ?1 AND EXISTS (SELECT 1 FROM D_TipoViolencia AS V WHERE V.CLUES = E.Clues AND V.Folio = E.Folio "
                           "AND V.fechaAtencion = E.fechaAtencion AND V.CodTipoViolencia IN (?2, ?3))";
    const struct {
        SeleccionEventos seleccion;
        QString dondeOraculo;
    } casos[] = {
        {{eventos, "E.Clues IN (?, ?)", {"B", "x"}, {}}, {}},
        {{eventos, "E.Clues = ? OR E.Clues LIKE ?", {"X", "b%"}, {}}, {}},
        {{violencia, "E.Clues = ? AND V.CodTipoViolencia IN (?, ?)", {"M", 2, 3}, {}}, existe},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.seleccion.condicion.toStdString());
        const QString donde = c.dondeOraculo.isEmpty() ? c.seleccion.condicion : c.dondeOraculo;
        const int elegidos = p.Valor("SELECT count(*) FROM D_EVENTO AS E WHERE " + donde, c.seleccion.valores).toInt();
        ASSERT_GT(elegidos, 1000);
        TablaTrabajo::LecturaTabla lectura;
        EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"V.CodTipoViolencia"}, c.seleccion, true, &lectura), elegidos);
        EXPECT_EQ(lectura.eventos, TablaTrabajo::LecturaTabla::Elegidos);
        EXPECT_GT(lectura.tramos, 0);
        EXPECT_EQ(lectura.adelantados, elegidos);
        EXPECT_EQ(lectura.deHilos, elegidos);
        ComparaConOraculo(p, c.seleccion, elegidos, c.dondeOraculo);
    }
}

// Negative and large numbers, and a code longer than the threads keep: the
// table holds each event's codes as stored.
TEST_F(TablaTrabajoTest, CodigosLargosONumerosGrandesSalenComoEstan)
{
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) INSERT INTO D_EVENTO "
              "(Clues, Folio, fechaAtencion) SELECT 'B', 1 + (i * 7) % 501, '2005-02-01' FROM n ORDER BY (i * i) % 501, i");
    p.Ejecuta("INSERT INTO D_TipoViolencia SELECT Clues, Folio, fechaAtencion, iif(Folio % 2, -Folio, Folio * 1000000000000) "
              "FROM D_EVENTO WHERE Clues = 'B'");
    p.Ejecuta("INSERT INTO D_Derechohabiencia SELECT Clues, Folio, fechaAtencion, 'c' || Folio FROM D_EVENTO WHERE Clues = 'B'");
    const QString plana = "SELECT E.Folio, V.CodTipoViolencia, D.CodDerechohabiencia FROM D_EVENTO AS E JOIN D_TipoViolencia AS V "
                          "USING (Clues, Folio, fechaAtencion) JOIN D_Derechohabiencia AS D USING (Clues, Folio, fechaAtencion) "
                          "WHERE E.Clues = 'B' ORDER BY E.rowid";
    for (const char *codigo : {"c250", "CODIGO LARGO"}) {
        p.Ejecuta("UPDATE D_Derechohabiencia SET CodDerechohabiencia = ? WHERE Folio = 250", {codigo});
        TablaTrabajo::ConstruyeGenConsul(p.bd(), {"V.CodTipoViolencia", "D.CodDerechohabiencia"}, {" FROM D_Evento AS E", "+E.Clues = 'B'", {}, {}});
        EXPECT_EQ(p.Filas("SELECT Folio, TipoViolencia01, Derechohabiencia01 FROM GENCONSUL ORDER BY rowid"), p.Filas(plana)) << codigo;
    }
}

// A code longer than a reading ahead keeps, in a unit read through the key's
// index and in every event: with threads and without, what cannot be read
// ahead is left to the statement, which then meets the events along the
// key's index (not in rowid order, searching each), and the cells are the
// plain ones.
TEST_F(TablaTrabajoTest, LoQueNoSePuedeLeerAntesSeLeeALoLargoDeLaClave)
{
    UnidadesEnDesorden(p, {{"b", 900}, {"c", 2000}});
    p.Ejecuta("UPDATE D_Derechohabiencia SET CodDerechohabiencia = 'CODIGO LARGO' "
              "WHERE rowid = (SELECT min(rowid) FROM D_Derechohabiencia WHERE Clues = 'b')");
    using L = TablaTrabajo::LecturaTabla;
    const struct {
        SeleccionEventos seleccion;
        int filas;
        L::Eventos forma;
    } casos[] = {
        {{" FROM D_Evento AS E", "E.Clues = ?", {"B"}, {}}, 900, L::ElegidosPorClave},
        {{" FROM D_Evento AS E", {}, {}, {}}, p.Valor("SELECT count(*) FROM D_EVENTO").toInt(), L::PorClave},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.seleccion.condicion.toStdString());
        TablaTrabajo::LecturaTabla lectura;
        EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, c.seleccion, false, &lectura), c.filas);
        EXPECT_EQ(lectura.eventos, c.forma);
        EXPECT_EQ(lectura.adelantados, 0);
        ComparaConOraculo(p, c.seleccion, c.filas, c.seleccion.condicion.isEmpty() ? "1" : QString());
    }
    // The chosen events' readers are waited for before the statement: one that could not read is known then.
    TablaTrabajo::LecturaTabla lectura;
    TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, casos[0].seleccion, true, &lectura);
    EXPECT_EQ(lectura.eventos, L::ElegidosPorClave);
}

// Units of many, some and few events, their rowids out of key order: a build
// filtered on them (read in rowid order, with threads over the unit's keys,
// or by the statement alone) holds what plain statements give.
TEST_F(TablaTrabajoTest, UnidadesConSusEventosEnDesordenDanLoQueLaSentenciaPlana)
{
    UnidadesEnDesorden(p, {{"b", 5500}, {"C", 2400}, {"d", 520}, {"e", 150}});
    const QString eventos = " FROM D_Evento AS E";
    const QString violencia = " FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND V.Folio = E.Folio "
                              "AND V.fechaAtencion = E.fechaAtencion";
    struct Caso {
        SeleccionEventos seleccion;
        int filas;
        QString dondeOraculo;
    };
    const Caso casos[] = {
        {{eventos, "E.Clues = ?", {"B"}, {}}, 5500, {}},
        {{eventos, "E.Clues = ?", {"c"}, {}}, 2400, {}},
        {{eventos, "E.Clues = ?", {"d"}, {}}, 520, {}},
        {{eventos, "E.Clues = ?", {"e"}, {}}, 150, {}},
        {{eventos, "E.Clues = ? AND E.Edad >= ?", {"C", 45}, {}}, 1201, {}},
        {{eventos, "E.Clues IN (?, ?)", {"d", "E"}, {}}, 670, {}},
        {{eventos, "E.Clues >= ?", {"c"}, {}}, 3070, {}},
        {{eventos, "E.Clues = ?", {"d"}, "E.Edad DESC, E.Folio"}, 520, {}},
        {{eventos, "E.Edad >= ?", {60}, {}}, 2860, {}},
        {{violencia, "E.Clues = ? AND V.CodTipoViolencia = ?", {"c", 2}, {}}, 1202,
         "E.Clues = ?1 AND EXISTS (SELECT 1 FROM D_TipoViolencia AS V WHERE V.CLUES = E.Clues AND V.Folio = E.Folio "
         "AND V.fechaAtencion = E.fechaAtencion AND V.CodTipoViolencia = ?2)"},
    };
    for (const Caso &c : casos)
        ComparaConOraculo(p, c.seleccion, c.filas, c.dondeOraculo);
    if (std::thread::hardware_concurrency() >= 2) {
        EXPECT_GT(Tramos(p, casos[2].seleccion), 0);
    }
}

// Events asked for in key order while their rowids run in another (a unit
// read through the key's index): each is found among its stretch's rowids in
// a few steps, not by walking past the others, so that four times the events
// take about four times the steps, not sixteen.
TEST_F(TablaTrabajoTest, HallarLosEventosDeUnaUnidadCuestaComoSusEventos)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    const QList<const GrupoRanuras *> grupos = {RanurasEvento::GrupoDe("V.CodTipoViolencia")};
    RanurasEvento::Registra(p.bd().Manejador());
    const auto pasos = [&](int eventos) {
        p.Ejecuta("DELETE FROM D_EVENTO WHERE Clues = 'U'");
        UnidadesEnDesorden(p, {{"U", eventos}}, false);
        p.Ejecuta("INSERT INTO D_TipoViolencia SELECT Clues, Folio, fechaAtencion, 1 + Folio % 5 FROM D_EVENTO WHERE Clues = 'U'");
        const RanurasEvento::LecturaAdelantada lectura(p.bd().Manejador(), grupos);
        EXPECT_GT(lectura.Tramos(), 0);
        EXPECT_TRUE(lectura.Espera());
        const QStringList filas = p.Filas("SELECT E.Folio, R.TipoViolencia01 FROM D_Evento AS E, RANURAS_EVENTO(E.Clues, E.Folio, "
                                          "E.fechaAtencion, E.rowid) AS R WHERE E.Clues = 'U' ORDER BY E.rowid");
        EXPECT_EQ(filas.size(), eventos);
        EXPECT_EQ(filas.value(0), p.Filas("SELECT Folio || '|' || (1 + Folio % 5) FROM D_EVENTO WHERE Clues = 'U' ORDER BY rowid LIMIT 1")
                                      .value(0));
        return lectura.Pasos();
    };
    const quint64 pocos = pasos(1500), muchos = pasos(6000);
    ASSERT_GT(pocos, 0u);
    EXPECT_LT(double(muchos) / double(pocos), 7.0) << pocos << " y " << muchos << " pasos";
}

// The choice between the statement alone and threads tries the condition on
// the same few runs of rowids whatever index it could use: on a unit that
// holds most events, on one that holds few, and on a unit with another
// condition that keeps none, a build meets no more events than the runs hold
// besides the unit's own, which its statement tries once each (the count in
// the condition sees each event met), not every event of the unit once a run
// or in search of the first one kept.
TEST_F(TablaTrabajoTest, ElegirComoLeerPruebaLaCondicionEnPocosEventos)
{
    UnidadesEnDesorden(p, {{"U", 4000}, {"V", 300}, {"W", 1000}}, false);
    static int veces = 0;
    sqlite3_create_function_v2(p.bd().Manejador(), "CUENTA", 1, SQLITE_UTF8, nullptr,
                               [](sqlite3_context *ctx, int, sqlite3_value **) {
                                   ++veces;
                                   sqlite3_result_int(ctx, 1);
                               },
                               nullptr, nullptr, nullptr);
    // The unit that holds most events, one that holds few, one whose other
    // condition keeps none, and one whose events are found first for threads.
    for (const auto &[condicion, eventos] : {std::pair{"E.Clues = 'U' AND CUENTA(E.rowid)", 4000},
                                             {"E.Clues = 'V' AND CUENTA(E.rowid)", 300},
                                             {"E.Clues = 'U' AND CUENTA(E.rowid) AND E.Edad > 200", 4000},
                                             {"E.Clues = 'W' AND CUENTA(E.rowid)", 1000}}) {
        veces = 0;
        TablaTrabajo::ConstruyeGenConsul(p.bd(), {"V.CodTipoViolencia"}, {" FROM D_Evento AS E", condicion, {}, {}});
        EXPECT_LE(veces, 16 * 64 + eventos) << condicion;
    }
}

// Two events of one stretch far apart in its rowids: the second is found in
// about twice the logarithm of the distance (steps that double, then halves),
// forwards and backwards, not in as many steps as the events between them nor
// in steps that grow by one.
TEST_F(TablaTrabajoTest, HallarUnEventoLejanoCuestaElLogaritmoDeLaDistancia)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    // Unit U in key order and rowid order alike, and one event far away in
    // rowids; U's events, read alone, are one stretch.
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
              "INSERT INTO D_EVENTO (rowid, Clues, Folio, fechaAtencion) SELECT 1000 + i, 'U', i, '2005-01-01' FROM n");
    p.Ejecuta("INSERT INTO D_EVENTO (rowid, Clues, Folio, fechaAtencion) VALUES (1000000000, 'Z', 1, '2005-01-01')");
    p.Ejecuta("INSERT INTO D_TipoViolencia SELECT Clues, Folio, fechaAtencion, 1 + Folio % 5 FROM D_EVENTO WHERE Clues = 'U'");
    RanurasEvento::Registra(p.bd().Manejador());
    RanurasEvento::Elegidos unidad;
    {
        SentenciaSqlite q(p.bd().Manejador(), "SELECT rowid, Clues, Folio, fechaAtencion FROM D_EVENTO WHERE Clues = 'U'");
        ASSERT_TRUE(unidad.Lee(q.Stmt()));
    }
    const auto pasos = [&](int distancia, const char *sentido) {
        const RanurasEvento::LecturaAdelantada lectura(p.bd().Manejador(), {RanurasEvento::GrupoDe("V.CodTipoViolencia")}, &unidad);
        EXPECT_EQ(lectura.Tramos(), 1);
        EXPECT_TRUE(lectura.Espera());
        const QStringList filas = p.Filas(QString("SELECT E.Folio, R.TipoViolencia01 FROM D_Evento AS E, RANURAS_EVENTO(E.Clues, "
                                                  "E.Folio, E.fechaAtencion, E.rowid) AS R WHERE E.rowid IN (1001, ?) ORDER BY E.rowid %1")
                                              .arg(sentido),
                                          {1001 + distancia});
        EXPECT_EQ(filas.size(), 2);
        EXPECT_EQ(lectura.Hallados(), 2u);
        return lectura.Pasos();
    };
    for (const int distancia : {16, 256, 1999}) {
        // From the stretch's first event: 2 log2(d) + 1 comparisons; back to it, as many again.
        const double tope = 2 * std::log2(double(distancia)) + 3;
        EXPECT_LE(double(pasos(distancia, "ASC")), tope) << distancia;
        EXPECT_LE(double(pasos(distancia, "DESC")), 2 * tope) << distancia;
    }
}

namespace {

// Thread starts refused once `arranquesPermitidos` have gone ahead, as under a
// limit on threads or address space: pthread_create answers EAGAIN, and
// std::thread throws std::system_error. -1: every start goes ahead.
std::atomic<int> arranquesPermitidos{-1};

struct ArranquesLimitados {
    explicit ArranquesLimitados(int permitidos) { arranquesPermitidos = permitidos; }
    ~ArranquesLimitados() { arranquesPermitidos = -1; }
};

} // namespace

extern "C" int pthread_create(pthread_t *hilo, const pthread_attr_t *atributos, void *(*rutina)(void *), void *argumento) noexcept
{
    using Crea = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const auto crea = reinterpret_cast<Crea>(dlsym(RTLD_NEXT, "pthread_create"));
    for (int n = arranquesPermitidos.load(); n >= 0; n = arranquesPermitidos.load())
        if (n == 0)
            return EAGAIN;
        else if (arranquesPermitidos.compare_exchange_weak(n, n - 1))
            break;
    return crea(hilo, atributos, rutina, argumento);
}

// A reader's thread that cannot start ends nothing: the readers that did are
// stopped, and what they would have read is read ahead on the calling
// thread, the events met as with them; the statement takes every event's
// codes from that reading and searches for none in the detail tables.
TEST_F(TablaTrabajoTest, UnLectorQueNoArrancaDejaLaLecturaALaSentencia)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "con un procesador no hay lectores en hilos";
    EventosEnOrdenDeCaptura(p);
    // Most events, and one unit: with readers, both are read otherwise than as written.
    const SeleccionEventos selecciones[] = {{" FROM D_Evento AS E", "E.Folio > ?", {0}, {}},
                                            {" FROM D_Evento AS E", "E.Clues = ?", {"b"}, {}}};
    const auto lee = [&](const SeleccionEventos &s) {
        TablaTrabajo::LecturaTabla lectura;
        TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, s, true, &lectura);
        return lectura;
    };
    QList<TablaTrabajo::LecturaTabla> conLectores;
    for (const SeleccionEventos &s : selecciones) {
        conLectores << lee(s);
        ASSERT_GT(conLectores.last().tramos, 0) << s.condicion.toStdString();
        ASSERT_NE(conLectores.last().eventos, TablaTrabajo::LecturaTabla::Escrita) << s.condicion.toStdString();
    }
    // None starts; the first starts and the second does not, where there are two readers or more.
    QList<int> arranques = {0};
    if (std::thread::hardware_concurrency() >= 3)
        arranques << 1;
    for (const int permitidos : arranques) {
        SCOPED_TRACE(permitidos);
        const ArranquesLimitados limite(permitidos);
        TablaTrabajo::LecturaTabla lectura;
        EXPECT_EQ(TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, {}, true, &lectura), 3005);
        EXPECT_EQ(lectura.tramos, 0);
        const qint64 filas[] = {3005, 1000};
        for (int i = 0; i < 2; ++i) {
            const TablaTrabajo::LecturaTabla sinLectores = lee(selecciones[i]);
            EXPECT_EQ(std::tuple(sinLectores.eventos, sinLectores.tramos, sinLectores.deHilos),
                      std::tuple(conLectores[i].eventos, 0, filas[i]))
                << selecciones[i].condicion.toStdString();
        }
        ComparaConOraculo(p, "E.Folio > ?", {0}, 3005);
        ComparaConOraculo(p, "E.Clues = ?", {"b"}, 1000);
    }
    EXPECT_GT(Tramos(p, {}), 0);
}

// The lists of a reading ahead grow by blocks of doubling size, the first
// ones from the heap and the rest mapped: every value stays where it was put,
// across each block's edge, and a swap exchanges whole lists.
TEST(TrozosTest, CadaValorSigueEnSuLugarAlCrecerYAlIntercambiarse)
{
    RanurasEvento::Trozos<quint32> cortos, otros;
    RanurasEvento::Trozos<RanurasEvento::EventoElegido> anchos;
    const size_t n = 300000;
    for (size_t i = 0; i < n; ++i) {
        cortos.emplace_back() = quint32(i * 7);
        anchos.emplace_back().fila = sqlite3_int64(i) * 3;
        anchos[i].largoClues = quint8(i % 15);
    }
    otros.emplace_back() = 42;
    ASSERT_EQ(cortos.size(), n);
    ASSERT_EQ(anchos.size(), n);
    size_t malos = 0;
    for (size_t i = 0; i < n; ++i)
        malos += cortos[i] != quint32(i * 7) || anchos[i].fila != sqlite3_int64(i) * 3 || anchos[i].largoClues != i % 15;
    EXPECT_EQ(malos, 0u);
    cortos.swap(otros);
    ASSERT_EQ(cortos.size(), 1u);
    EXPECT_EQ(cortos[0], 42u);
    ASSERT_EQ(otros.size(), n);
    EXPECT_EQ(otros[n - 1], quint32((n - 1) * 7));
    EXPECT_EQ(otros[1023], 1023u * 7);
    EXPECT_EQ(otros[1024], 1024u * 7);
}
