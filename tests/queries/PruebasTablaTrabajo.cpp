#include "CincoEventos.h"
#include "queries/TablaTrabajo.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {

using TablaTrabajoTest = CincoEventos;

const QString Columnas = "SELECT name FROM pragma_table_info('GENCONSUL', 'temp')";

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
    // The slots of one event by its key, searched for alone.
    EXPECT_EQ(p.Filas("SELECT clues, folio, fecha, TipoViolencia01, quote(TipoViolencia02) FROM RANURAS_EVENTO('0', 7, '2004-03-07')"),
              QStringList({"0|7|2004-03-07|4|NULL"}));
}

TEST_F(TablaTrabajoTest, UnaConstruccionFallidaNoDejaNadaAMedias)
{
    TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Edad"}, {});
    EXPECT_THROW(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Edad"}, {" FROM D_Evento AS E", "(E.NoExiste = 1)", {}, {}}), ErrorBD);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM GENCONSUL").toInt(), 5);   // the former table, whole
    EXPECT_THROW(TablaTrabajo::ConstruyeGenConsul(p.bd(), {"E.Nada"}, {}), ErrorBD);
    EXPECT_FALSE(p.Valor("SELECT 1 FROM sqlite_master WHERE name = 'GENCONSUL'").isValid());
}
