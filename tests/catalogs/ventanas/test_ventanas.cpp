// The catalog windows driven by keys and toolbar buttons in a main window's area,
// and the main window's "&Catalogos" menu that opens them.
#include "lookups/DatosListas.h"

#include "app/Conexiones.h"
#include "catalogs/modCatalogos.h"
#include "queries/CriteriosConsulta.h"
#include "queries/PanelCriterio.h"
#include "queries/frmQuery.h"
#include "shell/BarraDatos.h"
#include "shell/mdiPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

const QString Sin = "No se encontro ningun registro....";

// The catalog window `que` names, opened in the area.
VentanaCatalogo *Abre(Contexto &ctx, QMdiArea &area, const ServiciosCatalogos &s, const QString &que)
{
    const QMap<QString, VentanaCatalogo *(*)(Contexto &, QMdiArea &, const ServiciosCatalogos &)> cargas = {
        {"Estados", CargaCatEstados}, {"Jurisd", CargaCatJurisd}, {"Mpos", CargaCatMpos},
        {"Locs", CargaCatLocalidades}, {"CLUES", CargaCatCLUES}};
    return cargas.value(que)(ctx, area, s);
}

class Ventanas : public PruebaListas {
protected:
    void SetUp() override
    {
        PruebaListas::SetUp();
        area.resize(1100, 750);
        area.show();
        QApplication::setActiveWindow(&area);
    }

    QMdiArea area;
    ServiciosCatalogos servicios;
};

// Each window's keys, boxes and moves, played on it from its opening.
TEST_F(Ventanas, CadaCatalogoPorSusTeclas)
{
    const QString locs = "15-001-0001 15-001-0002 15-001-0010 15-001-0011 15-002-0001 16-001-0001";
    const struct {
        const char *ventana;
        QList<int> columnas;
        const char *guion;
        QString esperado, titulo = {};
    } casos[] = {
        // A letter in a code box, Enter and the hyphen beep; a full box hands on; a failed search stays in its box.
        {"Estados", {0}, "f=a f!Return f=-0 f=9 f=dq", "01 09 12 15 16 36 37>09|3|3||1|" + Sin + "/Catálogo de Estados"},
        // Pasted or dropped text goes through the box's keys, with a beep for what is left out.
        {"Estados", {0}, "^ó'n%_ 3!Ctrl+V 3~e'r 3~ ^a15 2!Ctrl+V", "15>15|3|3|2:15|1|"},
        {"Jurisd", {0, 1}, "f=15 f=02", "15-02>15-02|0|5|3:15,4:02|1|"},
        {"Mpos", {0, 1}, "f=15 f=058", "15-058>15-058|0|7|4:15,6:058|1|"},
        // A failed or emptied search goes back to the state box; emptied, it stays on the row the user stood on.
        {"Locs", {0, 1, 2}, "f=15 f=001 f=0010 f=X f=1 b4 f!Backspace f=16 b7", locs + ">16-001-0001|0|5||1|" + Sin + "/Catálogo de Localidades"},
        // Enter moves on, Esc beeps; the caption follows the moves only; Esc in the grid closes.
        {"CLUES", {0}, "b3 f=mc f!Return f!Esc 24=de_peñ g!Esc", "MCSSA000022>MCSSA000022|1|24|15:MC,24:DE PEÑ|0|",
         "Catálogo de CLUES.  Registro: 2 de 6"},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(std::string(c.ventana) + " " + c.guion);
        p.mensajes.Limpia();
        VentanaCatalogo *w = Abre(*p.ctx, area, servicios, c.ventana);
        Juega(w, c.guion);
        EXPECT_EQ(Vista(w, w->Catalogo().Lista(), c.columnas, p.mensajes), c.esperado);
        EXPECT_TRUE(c.titulo.isEmpty() || w->windowTitle() == c.titulo) << w->windowTitle().toStdString();
    }
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
    // Code prefix 1: 1 and 11, the box full; the code box takes the description's keys; the print takes all.
    Juega(w, "f=1 f=trata b12 2=.");
    EXPECT_EQ(Vista(w, w->Catalogo().Lista(), {0}, p.mensajes) + QString::number(area.subWindowList().size()) + w->windowTitle(),
              "11>11|0|3|2:1,3:TRATA|1|1Catálogo de Intencionalidad");
    EXPECT_EQ(leido, QStringList({"rptCatalogos", "Catálogo de Intencionalidad", "1|ACCIDENTAL 11|TRATA DE PERSONAS 2|VIOLENCIA FAMILIAR"}));
    EXPECT_FALSE(ExisteTabla(p.bd(), "TMPCATALOGO"));
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
    frmCatListaDetallada *w = CargaListaDetallada(*p.ctx, area, servicios);
    // Cause, name, sex and its name, initial age and key and its name, final key and its name, asterisk.
    for (const char *esperado : {"A000|CAUSA A000|M|MASCULINO|001|H|HORAS|A|AÑOS|1", "B000|CAUSA B000|F|FEMENINO|010|D|DIAS|X||0",
                                 "S000|CAUSA S000|A|AMBOS||||M|MESES|0"}) {
        EXPECT_EQ(QStringList({w->txtDatos(0)->text(), w->txtNombre()->toPlainText(), w->txtDatos(2)->text(), w->lblDatos(8)->text(),
                               w->txtDatos(3)->text(), w->txtDatos(4)->text(), w->lblDatos(5)->text(), w->txtDatos(6)->text(),
                               w->lblDatos(7)->text(), QString::number(w->chkTipo()->isChecked())}).join('|'), esperado);
        w->Boton(3);
    }
    EXPECT_TRUE(p.mensajes.beeps == 1 && !w->chkTipo()->isEnabledTo(w));   // a beep past the last cause

    // A filter that leaves no cause disables the moves; the whole catalog again enables them.
    w->ActualizaListaDetallada(SentenciaListaCIE10(TraduceCriterio("Causa = 'Z'", OrigenConsulta::ListaCIE10)));
    const bool antes = w->tbrDatos()->Boton(4)->isEnabled();
    QString panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel += t + "|"; };
    w->Boton(7);   // the whole catalog again, and the moves with it
    EXPECT_EQ(QString::number(antes) + panel + w->txtDatos(0)->text() + QString::number(w->tbrDatos()->Boton(1)->isEnabled()) + p.mensajes.Ultimo(),
              "0Actualizando, espere por favor......||A0001");

    QString tabla;
    QTimer::singleShot(0, [&tabla] {
        tabla = QApplication::activeModalWidget()->objectName();
        QApplication::activeModalWidget()->close();
    });
    w->cmdAceptar()->click();
    EXPECT_EQ(tabla, "frmListadet");
}

// The "&Catalogos" menu of the main window opens each catalog in its window.
TEST_F(PruebaListas, CadaItemDelMenuAbreSuVentana)
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
        {6, "frmCatCLUES", "Catálogo de CLUES.  Registro: 1 de 6"},
        {8, "frmCatListaDetallada", "Lista Detallada"},
        {16, "frmCatalogos", "Catálogo de Área Anatomica de Mayor Gravedad"},
        {22, "frmCatalogos", "Catálogo de Destino Después de la Atención"},
        {1, "frmCatJurisd", "Catalogo de Jurisdicciones"},   // brought to the front, not opened twice
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
    QTimer::singleShot(0, [] {
        auto *w = qobject_cast<frmQuery *>(QApplication::activeModalWidget());
        w->Panel()->PonCriterio("Causa = 'S000' Or Causa = 'S601'");
        w->cmdRunQuery()->click();
    });
    lista->cmdBuscar()->click();
    EXPECT_EQ(Filas(lista->Catalogo().Lista(), {0}) + lista->txtDatos(0)->text(), "S000 S601>S000S000");
}

// Each catalog window opens at its place in the main window's free room: its
// left edge a third of the free width less a third of its own width, its top
// a third of the free height less a third of its own height (a quarter for
// the ICD-10 list); opened again, it is placed again, also after the main
// window changed its size. The health units' window is not placed.
TEST_F(PruebaListas, CadaCatalogoSeAbreEnSuLugarDelEspacioLibre)
{
    mdiPrincipal principal(*p.ctx);
    ConectaCatalogos(*p.ctx, principal);
    principal.resize(1500, 900);
    principal.show();
    QMdiArea *area = principal.Area();
    const struct {
        int indice, parte;
    } casos[] = {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}, {16, 3}, {8, 4}};
    for (const QSize tamano : {QSize(1500, 900), QSize(1100, 1000)}) {
        principal.resize(tamano);
        QApplication::processEvents();
        for (const auto &c : casos) {
            principal.Item("mnuCat", c.indice)->trigger();
            QMdiSubWindow *sub = area->activeSubWindow();
            ASSERT_TRUE(sub) << c.indice;
            const QSize libre = area->viewport()->size();
            ASSERT_TRUE(libre.width() > sub->width() && libre.height() > sub->height()) << c.indice;
            auto texto = [](const QPoint &q) { return QString("%1,%2").arg(q.x()).arg(q.y()).toStdString(); };
            EXPECT_EQ(texto(sub->pos()),
                      texto({(libre.width() - sub->width()) / c.parte, (libre.height() - sub->height()) / c.parte}))
                << sub->widget()->objectName().toStdString() << " " << c.indice << " en " << libre.width() << "x" << libre.height();
            sub->move(5, 5);
        }
    }
    principal.Item("mnuCat", 6)->trigger();
    EXPECT_EQ(area->activeSubWindow()->widget()->objectName(), "frmCatCLUES");
    EXPECT_TRUE(p.mensajes.cajas.isEmpty());
}

// The template's own catalogs, the largest among them, reached to their last
// row and each row found by its codes.
TEST(CatalogosDeLaPlantilla, CadaFilaSeAlcanzaYSeEncuentraPorSusClaves)
{
    ProgramaTemporal p;
    p.AbreBase();
    QMdiArea area;
    ServiciosCatalogos servicios;
    const struct {
        const char *ventana, *tabla;
        QList<int> claves, cajas;   // columns of the key, searched in these boxes
        int nombre, cajaNombre;     // the description's column and box
    } casos[] = {{"Estados", "cEstados", {0}, {2}, 1, 3},
                 {"Jurisd", "cJurisdicciones", {0, 1}, {3, 4}, 2, 5},
                 {"Mpos", "cMunicipios", {0, 1}, {4, 6}, 2, 7},
                 {"Locs", "cLocalidades", {0, 1, 2}, {4, 5, 6}, 3, 7},
                 {"CLUES", "CATCLUES", {0}, {15}, 1, 24}};
    auto alFinal = [&p](auto *w, const char *tabla) {
        const int total = w->Catalogo().Lista().Total();
        EXPECT_EQ(total, p.Cuenta(tabla));
        for (int f = 1; f < total; ++f)
            w->Boton(3);
        EXPECT_EQ(w->Catalogo().Lista().Actual(), total - 1);
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.tabla);
        VentanaCatalogo *w = Abre(*p.ctx, area, servicios, c.ventana);
        CatalogoNavegable &cat = w->Catalogo();
        alFinal(w, c.tabla);
        auto clave = [&](int f) {
            QStringList r;
            for (int col : c.claves)
                r << cat.Lista().Texto(f, col);
            return r;
        };
        // Each row by its description, then by its codes in the same search.
        for (int f = 0; f < cat.Lista().Total(); ++f) {
            w->Boton(7);
            const QStringList k = clave(f);
            cat.Busca(c.cajaNombre, cat.Lista().Texto(f, c.nombre));
            for (int i = 0; i < c.cajas.size(); ++i)
                cat.Busca(c.cajas[i], k[i]);
            EXPECT_EQ(clave(cat.Lista().Actual()), k);
        }
    }
    alFinal(CargaListaDetallada(*p.ctx, area, servicios), "CATCIE10");
    EXPECT_TRUE(p.mensajes.beeps == 0 && p.mensajes.cajas.isEmpty());
}

} // namespace
