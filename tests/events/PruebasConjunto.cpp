#include "FixtureEventos.h"

#include <QRegularExpression>

namespace {

class Conjunto : public PruebaAlmacen {
protected:
    // Five events inserted out of key order, with Edad telling them apart.
    void SetUp() override
    {
        PruebaAlmacen::SetUp();
        for (const auto &[clues, folio, fecha, edad] : {std::tuple{"MCSSA000016", 2, "02/02/2004", 50}, {"DFSSA000012", 10, "01/01/2004", 40},
                                                        {"DFSSA000012", 2, "05/05/2004", 30}, {"DFSSA000012", 2, "03/03/2004", 20},
                                                        {"DFSSA000024", 1, "04/04/2004", 10}}) {
            DatosEvento d = Otro(clues, folio, fecha);
            d.textos[36] = QString::number(edad);
            Graba(d);
        }
    }
    ConjuntoEventos &rs() { return almacen->rsAtencion; }
    // Position, BOF and EOF.
    QString Donde() { return QStringLiteral("%1%2%3").arg(rs().Posicion()).arg(rs().Bof()).arg(rs().Eof()); }
};

TEST_F(Conjunto, OrdenPorClavesAunqueLaSentenciaPidaOtroYCadaEventoUnaVez)
{
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO ORDER BY Edad DESC", {}}));
    QStringList claves;
    for (rs().MueveInicio(); !rs().Eof(); rs().MueveSiguiente())
        claves << QStringLiteral("%1/%2/%3").arg(rs().Actual()->clues).arg(rs().Actual()->folio).arg(rs().Actual()->FechaISO());
    EXPECT_EQ(claves, (QStringList{"DFSSA000012/2/2004-03-03", "DFSSA000012/2/2004-05-05", "DFSSA000012/10/2004-01-01",
                                   "DFSSA000024/1/2004-04-04", "MCSSA000016/2/2004-02-02"}));
    // A filter joined to a detail table with two rows per event.
    ASSERT_TRUE(almacen->CargaEventos({"SELECT E.* FROM D_Evento E LEFT JOIN D_TipoViolencia V ON E.Clues = V.CLUES "
                                       "AND E.Folio = V.Folio AND E.fechaAtencion = V.fechaAtencion "
                                       "WHERE E.CodSexo = ? AND E.Edad >= ?", {2, 30}}));
    EXPECT_EQ(rs().Cuenta(), 3);
}

// The plan of the key statement, one line per step.
QStringList Plan(const ProgramaTemporal &p, const QString &sql, const QVariantList &valores = {})
{
    return p.Filas("EXPLAIN QUERY PLAN " + sql, valores).replaceInStrings(QRegularExpression("^.*\\|"), "");
}

// A statement with criteria has its chosen keys sorted: following the key
// index would read the events one page each on a table in any order, and
// SQLite picks that when the criteria use no index and it has no statistics
// (nor with them). The whole table comes straight from the key index. The
// order stays the key's, letters of either case alike.
TEST_F(Conjunto, LasLlavesDeUnFiltroSeOrdenanYLasDeTodaLaTablaVienenDelIndice)
{
    prog.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, Edad) VALUES ('dfssa000013', 1, '2004-01-01', 'X', 60)");
    const ConsultaSQL filtro{"SELECT E.Clues, E.Folio, E.fechaAtencion FROM D_Evento AS E WHERE E.Paterno = ? AND E.Edad >= ?",
                             {"X", 0}};
    for (const bool analizada : {false, true}) {
        if (analizada)
            prog.Ejecuta("ANALYZE");
        const QStringList conFiltro = Plan(prog, ConjuntoEventos::SentenciaLlaves(filtro), filtro.valores);
        EXPECT_TRUE(conFiltro.contains("USE TEMP B-TREE FOR ORDER BY")) << conFiltro.join('\n').toStdString();
        EXPECT_FALSE(conFiltro.filter(QRegularExpression("^SCAN E USING INDEX")).size()) << conFiltro.join('\n').toStdString();
        const QStringList todos = Plan(prog, ConjuntoEventos::SentenciaLlaves(modEvento::TodosLosEventos()));
        EXPECT_EQ(todos, QStringList{"SCAN D_Evento USING COVERING INDEX sqlite_autoindex_D_EVENTO_1"});
    }
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO WHERE Edad >= ?", {0}}));
    QStringList claves;
    for (rs().MueveInicio(); !rs().Eof(); rs().MueveSiguiente())
        claves << QStringLiteral("%1/%2").arg(rs().Actual()->clues).arg(rs().Actual()->folio);
    EXPECT_EQ(claves, (QStringList{"DFSSA000012/2", "DFSSA000012/2", "DFSSA000012/10", "dfssa000013/1", "DFSSA000024/1",
                                   "MCSSA000016/2"}));
    EXPECT_TRUE(rs().Busca({"DFSSA000013", 1, QDate(2004, 1, 1)}) && rs().Posicion() == 4);
}

TEST_F(Conjunto, MarcadorPorClaveYLecturaFueraDeFila)
{
    Lee();
    EXPECT_EQ(QString::number(rs().Cuenta()) + Donde() + hoja.Texto(36), "510020");   // the first event was read
    rs().MueveAnterior();
    ASSERT_TRUE(almacen->LeeEvento());   // at BOF: the sheet is left alone
    EXPECT_EQ(Donde() + hoja.Texto(36), "01020");
    EXPECT_TRUE(rs().Busca({"dfssa000012", 10, QDate(2004, 1, 1)}) && rs().Posicion() == 3);
    EXPECT_FALSE(rs().Busca({"MCSSA000016", 2, QDate(2004, 2, 3)}) || rs().Posicion() != 3);

    // Reopening on a key stands on it; a key the statement lost falls back to the first.
    ASSERT_TRUE(almacen->CargaEventos(almacen->ConsultaEventos, ClaveEvento{"DFSSA000024", 1, QDate(2004, 4, 4)}));
    EXPECT_EQ(QString::number(rs().Posicion()) + hoja.Texto(36), "410");
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO WHERE Edad < ?", {25}}, ClaveEvento{"DFSSA000012", 10, QDate(2004, 1, 1)}));
    EXPECT_EQ(QStringLiteral("%1%2").arg(rs().Cuenta()).arg(rs().Posicion()) + hoja.Texto(36), "2120");
}

// A statement that fails keeps the set; an event deleted meanwhile is not read.
TEST_F(Conjunto, SentenciaInvalidaOEventoBorradoInformanYConservanLoAnterior)
{
    Lee();
    rs().IrA(2);
    EXPECT_FALSE(almacen->CargaEventos({"SELECT * FROM NoExiste", {}}));
    EXPECT_EQ(prog.mensajes.cajas.value(0).titulo, TituloHoja);
    EXPECT_TRUE(prog.mensajes.Ultimo().endsWith(" -- La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoExiste)"));
    EXPECT_EQ(rs().Cuenta() * 10 + rs().Posicion(), 52);
    prog.Ejecuta("DELETE FROM D_EVENTO WHERE Edad = 30");
    EXPECT_FALSE(almacen->LeeEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), "12 -- El Evento DFSSA000012, Folio 00000002 del 05/05/2004 ya no está en la Base de Datos");
    EXPECT_EQ(hoja.Texto(36), "20");
}

} // namespace
