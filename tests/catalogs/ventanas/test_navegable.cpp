// The browsable catalog without widgets: searches, remembered rows, moves
// and their beeps, by the rules of each window.
#include "lookups/DatosListas.h"

#include "catalogs/modCatalogos.h"

namespace {

using R = BusquedaSeleccion::Resultado;
const QString SinCoincidencia = "No se encontro ningun registro....";

// One step: a search box given its text, or (caja < 0) toolbar button -caja.
struct Paso {
    int caja;
    QString texto;
    QString filas;   // Filas of the key columns
    int beeps = 0;
    QString mensaje = {};   // the one box shown, "texto/título"
};

struct Guion {
    const char *nombre;
    VentanaCatalogo::Diseno (*diseno)();
    QList<int> columnas;   // the key of a row
    QList<Paso> pasos;
};

const QString Estados = "01 09 12 15 16 36 37";
const QString Jurisd = "09-01 09-02 15-01 15-02 16-01";
const QString Locs = "15-001-0001 15-001-0002 15-001-0010 15-001-0011 15-002-0001 16-001-0001";
const QString Unidades = "DFSSA000011 MCSSA000022 MCSSA000033 MCSSA000066 MCSSA00O'55 MNSSA000044";

const Guion TodosLosGuiones[] = {
    {"Estados", DisenoCatEstados, {0},
     {{2, "1", "12 15 16>12"},
      {3, "mex", "15>15"},                         // upper-cased and without accents: MÉXICO
      {3, " ", Estados + ">01"},                   // a blank box: the whole catalog from its first row
      {2, "0", "01 09>01"},
      {-3, "", "01 09>09"},
      {3, "ZZ", Estados + ">09", 0, SinCoincidencia + "/Catálogo de Estados"},   // back to the row before the key
      {-2, "", Estados + ">01"},
      {-2, "", Estados + ">01", 1},
      {-3, "", Estados + ">09"}}},
    {"Jurisdicciones", DisenoCatJurisd, {0, 1},
     {{-3, "", Jurisd + ">09-02"},
      {3, "1", "15-01 15-02 16-01>15-01"},
      {3, "", Jurisd + ">09-02"},                  // the row current before the 1
      {3, "15", "15-01 15-02>15-01"},
      {-3, "", "15-01 15-02>15-02"},
      {3, "1", "15-01 15-02 16-01>15-01"},
      {3, "", Jurisd + ">15-02"},                  // the row current before the last search step
      {4, "02", "09-02 15-02>09-02"},
      {3, "9", Jurisd + ">09-02", 0, SinCoincidencia + "/Catálogo de Jurisdicciones"}}},
    {"Localidades", DisenoCatLocalidades, {0, 1, 2},
     {{4, "16", "16-001-0001>16-001-0001"},
      {4, "", Locs + ">16-001-0001"},              // stays where the user stood
      {7, "peña", "15-001-0010>15-001-0010"},
      {7, "PENA", Locs + ">15-001-0010", 0, SinCoincidencia + "/Catálogo de Localidades"},   // Ñ is a letter of its own
      {5, "001", "15-001-0001 15-001-0002 15-001-0010 15-001-0011 16-001-0001>15-001-0001"},
      {6, "0010", "15-001-0010>15-001-0010"},
      {-7, "", Locs + ">15-001-0010"}}},
    {"CLUES", DisenoCatCLUES, {0},
     {{24, "ñaf", "MCSSA000022>MCSSA000022"},
      {24, "", Unidades + ">DFSSA000011"},
      {-4, "", Unidades + ">MNSSA000044"},
      {21, "1", Unidades + ">DFSSA000011"},         // searches nothing, starts from the first row
      {16, "15", "MCSSA000022 MCSSA000033 MCSSA000066 MCSSA00O'55>MCSSA000022"},
      {22, "C", "MCSSA000033 MCSSA000066 MCSSA00O'55>MCSSA000033"},
      // Each box emptied over no rows beeps, said in the panel.
      {24, "ZZ", Unidades + ">MCSSA000033", 4, "No se encontro ningún registro..../Catálogo CLUES"}}},
};

class Guiones : public PruebaListas, public ::testing::WithParamInterface<Guion> {};

TEST_P(Guiones, CadaPasoDejaLasFilasLaFilaActualLosBeepsYElMensaje)
{
    const Guion &g = GetParam();
    CatalogoNavegable c(*p.ctx, g.diseno().datos);
    ASSERT_TRUE(c.Carga());
    QString panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel = t; };
    int n = 0;
    for (const Paso &paso : g.pasos) {
        SCOPED_TRACE(::testing::Message() << "paso " << ++n);
        p.mensajes.Limpia();
        if (paso.caja >= 0)
            c.Busca(paso.caja, paso.texto);
        else if (paso.caja == -7)
            c.Refresca();
        else
            c.Mueve(-paso.caja);
        const QString mensaje = p.mensajes.cajas.isEmpty() ? "" : p.mensajes.Ultimo() + '/' + p.mensajes.cajas.last().titulo;
        EXPECT_EQ(QStringList({Filas(c.Lista(), g.columnas), QString::number(p.mensajes.beeps), mensaje, panel}),
                  QStringList({paso.filas, QString::number(paso.beeps), paso.mensaje, paso.beeps > 1 ? TextoSinFilas() : ""}));
        EXPECT_LE(p.mensajes.cajas.size(), 1);
        for (const CajaBusqueda &caja : c.Datos().cajas)   // a no-match empties the boxes
            EXPECT_TRUE(paso.mensaje.isEmpty() || c.TextoCaja(caja.indice).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogos, Guiones, ::testing::ValuesIn(TodosLosGuiones),
                         [](const auto &info) { return std::string(info.param.nombre); });

// A search over no rows is a plain no-match; the health units say so in the panel.
TEST_F(PruebaListas, CatalogoVacioOAusenteNoFalla)
{
    Inserta(p.bd(), "cEstados", {});
    Inserta(p.bd(), "CATCLUES", {});
    CatalogoNavegable estados(*p.ctx, DisenoCatEstados().datos);
    ASSERT_TRUE(estados.Carga());
    EXPECT_TRUE(estados.Busca(2, "0") == R::SinCoincidencia && p.mensajes.Ultimo() == SinCoincidencia);
    for (int boton : {1, 2, 3, 4})
        estados.Mueve(boton);
    EXPECT_EQ(p.mensajes.beeps * 10 + estados.Lista().Actual(), 19);   // first and last beep; previous and next do nothing; no row

    QString panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel = t; };
    CatalogoNavegable clues(*p.ctx, DisenoCatCLUES().datos);
    ASSERT_TRUE(clues.Carga());
    EXPECT_TRUE(clues.Busca(15, "M") == R::Nada && p.mensajes.beeps == 3 && p.mensajes.cajas.size() == 1);
    EXPECT_EQ(panel, "No hay registros para buscar.......");

    // A table that is not there: said, and the catalog stays empty.
    p.mensajes.Limpia();
    p.Ejecuta("DROP TABLE cLocalidades");
    CatalogoNavegable c(*p.ctx, DisenoCatLocalidades().datos);
    EXPECT_FALSE(c.Carga());
    EXPECT_TRUE(p.mensajes.Ultimo().startsWith("No se pudo leer el Catálogo, verifique por favor.....\n"));
    EXPECT_EQ(p.mensajes.cajas.last().titulo + QString::number(c.Lista().Total()), "Catálogo de Localidades0");
}

} // namespace
