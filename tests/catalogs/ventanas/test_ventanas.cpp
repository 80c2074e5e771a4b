// The catalog windows driven by keys and toolbar buttons in a main window's area.
#include "DatosCatalogos.h"

#include "catalogs/modCatalogos.h"
#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"
#include "shell/BarraDatos.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class Ventanas : public PruebaCatalogos {
protected:
    void SetUp() override
    {
        PruebaCatalogos::SetUp();
        area.resize(1100, 750);
        area.show();
        QApplication::setActiveWindow(&area);
    }
    // Keys go where the focus is, as the keyboard sends them.
    void Escribe(const QString &texto) { Teclea(QApplication::focusWidget(), texto); }
    void Tecla(Qt::Key tecla, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), tecla, mod);
    }
    static void Boton(VentanaCatalogo *w, int pos) { w->tbrDatos()->Boton(pos)->trigger(); }

    QMdiArea area;
    ServiciosCatalogos servicios;
};

TEST_F(Ventanas, EstadosAbreSoloLecturaYFiltraConLasTeclasDeCadaCaja)
{
    VentanaCatalogo *w = CargaCatEstados(*p.ctx, area, servicios);
    EXPECT_EQ(w->windowTitle(), "Catálogo de Estados");
    EXPECT_EQ(w->TituloGrid()->text(), "Catálogo de Estados");
    EXPECT_EQ(w->SSTab1()->tabText(0), "ESTADOS");
    EXPECT_EQ(w->fraBuscar()->title(), "Buscar por : ");
    EXPECT_EQ(w->dbgDatos()->model()->headerData(1, Qt::Horizontal), "Descripción");
    for (int pos = 1; pos <= 13; ++pos)   // browsing; no print wired here
        EXPECT_EQ(w->tbrDatos()->Boton(pos)->isEnabled(), pos != 8 && pos != 9 && pos != 12) << pos;
    EXPECT_EQ(w->txtDatos(0)->text(), "01");
    EXPECT_EQ(w->txtDatos(1)->text(), "AGUASCALIENTES");
    EXPECT_TRUE(w->txtDatos(1)->isReadOnly());
    EXPECT_EQ(w->dbgDatos()->editTriggers(), QAbstractItemView::NoEditTriggers);

    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(2));
    Escribe("a");   // a letter in a code box, Enter and the hyphen beep
    Tecla(Qt::Key_Return);
    Escribe("-0");
    EXPECT_EQ(p.mensajes.beeps, 3);
    EXPECT_EQ(w->txtDatos(2)->text(), "0");
    EXPECT_EQ(w->Catalogo().Lista().Cantidad(), 2);
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(2));
    Escribe("9");   // the box is full: on to the description box
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(3));
    EXPECT_EQ(w->txtDatos(1)->text(), "CIUDAD DE MÉXICO");
    Escribe("c");
    EXPECT_EQ(w->txtDatos(3)->text(), "C");
    Escribe("q");
    EXPECT_EQ(p.mensajes.Ultimo(), "No se encontro ningun registro....");
    EXPECT_EQ(w->txtDatos(2)->text(), "");
    EXPECT_EQ(w->txtDatos(3)->text(), "");
    EXPECT_EQ(w->Catalogo().Lista().Cantidad(), 6);
    EXPECT_EQ(w->txtDatos(0)->text(), "09");   // the row before the key
    EXPECT_EQ(w->dbgDatos()->currentIndex().row(), 1);
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(3));
}

TEST_F(Ventanas, LoPegadoPasaPorLasTeclasDeLaCaja)
{
    VentanaCatalogo *w = CargaCatEstados(*p.ctx, area, servicios);
    QApplication::clipboard()->setText("ó'n%_");
    w->txtDatos(3)->setFocus();
    Tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->txtDatos(3)->text(), "N");   // ó, the quote, % and _ are left out, with a beep
    EXPECT_EQ(p.mensajes.beeps, 1);
    EXPECT_EQ(w->txtDatos(1)->text(), "AGUASCALIENTES");
    // Dropped or pasted otherwise, the text is mended in the box all the same.
    w->txtDatos(3)->setText("o'n");
    EXPECT_EQ(w->txtDatos(3)->text(), "ON");
    EXPECT_EQ(w->txtDatos(1)->text(), "NUEVO LEÓN");
    EXPECT_EQ(p.mensajes.beeps, 2);
    w->txtDatos(3)->clear();
    QApplication::clipboard()->setText("a15");
    w->txtDatos(2)->setFocus();
    Tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w->txtDatos(2)->text(), "15");
    EXPECT_EQ(w->txtDatos(1)->text(), "MÉXICO");
}

TEST_F(Ventanas, JurisdiccionesYMunicipiosAvanzanAlLlenarCadaCaja)
{
    VentanaCatalogo *j = CargaCatJurisd(*p.ctx, area, servicios);
    EXPECT_EQ(j->windowTitle(), "Catalogo de Jurisdicciones");
    Escribe("15");
    EXPECT_EQ(QApplication::focusWidget(), j->txtDatos(4));
    Escribe("02");
    EXPECT_EQ(QApplication::focusWidget(), j->txtDatos(5));
    EXPECT_EQ(j->txtDatos(2)->text(), "ECATEPEC");

    VentanaCatalogo *m = CargaCatMpos(*p.ctx, area, servicios);
    EXPECT_EQ(m->TituloGrid()->text(), "Catálogo de Municipios");
    EXPECT_TRUE(m->dbgDatos()->isColumnHidden(3));   // the jurisdiction is not in the grid
    Escribe("15");
    Escribe("058");
    EXPECT_EQ(QApplication::focusWidget(), m->txtDatos(7));
    EXPECT_EQ(m->txtDatos(3)->text(), "NEZAHUALCÓYOTL");
    EXPECT_EQ(area.subWindowList().size(), 2);
    CargaCatJurisd(*p.ctx, area, servicios);   // reused, not opened twice
    EXPECT_EQ(area.subWindowList().size(), 2);
    EXPECT_EQ(area.activeSubWindow()->widget(), j);
}

TEST_F(Ventanas, LocalidadesLlevanElFocoALaCajaDeEstadoTrasVaciarOFallar)
{
    VentanaCatalogo *w = CargaCatLocalidades(*p.ctx, area, servicios);
    Escribe("15");
    ASSERT_EQ(QApplication::focusWidget(), w->txtDatos(5)) << qPrintable(QApplication::focusWidget()->objectName());
    Escribe("001");
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(6));
    Escribe("0010");
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(7));
    EXPECT_EQ(w->txtDatos(3)->text(), "PEÑA BLANCA");
    Escribe("X");
    EXPECT_EQ(p.mensajes.Ultimo(), "No se encontro ningun registro....");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Catálogo de Localidades");
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(4));
    EXPECT_EQ(w->txtDatos(3)->text(), "PEÑA BLANCA");

    Escribe("1");
    Boton(w, 4);
    Tecla(Qt::Key_Backspace);   // emptied: the whole catalog, on the row the user stood on
    EXPECT_EQ(w->txtDatos(3)->text(), "ACUITZIO DEL CANJE");
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(4));
    // Moving changes full record boxes; the focus stays where the user put it.
    w->txtDatos(7)->setFocus();
    Boton(w, 1);
    Boton(w, 3);
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(7));
}

TEST_F(Ventanas, UnidadesMuestranLaPosicionYEnterAvanza)
{
    VentanaCatalogo *w = CargaCatCLUES(*p.ctx, area, servicios);
    EXPECT_EQ(w->windowTitle(), "Catálogo de CLUES.  Registro: 1 de 3");
    EXPECT_EQ(w->SSTab1()->tabText(0), "CLUES - Unidades Médicas");
    EXPECT_FALSE(w->txtDatos(3)->isEnabled());   // the record frame cannot be entered
    EXPECT_EQ(w->txtDatos(12)->text(), "CENTRO DE SALUD T-III PEÑÓN");
    EXPECT_EQ(w->dbgDatos()->horizontalHeader()->visualIndex(1), 9);   // the name after the codes
    Boton(w, 3);
    EXPECT_EQ(w->windowTitle(), "Catálogo de CLUES.  Registro: 2 de 3");
    Escribe("mc");
    Tecla(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(16));
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(p.mensajes.beeps, 1);
    w->txtDatos(24)->setFocus();
    Escribe("& a");   // "&" and blanks are taken here; the caption waits for a move
    EXPECT_EQ(w->Catalogo().Lista().Cantidad(), 1);
    EXPECT_EQ(w->windowTitle(), "Catálogo de CLUES.  Registro: 2 de 3");
    w->dbgDatos()->setFocus();
    Tecla(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(Ventanas, CatalogosCodificadosEnUnaVentanaEImprimenPorTablaDeTrabajo)
{
    QStringList leido;
    servicios.Imprime = [&](const QString &reporte, const QString &catalogo) {
        leido << reporte << catalogo << p.Filas("SELECT Codigo, Descripcion FROM TMPCATALOGO ORDER BY Codigo").join(' ');
        EXPECT_FALSE(ExisteTabla(p.bd(), "TMPCATALOGO"));   // a TEMP table: the working database never holds it
    };
    Inserta(p.bd(), "cIntencionalidad", {{1, "ACCIDENTAL"}, {2, "VIOLENCIA FAMILIAR"}, {11, "TRATA DE PERSONAS"}});
    frmCatalogos *w = CargaCatalogo(*p.ctx, area, servicios, "cEscolaridad", "CodEscolaridad", "Escolaridad");
    CargaCatalogo(*p.ctx, area, servicios, "cIntencionalidad", "CodIntencionalidad", "Intencionalidad");
    CargaCatalogo(*p.ctx, area, servicios, "cAgente", "CodAgente", "Agente de la Lesión");
    CargaCatalogo(*p.ctx, area, servicios, "cIntencionalidad", "CodIntencionalidad", "Intencionalidad");
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(w->windowTitle(), "Catálogo de Intencionalidad");
    EXPECT_EQ(w->SSTab1()->tabText(0), "INTENCIONALIDAD");
    Escribe("1");   // code prefix: 1 and 11; the box is full
    EXPECT_EQ(Visibles(w->Catalogo()), QStringList({"1", "11"}));
    EXPECT_EQ(QApplication::focusWidget(), w->txtDatos(3));
    Escribe("trata");
    Boton(w, 12);   // the whole catalog, whatever the search shows
    EXPECT_EQ(leido, QStringList({"rptCatalogos", "Catálogo de Intencionalidad",
                                  "1|ACCIDENTAL 11|TRATA DE PERSONAS 2|VIOLENCIA FAMILIAR"}));
    EXPECT_FALSE(ExisteTabla(p.bd(), "TMPCATALOGO"));
    w->txtDatos(2)->setFocus();
    Escribe(".");   // the code box takes the description's characters
    EXPECT_EQ(p.mensajes.beeps, 0);
    CargaCatalogo(*p.ctx, area, servicios, "cAgente", "CodAgente", "Agente de la Lesión");
    EXPECT_EQ(w->SSTab1()->tabText(0), "AGENTE DE LA LESIÓN");
}

// Causa, nombre, Capitulo, lsex, linf, lsup, triv, errad, NotSemanal, nin, no_cbd, a, no_aph, Actualizac, LM, PRIN
QVariantList Causa(const char *causa, const QVariant &lsex, const QVariant &linf, const QVariant &lsup, const QVariant &a)
{
    return {causa, QString("CAUSA %1").arg(causa), "19", lsex, linf, lsup, {}, {}, {}, {}, {}, a, {}, {}, {}, {}};
}

TEST_F(Ventanas, ListaDetalladaNombraLasLetrasYRecibeLaCondicionDelFiltro)
{
    Inserta(p.bd(), "CATCIE10",
            {Causa("A000", "1", " 001H ", "120A", " T "), Causa("B000", "2", "010D", "011X", "F"),
             Causa("S000", QVariant(), QVariant(), "002M", QVariant())});
    frmCatListaDetallada *lista = nullptr;
    servicios.BuscaCIE10 = [&lista](frmCatListaDetallada &l) { lista = &l; };
    frmCatListaDetallada *w = CargaListaDetallada(*p.ctx, area, servicios);
    EXPECT_EQ(w->windowTitle(), "Lista Detallada");
    EXPECT_EQ(w->SSTab1()->tabText(0), "LISTA DETALLADA");
    EXPECT_FALSE(w->tbrDatos()->Boton(12)->isEnabled());
    struct Caso {
        const char *causa, *sexo, *nombreSexo, *edadI, *cveI, *nombreI, *cveF, *nombreF;
        bool asterisco;
    };
    const Caso casos[] = {{"A000", "M", "MASCULINO", "001", "H", "HORAS", "A", "AÑOS", true},
                          {"B000", "F", "FEMENINO", "010", "D", "DIAS", "X", "", false},
                          {"S000", "A", "AMBOS", "", "", "", "M", "MESES", false}};
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.causa);
        EXPECT_EQ(w->txtDatos(0)->text(), c.causa);
        EXPECT_EQ(w->txtNombre()->toPlainText(), QString("CAUSA %1").arg(c.causa));
        EXPECT_EQ(w->txtDatos(2)->text(), c.sexo);
        EXPECT_EQ(w->lblDatos(8)->text(), c.nombreSexo);
        EXPECT_EQ(w->txtDatos(3)->text(), c.edadI);
        EXPECT_EQ(w->txtDatos(4)->text(), c.cveI);
        EXPECT_EQ(w->lblDatos(5)->text(), c.nombreI);
        EXPECT_EQ(w->txtDatos(6)->text(), c.cveF);
        EXPECT_EQ(w->lblDatos(7)->text(), c.nombreF);
        EXPECT_EQ(w->chkTipo()->isChecked(), c.asterisco);
        w->Boton(3);
    }
    EXPECT_EQ(p.mensajes.beeps, 1);   // past the last cause
    EXPECT_FALSE(w->chkTipo()->isEnabledTo(w));

    w->cmdBuscar()->click();
    ASSERT_EQ(lista, w);
    // The filter window hands back its statement with the values bound.
    w->ActualizaListaDetallada(SentenciaListaCIE10(TraduceCriterio("Causa = 'S000' Or nombre = 'B000'' OR ''x''=''x'",
                                                                   OrigenConsulta::ListaCIE10)));
    EXPECT_EQ(w->Catalogo().Lista().Cantidad(), 1);
    EXPECT_EQ(w->txtDatos(0)->text(), "S000");
    w->ActualizaListaDetallada(SentenciaListaCIE10(TraduceCriterio("Causa = 'Z'", OrigenConsulta::ListaCIE10)));
    for (int pos = 1; pos <= 4; ++pos)
        EXPECT_FALSE(w->tbrDatos()->Boton(pos)->isEnabled());
    QString panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel += t + "|"; };
    w->Boton(7);   // the whole catalog again, and the moves with it
    EXPECT_EQ(panel, "Actualizando, espere por favor......||");
    EXPECT_EQ(w->txtDatos(0)->text(), "A000");
    for (int pos = 1; pos <= 4; ++pos)
        EXPECT_TRUE(w->tbrDatos()->Boton(pos)->isEnabled());
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());

    bool tabla = false;
    QTimer::singleShot(0, [&tabla] {
        if (QWidget *m = QApplication::activeModalWidget()) {
            tabla = m->objectName() == "frmListadet";
            m->close();
        }
    });
    w->cmdAceptar()->click();
    EXPECT_TRUE(tabla);
}

TEST_F(Ventanas, ImprimirLlamaAlReporteDelCatalogoSinElFiltro)
{
    QStringList impresos;
    servicios.Imprime = [&impresos](const QString &reporte, const QString &catalogo) { impresos << reporte + catalogo; };
    VentanaCatalogo *w = CargaCatLocalidades(*p.ctx, area, servicios);
    Escribe("16");
    Boton(w, 12);
    Boton(w, 7);
    EXPECT_EQ(w->txtDatos(4)->text(), "");
    EXPECT_EQ(w->Catalogo().Lista().Cantidad(), 5);
    CargaListaDetallada(*p.ctx, area, servicios)->Boton(12);
    EXPECT_EQ(impresos, QStringList({"rptCatLocalidades", "rptCatListaDet"}));
}

} // namespace

namespace {

// The template's own catalogs, the largest among them, reached to their last
// row and each row found by its codes.
TEST(CatalogosDeLaPlantilla, CadaFilaSeAlcanzaYSeEncuentraPorSusClaves)
{
    ProgramaTemporal p;
    p.AbreBase();
    QMdiArea area;
    ServiciosCatalogos servicios;
    struct Caso {
        VentanaCatalogo *(*carga)(Contexto &, QMdiArea &, const ServiciosCatalogos &);
        const char *tabla;
        QList<int> claves;    // columns of the key, searched in the boxes of `cajas`
        QList<int> cajas;
        int nombre, cajaNombre;   // the description's column and box
    };
    const Caso casos[] = {{CargaCatEstados, "cEstados", {0}, {2}, 1, 3},
                          {CargaCatJurisd, "cJurisdicciones", {0, 1}, {3, 4}, 2, 5},
                          {CargaCatMpos, "cMunicipios", {0, 1}, {4, 6}, 2, 7},
                          {CargaCatLocalidades, "cLocalidades", {0, 1, 2}, {4, 5, 6}, 3, 7},
                          {CargaCatCLUES, "CATCLUES", {0}, {15}, 1, 24}};
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.tabla);
        VentanaCatalogo *w = c.carga(*p.ctx, area, servicios);
        CatalogoNavegable &cat = w->Catalogo();
        const int total = cat.Lista().Total();
        EXPECT_EQ(total, p.Cuenta(c.tabla));
        for (int f = 1; f < total; ++f)
            w->Boton(3);
        EXPECT_EQ(cat.Lista().Actual(), total - 1);
        for (int f = 0; f < total; ++f) {
            w->Boton(7);
            QStringList clave;
            for (int col : c.claves)
                clave << cat.Lista().Texto(f, col);
            const QString nombre = cat.Lista().Texto(f, c.nombre);
            for (int i = 0; i < c.cajas.size(); ++i)
                cat.Busca(c.cajas[i], clave[i]);
            EXPECT_EQ(Actual(cat, c.claves), clave.join('-'));
            w->Boton(7);
            cat.Busca(c.cajaNombre, nombre);
            EXPECT_TRUE(Visibles(cat, c.claves).contains(clave.join('-'))) << nombre.toStdString();
        }
    }
    frmCatListaDetallada *cie10 = CargaListaDetallada(*p.ctx, area, servicios);
    const int causas = p.Cuenta("CATCIE10");
    EXPECT_EQ(cie10->Catalogo().Lista().Total(), causas);
    for (int f = 1; f < causas; ++f)
        cie10->Boton(3);
    EXPECT_EQ(cie10->Catalogo().Lista().Actual(), causas - 1);
    EXPECT_EQ(p.mensajes.beeps, 0);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
}

} // namespace
