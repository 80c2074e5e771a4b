#include "FixtureEventos.h"
#include <functional>

namespace {

class Conjunto : public PruebaAlmacen {
protected:
    // Five events inserted out of key order, with Edad telling them apart.
    void SetUp() override
    {
        PruebaAlmacen::SetUp();
        const struct {
            const char *clues;
            int folio;
            const char *fecha;
            int edad;
        } eventos[] = {
            {"MCSSA000016", 2, "02/02/2004", 50}, {"DFSSA000012", 10, "01/01/2004", 40},
            {"DFSSA000012", 2, "05/05/2004", 30}, {"DFSSA000012", 2, "03/03/2004", 20},
            {"DFSSA000024", 1, "04/04/2004", 10},
        };
        for (const auto &e : eventos) {
            DatosEvento d = Otro(QString::fromLatin1(e.clues), e.folio, QString::fromLatin1(e.fecha));
            d.textos[36] = QString::number(e.edad);
            Graba(d);
        }
    }

    QString Clave()
    {
        const auto c = almacen->rsAtencion.Actual();
        return c ? QStringLiteral("%1/%2/%3").arg(c->clues).arg(c->folio).arg(c->FechaISO()) : "-";
    }
};

TEST_F(Conjunto, OrdenPorClavesAunqueLaSentenciaPidaOtroYCadaEventoUnaVez)
{
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO ORDER BY Edad DESC", {}}));
    ConjuntoEventos &rs = almacen->rsAtencion;
    QStringList claves;
    for (rs.MueveInicio(); !rs.Eof(); rs.MueveSiguiente())
        claves << Clave();
    EXPECT_EQ(claves, (QStringList{"DFSSA000012/2/2004-03-03", "DFSSA000012/2/2004-05-05",
                                   "DFSSA000012/10/2004-01-01", "DFSSA000024/1/2004-04-04",
                                   "MCSSA000016/2/2004-02-02"}));
    // A filter joined to a detail table with two rows per event.
    ASSERT_TRUE(almacen->CargaEventos({"SELECT E.* FROM D_Evento E LEFT JOIN D_TipoViolencia V ON E.Clues = V.CLUES "
                                       "AND E.Folio = V.Folio AND E.fechaAtencion = V.fechaAtencion "
                                       "WHERE E.CodSexo = ? AND E.Edad >= ?", {2, 30}}));
    EXPECT_EQ(rs.Cuenta(), 3);
}

TEST_F(Conjunto, NavegacionConPrincipioYFin)
{
    Lee();
    ConjuntoEventos &rs = almacen->rsAtencion;
    // Position, BOF and EOF after each move.
    auto donde = [&rs] { return QStringLiteral("%1%2%3").arg(rs.Posicion()).arg(rs.Bof()).arg(rs.Eof()); };
    EXPECT_EQ(QString::number(rs.Cuenta()) + donde() + hoja.Texto(36), "510020");   // the first event was read
    rs.MueveAnterior();
    EXPECT_EQ(donde(), "010");
    EXPECT_FALSE(rs.Actual().has_value());
    // Reading at BOF leaves the sheet alone.
    EXPECT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Texto(36), "20");
    QStringList posiciones;
    for (auto mueve : std::initializer_list<std::function<void()>>{
             [&] { rs.MueveFinal(); }, [&] { rs.MueveSiguiente(); }, [&] { rs.Mueve(-10); }, [&] { rs.Mueve(3); },
             [&] { rs.Mueve(10); }}) {
        mueve();
        posiciones << donde();
    }
    EXPECT_EQ(posiciones, QStringList({"500", "001", "010", "300", "001"}));
    EXPECT_TRUE(rs.IrA(4));
    EXPECT_FALSE(rs.IrA(6));
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(QString::number(rs.Posicion()) + hoja.Texto(23) + hoja.Texto(36), "4DFSSA00002410");
}

TEST_F(Conjunto, MarcadorPorClave)
{
    Lee();
    ConjuntoEventos &rs = almacen->rsAtencion;
    auto busca = [&rs](const ClaveEvento &c) { return QStringLiteral("%1%2").arg(rs.Busca(c)).arg(rs.Posicion()); };
    EXPECT_EQ(QStringList({busca({"dfssa000012", 10, QDate(2004, 1, 1)}), busca({"MCSSA000016", 2, QDate(2004, 2, 2)}),
                           busca({"MCSSA000016", 2, QDate(2004, 2, 3)})}),
              QStringList({"13", "15", "05"}));

    // Reopening on a key stands on it; a key the statement lost falls back to the first.
    ASSERT_TRUE(almacen->CargaEventos(almacen->ConsultaEventos, ClaveEvento{"DFSSA000024", 1, QDate(2004, 4, 4)}));
    EXPECT_EQ(QString::number(rs.Posicion()) + hoja.Texto(36), "410");
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO WHERE Edad < ?", {25}},
                                      ClaveEvento{"DFSSA000012", 10, QDate(2004, 1, 1)}));
    EXPECT_EQ(QStringLiteral("%1%2").arg(rs.Cuenta()).arg(rs.Posicion()) + hoja.Texto(36), "2120");
}

// A statement that fails keeps the set; an event deleted meanwhile is not read.
TEST_F(Conjunto, SentenciaInvalidaOEventoBorradoInformanYConservanLoAnterior)
{
    Lee();
    almacen->rsAtencion.IrA(2);
    EXPECT_FALSE(almacen->CargaEventos({"SELECT * FROM NoExiste", {}}));
    EXPECT_TRUE(prog.mensajes.Ultimo().contains(" -- La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoExiste)"));
    EXPECT_EQ(prog.mensajes.cajas.value(0).titulo, TituloHoja);
    EXPECT_EQ(almacen->rsAtencion.Cuenta() * 10 + almacen->rsAtencion.Posicion(), 52);
    prog.Ejecuta("DELETE FROM D_EVENTO WHERE Edad = 30");
    EXPECT_FALSE(almacen->LeeEvento());
    EXPECT_EQ(prog.mensajes.cajas.size(), 2);
    EXPECT_EQ(prog.mensajes.Ultimo(),
              "12 -- El Evento DFSSA000012, Folio 00000002 del 05/05/2004 ya no está en la Base de Datos");
    EXPECT_EQ(hoja.Texto(36), "20");
}

TEST_F(Conjunto, SinEventosLlenaLasListasSinMarcasYNoTocaCampos)
{
    Lee();
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO WHERE Edad > ?", {99}}));
    ConjuntoEventos &rs = almacen->rsAtencion;
    EXPECT_TRUE(rs.Cuenta() == 0 && rs.Bof() && rs.Eof());
    rs.MueveFinal();
    EXPECT_FALSE(rs.Actual().has_value());
    EXPECT_EQ(hoja.Texto(36), "20");
    EXPECT_EQ(hoja.Elementos(ListaHoja::TipoAtencion).size() * 10 + hoja.Elementos(ListaHoja::PacienteEfectos).size(), 65);
    for (int l = 0; l < 5; ++l)
        EXPECT_TRUE(hoja.CodigosMarcados(ListaHoja(l)).isEmpty()) << l;
}

} // namespace
