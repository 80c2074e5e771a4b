// The catalog windows driven by keys and toolbar buttons in a main window's area,
// and the main window's "&Catalogos" menu that opens them.
#include "DatosCatalogos.h"

#include "app/Conexiones.h"
#include "catalogs/modCatalogos.h"
#include "platform/BaseDatos.h"
#include "queries/CriteriosConsulta.h"
#include "queries/PanelCriterio.h"
#include "queries/frmQuery.h"
#include "shell/BarraDatos.h"
#include "shell/mdiPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
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
    void Escribe(const QString &texto) { Teclea(Foco(), texto); }
    void Tecla(Qt::Key tecla, Qt::KeyboardModifiers mod = Qt::NoModifier) { QTest::keyClick(Foco(), tecla, mod); }
    static QWidget *Foco() { return QApplication::focusWidget(); }
    static void Boton(VentanaCatalogo *w, int pos) { w->tbrDatos()->Boton(pos)->trigger(); }
    // The texts of these boxes joined by '|'.
    template <class V> static QString Cajas(V *w, std::initializer_list<int> indices)
    {
        QStringList r;
        for (int i : indices)
            r << w->txtDatos(i)->text();
        return r.join('|');
    }

    QMdiArea area;
    ServiciosCatalogos servicios;
};

TEST_F(Ventanas, EstadosSoloLecturaYFiltraConLasTeclasDeCadaCaja)
{
    VentanaCatalogo *w = CargaCatEstados(*p.ctx, area, servicios);
    EXPECT_TRUE(w->txtDatos(1)->isReadOnly() && w->dbgDatos()->editTriggers() == QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(Foco(), w->txtDatos(2));
    Escribe("a");   // a letter in a code box, Enter and the hyphen beep
    Tecla(Qt::Key_Return);
    Escribe("-0");
    EXPECT_EQ(Cajas(w, {2}) + QString::number(w->Catalogo().Lista().Cantidad()) + QString::number(p.mensajes.beeps), "023");
    Escribe("9");   // the box is full: on to the description box
    EXPECT_TRUE(Foco() == w->txtDatos(3) && w->txtDatos(1)->text() == "CIUDAD DE MÉXICO");
    Escribe("cq");
    EXPECT_EQ(p.mensajes.Ultimo(), "No se encontro ningun registro....");
    EXPECT_EQ(Cajas(w, {0, 2, 3}), "09||");   // the row before the key
    EXPECT_TRUE(w->Catalogo().Lista().Cantidad() == 6 && w->dbgDatos()->currentIndex().row() == 1 && Foco() == w->txtDatos(3));
}

TEST_F(Ventanas, LoPegadoPasaPorLasTeclasDeLaCaja)
{
    VentanaCatalogo *w = CargaCatEstados(*p.ctx, area, servicios);
    QApplication::clipboard()->setText("ó'n%_");
    w->txtDatos(3)->setFocus();
    Tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cajas(w, {3, 1}) + QString::number(p.mensajes.beeps), "N|AGUASCALIENTES1");   // ó, the quote, % and _ are left out, with a beep
    // Dropped or pasted otherwise, the text is mended in the box all the same.
    w->txtDatos(3)->setText("o'n");
    EXPECT_EQ(Cajas(w, {3, 1}) + QString::number(p.mensajes.beeps), "ON|NUEVO LEÓN2");
    w->txtDatos(3)->clear();
    QApplication::clipboard()->setText("a15");
    w->txtDatos(2)->setFocus();
    Tecla(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cajas(w, {2, 1}), "15|MÉXICO");
}

TEST_F(Ventanas, JurisdiccionesYMunicipiosAvanzanAlLlenarCadaCaja)
{
    VentanaCatalogo *j = CargaCatJurisd(*p.ctx, area, servicios);
    Escribe("15");
    EXPECT_EQ(Foco(), j->txtDatos(4));
    Escribe("02");
    EXPECT_TRUE(Foco() == j->txtDatos(5) && j->txtDatos(2)->text() == "ECATEPEC");
    VentanaCatalogo *m = CargaCatMpos(*p.ctx, area, servicios);
    Escribe("15");
    Escribe("058");
    EXPECT_TRUE(Foco() == m->txtDatos(7) && m->txtDatos(3)->text() == "NEZAHUALCÓYOTL");
    CargaCatJurisd(*p.ctx, area, servicios);   // reused, not opened twice
    EXPECT_TRUE(area.subWindowList().size() == 2 && area.activeSubWindow()->widget() == j);
}

TEST_F(Ventanas, LocalidadesLlevanElFocoALaCajaDeEstadoTrasVaciarOFallar)
{
    VentanaCatalogo *w = CargaCatLocalidades(*p.ctx, area, servicios);
    Escribe("15");
    ASSERT_EQ(Foco(), w->txtDatos(5));
    Escribe("001");
    EXPECT_EQ(Foco(), w->txtDatos(6));
    Escribe("0010");
    EXPECT_TRUE(Foco() == w->txtDatos(7) && w->txtDatos(3)->text() == "PEÑA BLANCA");
    Escribe("X");
    EXPECT_EQ(p.mensajes.Ultimo() + "|" + p.mensajes.cajas.last().titulo, "No se encontro ningun registro....|Catálogo de Localidades");
    EXPECT_TRUE(Foco() == w->txtDatos(4) && w->txtDatos(3)->text() == "PEÑA BLANCA");
    Escribe("1");
    Boton(w, 4);
    Tecla(Qt::Key_Backspace);   // emptied: the whole catalog, on the row the user stood on
    EXPECT_TRUE(w->txtDatos(3)->text() == "ACUITZIO DEL CANJE" && Foco() == w->txtDatos(4));
    // Moving changes full record boxes; the focus stays where the user put it.
    w->txtDatos(7)->setFocus();
    Boton(w, 1);
    Boton(w, 3);
    EXPECT_EQ(Foco(), w->txtDatos(7));
    w->txtDatos(4)->setFocus();
    Escribe("16");
    Boton(w, 7);   // refreshed: boxes emptied, the whole catalog
    EXPECT_EQ(Cajas(w, {4}) + QString::number(w->Catalogo().Lista().Cantidad()), "5");
}

TEST_F(Ventanas, UnidadesMuestranLaPosicionYEnterAvanza)
{
    VentanaCatalogo *w = CargaCatCLUES(*p.ctx, area, servicios);
    EXPECT_EQ(w->windowTitle() + "|" + w->txtDatos(12)->text(), "Catálogo de CLUES.  Registro: 1 de 3|CENTRO DE SALUD T-III PEÑÓN");
    Boton(w, 3);
    EXPECT_EQ(w->windowTitle(), "Catálogo de CLUES.  Registro: 2 de 3");
    Escribe("mc");
    Tecla(Qt::Key_Return);
    EXPECT_EQ(Foco(), w->txtDatos(16));
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(p.mensajes.beeps, 1);
    w->txtDatos(24)->setFocus();
    Escribe("& a");   // "&" and blanks are taken here; the caption waits for a move
    EXPECT_EQ(QString::number(w->Catalogo().Lista().Cantidad()) + w->windowTitle(), "1Catálogo de CLUES.  Registro: 2 de 3");
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
    EXPECT_EQ(QString::number(area.subWindowList().size()) + w->windowTitle(), "1Catálogo de Intencionalidad");
    Escribe("1");   // code prefix: 1 and 11; the box is full
    EXPECT_TRUE(Visibles(w->Catalogo()) == QStringList({"1", "11"}) && Foco() == w->txtDatos(3));
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
    // Cause, name, sex and its name, initial age and key and its name, final key and its name, asterisk.
    for (const char *esperado : {"A000|CAUSA A000|M|MASCULINO|001|H|HORAS|A|AÑOS|1", "B000|CAUSA B000|F|FEMENINO|010|D|DIAS|X||0",
                                 "S000|CAUSA S000|A|AMBOS||||M|MESES|0"}) {
        EXPECT_EQ(QStringList({Cajas(w, {0}), w->txtNombre()->toPlainText(), Cajas(w, {2}), w->lblDatos(8)->text(),
                               Cajas(w, {3, 4}), w->lblDatos(5)->text(), Cajas(w, {6}), w->lblDatos(7)->text(),
                               QString::number(w->chkTipo()->isChecked())}).join('|'), esperado);
        w->Boton(3);
    }
    EXPECT_TRUE(p.mensajes.beeps == 1 && !w->chkTipo()->isEnabledTo(w));   // a beep past the last cause

    w->cmdBuscar()->click();
    ASSERT_EQ(lista, w);
    // The filter window hands back its statement with the values bound.
    w->ActualizaListaDetallada(SentenciaListaCIE10(TraduceCriterio("Causa = 'S000' Or nombre = 'B000'' OR ''x''=''x'",
                                                                   OrigenConsulta::ListaCIE10)));
    EXPECT_EQ(Visibles(w->Catalogo()) << w->txtDatos(0)->text(), QStringList({"S000", "S000"}));
    w->ActualizaListaDetallada(SentenciaListaCIE10(TraduceCriterio("Causa = 'Z'", OrigenConsulta::ListaCIE10)));
    auto movimientos = [w] {
        QString r;
        for (int pos = 1; pos <= 4; ++pos)
            r += QString::number(w->tbrDatos()->Boton(pos)->isEnabled());
        return r;
    };
    EXPECT_EQ(movimientos(), "0000");
    QString panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel += t + "|"; };
    w->Boton(7);   // the whole catalog again, and the moves with it
    EXPECT_EQ(panel + w->txtDatos(0)->text() + movimientos() + p.mensajes.Ultimo(), "Actualizando, espere por favor......||A0001111");

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

// The "&Catalogos" menu of the main window opens each catalog in its window.
TEST_F(PruebaCatalogos, CadaItemDelMenuAbreSuVentana)
{
    mdiPrincipal principal(*p.ctx);
    ConectaCatalogos(*p.ctx, principal);
    principal.show();
    struct Caso {
        int indice;
        const char *ventana, *titulo;
    };
    const Caso casos[] = {
        {0, "frmCatEstados", "Catálogo de Estados"},
        {1, "frmCatJurisd", "Catalogo de Jurisdicciones"},
        {2, "frmCatMpos", "Catalogo de Municipios"},
        {3, "frmCatLocalidades", "Catálogo de Localidades"},
        {5, "frmCatalogos", "Catálogo de Tipo de Unidad"},
        {6, "frmCatCLUES", "Catálogo de CLUES.  Registro: 1 de 3"},
        {8, "frmCatListaDetallada", "Lista Detallada"},
        {16, "frmCatalogos", "Catálogo de Área Anatomica de Mayor Gravedad"},
        {22, "frmCatalogos", "Catálogo de Destino Después de la Atención"},
    };
    for (const Caso &c : casos) {
        QAction *item = principal.Item("mnuCat", c.indice);
        ASSERT_TRUE(item && item->isEnabled()) << c.indice;
        item->trigger();
        QMdiSubWindow *sub = principal.Area()->activeSubWindow();
        ASSERT_TRUE(sub) << c.indice;
        EXPECT_EQ(sub->widget()->objectName() + "|" + sub->widget()->windowTitle(), QString(c.ventana) + "|" + c.titulo);
    }
    EXPECT_TRUE(principal.Area()->subWindowList().size() == 7 && p.mensajes.cajas.isEmpty());   // one coded catalogs' window

    // "&Buscar" of the ICD-10 list: the filter window over CATCIE10 hands its causes back.
    principal.Item("mnuCat", 8)->trigger();
    auto *lista = qobject_cast<frmCatListaDetallada *>(principal.Area()->activeSubWindow()->widget());
    ASSERT_TRUE(lista);
    bool filtro = false;
    QTimer::singleShot(0, [&filtro] {
        auto *w = qobject_cast<frmQuery *>(QApplication::activeModalWidget());
        if (!w)
            return;
        filtro = true;
        w->Panel()->PonCriterio("Causa = 'S000' Or Causa = 'S001'");
        w->cmdRunQuery()->click();
        if (w->isVisible())
            w->reject();
    });
    lista->cmdBuscar()->click();
    EXPECT_TRUE(filtro);
    EXPECT_EQ(Visibles(lista->Catalogo()) << lista->txtDatos(0)->text(), QStringList({"S000", "S001", "S000"}));
}

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
        QList<int> claves, cajas;   // columns of the key, searched in these boxes
        int nombre, cajaNombre;     // the description's column and box
    };
    const Caso casos[] = {{CargaCatEstados, "cEstados", {0}, {2}, 1, 3},
                          {CargaCatJurisd, "cJurisdicciones", {0, 1}, {3, 4}, 2, 5},
                          {CargaCatMpos, "cMunicipios", {0, 1}, {4, 6}, 2, 7},
                          {CargaCatLocalidades, "cLocalidades", {0, 1, 2}, {4, 5, 6}, 3, 7},
                          {CargaCatCLUES, "CATCLUES", {0}, {15}, 1, 24}};
    auto alFinal = [&p](auto *w, const char *tabla) {
        const int total = w->Catalogo().Lista().Total();
        EXPECT_EQ(total, p.Cuenta(tabla));
        for (int f = 1; f < total; ++f)
            w->Boton(3);
        EXPECT_EQ(w->Catalogo().Lista().Actual(), total - 1);
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.tabla);
        VentanaCatalogo *w = c.carga(*p.ctx, area, servicios);
        CatalogoNavegable &cat = w->Catalogo();
        alFinal(w, c.tabla);
        for (int f = 0; f < cat.Lista().Total(); ++f) {
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
    alFinal(CargaListaDetallada(*p.ctx, area, servicios), "CATCIE10");
    EXPECT_TRUE(p.mensajes.beeps == 0 && p.mensajes.cajas.isEmpty());
}

} // namespace
