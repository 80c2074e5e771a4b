#include "FixtureEventos.h"

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
    EXPECT_EQ(rs.Cuenta(), 5);
    EXPECT_EQ(rs.Posicion(), 1);
    EXPECT_EQ(hoja.Texto(36), "20");   // the first event was read

    rs.MueveAnterior();
    EXPECT_TRUE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Posicion(), 0);
    EXPECT_FALSE(rs.Actual().has_value());
    // Reading at BOF leaves the sheet alone.
    EXPECT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Texto(36), "20");

    rs.MueveFinal();
    EXPECT_EQ(rs.Posicion(), 5);
    rs.MueveSiguiente();
    EXPECT_TRUE(rs.Eof());
    rs.Mueve(-10);
    EXPECT_TRUE(rs.Bof());
    rs.Mueve(3);
    EXPECT_EQ(rs.Posicion(), 3);
    rs.Mueve(10);
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.IrA(4));
    EXPECT_FALSE(rs.IrA(6));
    EXPECT_EQ(rs.Posicion(), 4);
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Texto(23), "DFSSA000024");
    EXPECT_EQ(hoja.Texto(36), "10");
}

TEST_F(Conjunto, MarcadorPorClave)
{
    Lee();
    ConjuntoEventos &rs = almacen->rsAtencion;
    EXPECT_TRUE(rs.Busca({"dfssa000012", 10, QDate(2004, 1, 1)}));
    EXPECT_EQ(rs.Posicion(), 3);
    EXPECT_TRUE(rs.Busca({"MCSSA000016", 2, QDate(2004, 2, 2)}));
    EXPECT_EQ(rs.Posicion(), 5);
    EXPECT_FALSE(rs.Busca({"MCSSA000016", 2, QDate(2004, 2, 3)}));
    EXPECT_EQ(rs.Posicion(), 5);

    // Reopening on a key stands on it; a key the statement lost falls back to the first.
    ASSERT_TRUE(almacen->CargaEventos(almacen->ConsultaEventos, ClaveEvento{"DFSSA000024", 1, QDate(2004, 4, 4)}));
    EXPECT_EQ(rs.Posicion(), 4);
    EXPECT_EQ(hoja.Texto(36), "10");
    ASSERT_TRUE(almacen->CargaEventos({"SELECT * FROM D_EVENTO WHERE Edad < ?", {25}},
                                      ClaveEvento{"DFSSA000012", 10, QDate(2004, 1, 1)}));
    EXPECT_EQ(rs.Cuenta(), 2);
    EXPECT_EQ(rs.Posicion(), 1);
    EXPECT_EQ(hoja.Texto(36), "20");
}

// A statement that fails keeps the set; an event deleted meanwhile is not read.
TEST_F(Conjunto, SentenciaInvalidaOEventoBorradoInformanYConservanLoAnterior)
{
    Lee();
    almacen->rsAtencion.IrA(2);
    EXPECT_FALSE(almacen->CargaEventos({"SELECT * FROM NoExiste", {}}));
    EXPECT_TRUE(prog.mensajes.Ultimo().contains(" -- La instrucción no se pudo ejecutar en la Base de Datos (no such table: NoExiste)"));
    EXPECT_EQ(prog.mensajes.cajas.value(0).titulo, TituloHoja);
    EXPECT_EQ(almacen->rsAtencion.Cuenta(), 5);
    EXPECT_EQ(almacen->rsAtencion.Posicion(), 2);
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
    EXPECT_EQ(rs.Cuenta(), 0);
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    rs.MueveFinal();
    EXPECT_FALSE(rs.Actual().has_value());
    EXPECT_EQ(hoja.Texto(36), "20");
    EXPECT_EQ(hoja.Elementos(ListaHoja::TipoAtencion).size(), 6);
    EXPECT_EQ(hoja.Elementos(ListaHoja::PacienteEfectos).size(), 5);
    for (int l = 0; l < 5; ++l)
        EXPECT_TRUE(hoja.CodigosMarcados(ListaHoja(l)).isEmpty()) << l;
}

} // namespace
