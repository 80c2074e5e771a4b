#include "CincoEventos.h"
#include "queries/RanurasEvento.h"
#include "queries/TablaTrabajo.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <optional>
#include <thread>

namespace {

using TablaTrabajoTest = CincoEventos;

const QString Columnas = "SELECT name FROM pragma_table_info('GENCONSUL', 'main')";

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

// Events and detail rows stored in capture order, not in key order (units
// interleaved, folios back and forth), numbered after `ultima` when given.
void EventosEnOrdenDeCaptura(ProgramaTemporal &p, qint64 ultima = 0)
{
    if (ultima)
        p.Ejecuta("INSERT INTO D_EVENTO (rowid, Clues, Folio, fechaAtencion) VALUES (?, 'A', 0, '2005-01-01')", {ultima});
    p.Ejecuta("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
              "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Edad) SELECT iif(i % 3 = 0, 'b', iif(i % 3 = 1, 'C', 'd')), "
              "1 + (i * 7919) % 3001, '2005-01-0' || (1 + i % 5), i % 90 FROM n ORDER BY (i * i * 7 + i) % 3001, i");
    for (const char *tabla : {"D_TipoViolencia", "D_Derechohabiencia"})
        p.Ejecuta(QString("INSERT INTO %1 SELECT Clues, Folio, fechaAtencion, iif(k = 1, 7, k) FROM D_EVENTO, (SELECT 1 AS k UNION "
                          "SELECT 2 UNION SELECT 3) WHERE Clues <> 'A' AND k <= (Folio + Edad) % 4 ORDER BY (Folio * 31 + k) % 97").arg(tabla));
    p.Ejecuta("INSERT INTO D_BajoEfectos SELECT Clues, Folio, fechaAtencion, q, (Folio + q * k) % 9 FROM D_EVENTO, (SELECT 1 AS q "
              "UNION SELECT 2), (SELECT 1 AS k UNION SELECT 2 UNION SELECT 3) WHERE Clues <> 'A' AND k <= (Folio + q) % 4 ORDER BY Edad");
    p.Ejecuta("INSERT INTO D_Diagnosticos SELECT Clues, Folio, fechaAtencion, 'X' || (Folio % 13), 1 + Folio % 7 FROM D_EVENTO "
              "WHERE Clues <> 'A' AND Folio % 5 ORDER BY Folio % 11");
    p.Ejecuta("DELETE FROM D_EVENTO WHERE Folio = 0");
}

const QStringList CamposOraculo = {"E.Folio", "E.CLUES", "E.fechaAtencion", "E.Edad", "V.CodTipoViolencia",
                                   "D.CodDerechohabiencia", "P.EfectosPaciente", "P.EfectosAgresor", "F.Diagnosticos"};

// GENCONSUL built of CamposOraculo beside what plain statements give, event by
// event, one of them searching each slot's code.
void ComparaConOraculo(ProgramaTemporal &p, const QString &donde, const QVariantList &valores, int filas)
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
    const QStringList esperadas = p.Filas("SELECT " + plana.join(", ") + " FROM D_EVENTO AS E WHERE " + donde + " ORDER BY E.rowid", valores);
    ASSERT_EQ(esperadas.size(), filas);
    TablaTrabajo::ConstruyeGenConsul(p.bd(), CamposOraculo, {" FROM D_Evento AS E", donde, valores, {}});
    EXPECT_EQ(p.Filas("SELECT " + columnas.join(", ") + " FROM GENCONSUL ORDER BY rowid"), esperadas);
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
            EXPECT_TRUE(lectura->EnHilos());
        }
        return p.Filas("SELECT E.Folio, R.* FROM D_Evento AS E, RANURAS_EVENTO(E.Clues, E.Folio, E.fechaAtencion, E.rowid) AS R ORDER BY E.rowid");
    };
    EXPECT_EQ(ranuras(true), ranuras(false));
    EXPECT_TRUE(TablaTrabajo::LeeEnHilos(p.bd(), {}));
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
    EXPECT_FALSE(TablaTrabajo::LeeEnHilos(p.bd(), seleccion("E.Folio % 97 = ?", 3)));
    EXPECT_FALSE(TablaTrabajo::LeeEnHilos(p.bd(), seleccion("E.Clues = ?", "Q")));
    EXPECT_TRUE(TablaTrabajo::LeeEnHilos(p.bd(), seleccion("E.Edad >= ?", 30)));
    const SeleccionEventos conDetalle{" FROM D_Evento AS E LEFT JOIN D_TipoViolencia AS V ON V.CLUES = E.Clues AND "
                                      "V.Folio = E.Folio AND V.fechaAtencion = E.fechaAtencion", "V.CodTipoViolencia = ?", {2}, {}};
    EXPECT_TRUE(TablaTrabajo::LeeEnHilos(p.bd(), conDetalle));
    ComparaConOraculo(p, "E.Folio % 97 = ?", {3}, 32);
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
