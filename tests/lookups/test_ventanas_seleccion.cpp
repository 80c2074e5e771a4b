#include "DatosListas.h"

#include "events/HojaDatos.h"
#include "lookups/modSeleccionaCatalogos.h"
#include "shell/BarraDatos.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

using Icono = Mensajes::Icono;
using Escritos = QList<QPair<int, QString>>;

// The passing rows' values of a column; the grid must show the same rows.
QStringList Columna(const VentanaSeleccion &w, int columna)
{
    EXPECT_EQ(w.Grid()->verticalHeader()->count(), w.Lista().Cantidad());
    QStringList r;
    for (int f = 0; f < w.Lista().Cantidad(); ++f)
        r << w.Lista().Texto(f, columna);
    return r;
}

bool Muestra(VentanaSeleccion &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    return true;
}

void Borra(QLineEdit *caja)
{
    while (!caja->text().isEmpty())
        QTest::keyClick(caja, Qt::Key_Backspace);
}

void DobleClic(QTableView *grid, int fila)
{
    const QRect r = grid->visualRect(grid->model()->index(fila, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

// Runs `accion` on the modal pick-list once the opener has shown it; a window
// still open afterwards is closed, so that a test never hangs.
void AlAbrir(std::function<void(VentanaSeleccion &)> accion, bool *abrio = nullptr)
{
    QTimer::singleShot(0, [accion, abrio] {
        auto *w = qobject_cast<VentanaSeleccion *>(QApplication::activeModalWidget());
        if (abrio)
            *abrio = w != nullptr;
        if (!w)
            return;
        accion(*w);
        if (w->isVisible())
            w->reject();
    });
}

class Ventanas : public PruebaListas {
protected:
    // The one box shown.
    void Aviso(const QString &texto, const QString &titulo, Icono icono = Icono::Informacion)
    {
        ASSERT_EQ(p.mensajes.cajas.size(), 1);
        const MensajesFalsos::Caja &c = p.mensajes.cajas[0];
        EXPECT_EQ(c.texto + "|" + c.titulo + "|" + QString::number(int(c.icono)), texto + "|" + titulo + "|" + QString::number(int(icono)));
    }
};

// --- geographic lists --------------------------------------------------------

TEST_F(Ventanas, EstadosRechazaTeclasAvisaSinCoincidenciaYEligeConEnter)
{
    frmSelCatEstados w(*p.ctx, &destino, OrigenHojaRegistro);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    EXPECT_EQ(w.windowTitle() + "|" + w.MarcoSeleccion()->title(), "Selección del Catalogo de  Estados|E S TA D O S ");
    for (int i = 0; i < 3; ++i)
        w.Barra()->Boton(3)->trigger();
    EXPECT_EQ(w.Lista().TextoActual(0), "15");
    Teclea(w.Caja(0), "a'");   // code boxes refuse letters; '%' and Ctrl+V are refused too
    Teclea(w.Caja(1), "a%");
    QTest::keyClick(w.Caja(1), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.Caja(0)->text() + "|" + w.Caja(1)->text() + "|" + QString::number(p.mensajes.beeps), "|A|4");
    Teclea(w.Caja(0), "9");   // no state begins with 9
    Aviso("No se encontro ningun registro....", "Catálogo de Estados");
    EXPECT_EQ(w.Caja(0)->text() + w.Caja(1)->text() + QString::number(w.Lista().Cantidad()), "7");
    // "A" had narrowed to the states holding it; the row current then was 01.
    EXPECT_EQ(w.Lista().TextoActual(0) + QString::number(w.Grid()->currentIndex().row()), "010");

    Teclea(w.Caja(0), "1");
    EXPECT_EQ(Columna(w, 0), QStringList({"12", "15", "16"}));
    QTest::keyClick(w.Caja(0), Qt::Key_Tab);
    EXPECT_EQ(w.focusWidget(), w.Caja(1));
    Teclea(w.Caja(1), "mex");   // matches MÉXICO: accents are not typed
    EXPECT_EQ(w.Caja(1)->text(), "MEX");
    EXPECT_EQ(Columna(w, 0), QStringList({"15"}));
    QTest::keyClick(w.Caja(1), Qt::Key_Return);
    EXPECT_EQ(destino.escritos, (Escritos{{46, "15"}}));
}

TEST_F(Ventanas, MunicipiosDeTodosLosEstadosConCajasCombinadasYBotonAceptar)
{
    frmSelCatMpos todos(*p.ctx, &destino, OrigenHojaRegistro);
    ASSERT_TRUE(todos.Abre("  "));
    EXPECT_EQ(Columna(todos, 0), QStringList({"09", "15", "15", "15", "16"}));
    frmSelCatMpos del15(*p.ctx, &destino, OrigenHojaRegistro);
    ASSERT_TRUE(del15.Abre("15"));
    EXPECT_EQ(del15.Lista().Cantidad(), 3);

    Muestra(todos);
    Teclea(todos.Caja(0), "15");
    Teclea(todos.Caja(1), "02");    // jurisdiction
    EXPECT_EQ(Columna(todos, 1), QStringList({"002", "058"}));
    Teclea(todos.Caja(3), "coy");
    EXPECT_EQ(Columna(todos, 1), QStringList({"058"}));
    todos.BotonDatos(0)->click();
    EXPECT_EQ(destino.textos.value(47), "058");
}

TEST_F(Ventanas, LocalidadesSeMuevenConLaBarraYAvisanEnLosExtremos)
{
    frmSelCatLocs w(*p.ctx, &destino, OrigenHojaRegistro);
    ASSERT_TRUE(w.Abre("15", "001") && Muestra(w));
    EXPECT_EQ(Columna(w, 2), QStringList({"0001", "0002", "0010", "0011"}));
    auto boton = [&w](int pos) { w.Barra()->Boton(pos)->trigger(); };
    boton(2);
    EXPECT_EQ(p.mensajes.beeps, 1);
    boton(4);
    boton(3);
    EXPECT_EQ(p.mensajes.beeps * 10 + w.Grid()->currentIndex().row(), 23);
    boton(1);
    boton(3);
    EXPECT_EQ(w.Grid()->currentIndex().row(), 1);
    Teclea(w.Caja(3), "peñ");
    EXPECT_EQ(Columna(w, 3), QStringList({"PEÑA BLANCA", "Peñuelas"}));
    boton(3);
    boton(6);
    EXPECT_EQ(destino.escritos, (Escritos{{48, "0011"}}));
}

TEST_F(Ventanas, CatalogosVaciosOIlegiblesAvisanYNoAbrenVentana)
{
    struct Caso {
        std::function<void()> abre;
        QString texto, titulo;
        Icono icono = Icono::Informacion;
    };
    p.Ejecuta("DELETE FROM cEstados");
    p.Ejecuta("DELETE FROM cSexo");
    QStringList panel;
    p.ctx->PanelMensajes = [&panel](const QString &t) { panel << t; };
    Contexto &ctx = *p.ctx;
    const QString vacio = "El Catálogo de %1 esta vacio, por favor verifique por favor.....";
    const QString sinDatos = "No hay datos en el Catálogo, verifique por favor.....";
    const QList<Caso> casos = {
        {[&] { SeleccionaEstado(ctx, destino); }, vacio.arg("Estados"), "Selección de Estados"},
        {[&] { SeleccionaMunicipio(ctx, destino, "12"); }, vacio.arg("Municipios"), "Selección de Municipios"},
        {[&] { SeleccionaLocalidad(ctx, destino, "", "001"); }, vacio.arg("Localidades"), "Selección de Localidades"},
        {[&] { SeleccionaLocalidad(ctx, destino, "15", " "); }, vacio.arg("Localidades"), "Selección de Localidades"},
        {[&] { SeleccionaCatalogo(ctx, destino, 38, "Sexo"); }, sinDatos, "Catálogos"},
        {[&] { SeleccionaCatalogo(ctx, destino, 38, "Sexo'"); },
         "No se pudo leer el Catálogo, verifique por favor.....\nNo existe el catálogo Sexo'", "Catálogos", Icono::Critico},
        {[&] { SeleccionaCatalogo(ctx, destino, 41, "Escolaridad", {CodigosCatalogo::Modo::Solo, {77}}); }, sinDatos, "Catálogos"},
    };
    for (const Caso &c : casos) {
        p.mensajes.Limpia();
        bool abrio = false;
        AlAbrir([](VentanaSeleccion &) {}, &abrio);
        c.abre();
        QApplication::processEvents();   // let the guard run
        SCOPED_TRACE(c.texto.toStdString());
        EXPECT_FALSE(abrio);
        Aviso(c.texto, c.titulo, c.icono);
    }
    EXPECT_TRUE(destino.escritos.isEmpty() && QApplication::overrideCursor() == nullptr);
    EXPECT_EQ(panel, QStringList({"", "", ""}));   // the coded lists empty the message panel
    // Once the list has closed, not before.
    panel.clear();
    QStringList mientras = {"sin abrir"};
    AlAbrir([&](VentanaSeleccion &w) {
        mientras = panel;
        QTest::keyClick(w.Grid(), Qt::Key_Escape);
    });
    SeleccionaCatalogo(ctx, destino, 41, "Escolaridad");
    EXPECT_EQ(mientras, QStringList());
    EXPECT_EQ(panel, QStringList({""}));

    p.mensajes.Limpia();
    p.Ejecuta("DROP TABLE cLocalidades");
    frmSelCatLocs w(*p.ctx, &destino, OrigenHojaRegistro);
    EXPECT_FALSE(w.Abre("15", "001"));
    EXPECT_TRUE(p.mensajes.Ultimo().startsWith("No se pudo leer el Catálogo, verifique por favor.....\n")
                && p.mensajes.cajas.value(0).icono == Icono::Critico);
}

TEST_F(Ventanas, CodigoDeLlamadaAjenoNoEscribe)
{
    frmSelCatEstados w(*p.ctx, &destino, 3);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    QTest::keyClick(w.Grid(), Qt::Key_Return);
    EXPECT_TRUE(w.result() == QDialog::Accepted && destino.escritos.isEmpty());
}

// --- coded catalogs ----------------------------------------------------------

TEST_F(Ventanas, CatalogoBuscaPorCajasYTecleoPorDigito)
{
    frmSelCat w(*p.ctx, &destino, 41);
    ASSERT_TRUE(w.Abre("Escolaridad") && Muestra(w));
    EXPECT_EQ(w.MarcoSeleccion()->title() + w.windowTitle(), " CLAVES Catálogos. Registro : 1 de 12");
    Teclea(w.Caja(0), "11");
    EXPECT_EQ(Columna(w, 1), QStringList({"OTRO"}));   // the whole code, not its beginning
    Teclea(w.Caja(1), "'");   // refused in both boxes
    EXPECT_EQ(p.mensajes.beeps, 1);
    Teclea(w.Caja(1), "x");   // 11 and X: nothing
    Aviso("No se encontro ningun registro....", "Catálogos");
    EXPECT_EQ(w.Lista().Cantidad(), 12);
    w.Barra()->Boton(4)->trigger();
    EXPECT_EQ(w.windowTitle(), "Catálogos. Registro : 12 de 12");

    w.Grid()->setFocus();
    QTest::keyClick(w.Grid(), Qt::Key_9);
    EXPECT_EQ(w.Lista().TextoActual(0), "9");
    QTest::keyClick(w.Grid(), Qt::Key_1);   // a new search from the top: 1, not 10
    EXPECT_EQ(w.Lista().TextoActual(0) + "|" + w.windowTitle(), "1|Catálogos. Registro : 1 de 12");
    QTest::keyClick(w.Grid(), Qt::Key_1);
    QTest::keyClick(w.Grid(), Qt::Key_A);   // letters do nothing
    EXPECT_EQ(w.Lista().TextoActual(0), "1");
    QTest::keyClick(w.Grid(), Qt::Key_7);
    QTest::keyClick(w.Grid(), Qt::Key_Return);
    EXPECT_EQ(destino.escritos, (Escritos{{41, "7"}}));
}

TEST_F(Ventanas, CatalogoSinHallazgoNiPegadoNoEscribe)
{
    QApplication::clipboard()->setText("mu");   // lower case, as no key would leave it
    frmSelCat w(*p.ctx, &destino, 38);
    ASSERT_TRUE(w.Abre("Sexo") && Muestra(w));
    QTest::keyClick(w.Caja(1), Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(w.Caja(1), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.Caja(1)->text() + QString::number(p.mensajes.beeps), "2");
    QTest::keyClick(w.Grid(), Qt::Key_5);
    EXPECT_EQ(w.Lista().Actual(), -1);
    QTest::keyClick(w.Grid(), Qt::Key_Return);
    w.Barra()->Boton(6)->trigger();
    EXPECT_EQ(p.mensajes.beeps * 10 + w.isVisible(), 41);
    QTest::keyClick(w.Grid(), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible() || !destino.escritos.isEmpty() || !p.mensajes.cajas.isEmpty());
}

TEST_F(Ventanas, CatalogoRestringidoYCampo59MasAncho)
{
    frmSelCat solo(*p.ctx, &destino, 41);
    ASSERT_TRUE(solo.Abre("Escolaridad", {CodigosCatalogo::Modo::Solo, {1, 5, 6, 9}}));
    EXPECT_EQ(Columna(solo, 0), QStringList({"1", "5", "6", "9"}));
    frmSelCat excepto(*p.ctx, &destino, 68);
    ASSERT_TRUE(excepto.Abre("Parentesco", {CodigosCatalogo::Modo::Excepto, {7, 8}}));
    EXPECT_EQ(Columna(excepto, 0), QStringList({"1", "2"}));

    frmSelCat sexo(*p.ctx, &destino, 38), equipo(*p.ctx, &destino, 59);
    ASSERT_TRUE(sexo.Abre("Sexo") && equipo.Abre("Equipo"));
    EXPECT_EQ(equipo.width(), sexo.width() + Twips(1500));
    const int ancho = equipo.width(), columna = equipo.Grid()->columnWidth(1);
    Muestra(equipo);
    Teclea(equipo.Caja(1), "ZZ");   // a fruitless search lays the grid out again
    EXPECT_EQ(std::pair(equipo.width(), equipo.Grid()->columnWidth(1)), std::pair(ancho, columna));

    Muestra(sexo);
    DobleClic(sexo.Grid(), 1);
    EXPECT_EQ(destino.escritos, (Escritos{{38, "2"}}));
}

// --- health units -------------------------------------------------------------

TEST_F(Ventanas, CluesSoloDelEstadoDeTrabajo)
{
    struct Caso {
        QString estado;
        int origen, unidades;
    };
    for (const Caso &c : {Caso{"15", OrigenHojaClues, 4}, Caso{"99", OrigenHojaClues, 6}, Caso{"15", 3, 6},
                          Caso{"12", OrigenHojaClues, 0}}) {
        p.ctx->EstadoActual = c.estado;
        frmSelCLUES w(*p.ctx, &destino, c.origen);
        EXPECT_TRUE(w.Abre()) << c.estado.toStdString();
        EXPECT_EQ(w.Lista().Cantidad(), c.unidades) << c.estado.toStdString() << " " << c.origen;
    }
    // An empty list opens all the same; choosing there writes nothing.
    bool abrio = false;
    AlAbrir([](VentanaSeleccion &w) { w.Barra()->Boton(6)->trigger(); }, &abrio);
    SeleccionaClues(*p.ctx, destino);
    EXPECT_TRUE(abrio && p.mensajes.beeps == 1 && destino.escritos.isEmpty());

    // In state 15: letters do not move the grid; a double click chooses.
    p.ctx->EstadoActual = "15";
    frmSelCLUES w(*p.ctx, &destino, OrigenHojaClues);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    QTest::keyClick(w.Grid(), Qt::Key_M);
    QTest::keyClick(w.Grid(), Qt::Key_Down);
    EXPECT_EQ(w.Lista().TextoActual(0), "MCSSA000033");
    DobleClic(w.Grid(), 2);
    EXPECT_EQ(destino.escritos, (Escritos{{23, "MCSSA000066"}}));
}

TEST_F(Ventanas, CluesFiltraConVariasCajasYUnaCajaVaciaRestableceTodo)
{
    p.ctx->EstadoActual = "99";
    frmSelCLUES w(*p.ctx, &destino, OrigenHojaClues);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    EXPECT_EQ(w.windowTitle(), "Selecciona CLUES");
    Teclea(w.Caja(0), "mc");
    EXPECT_EQ(w.Lista().Cantidad(), 4);
    QTest::keyClick(w.Caja(0), Qt::Key_Return);   // Enter moves on, never chooses
    EXPECT_TRUE(w.focusWidget() == w.Caja(13) && destino.escritos.isEmpty());
    Teclea(w.Caja(13), "15");
    Teclea(w.Caja(15), "058");
    EXPECT_EQ(Columna(w, 0), QStringList({"MCSSA000022"}));
    Borra(w.Caja(13));
    // Every condition dropped, the CLUES box's too.
    EXPECT_EQ(QString::number(w.Lista().Cantidad()) + "|" + w.Caja(0)->text() + "|" + w.Caja(15)->text(), "6|MC|");

    Teclea(w.Caja(13), "a");   // letters refused in the state box
    Teclea(w.Caja(19), "1");   // digits refused in the unit-type box
    QTest::keyClick(w.Caja(19), Qt::Key_Escape);   // refused too: the list stays
    EXPECT_EQ(p.mensajes.beeps * 10 + w.isVisible(), 31);
    Teclea(w.Caja(16), "0001");
    Teclea(w.Caja(19), "z");
    Aviso("No se encontro ningun registro....", "Catálogo de Unidad Médicas");
    EXPECT_EQ(QString::number(w.Lista().Cantidad()) + "|" + w.Caja(0)->text() + "|" + w.Caja(16)->text() + "|"
              + w.Caja(19)->text(), "6|MC||");
}

// Entering a box selects its text; the focus coming back after the no-match
// message does not, so the next key adds to what stands in the CLUES box.
TEST_F(Ventanas, CluesSeleccionaElTextoSoloCuandoElUsuarioEntra)
{
    p.ctx->EstadoActual = "99";
    frmSelCLUES w(*p.ctx, &destino, OrigenHojaClues);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    QApplication::processEvents();   // the window's own first focus settles
    QLineEdit *clues = w.Caja(0);
    Teclea(clues, "mcx");
    ASSERT_EQ(p.mensajes.cajas.size(), 1);   // no unit begins so: the box keeps its text
    EXPECT_EQ(clues->text(), "MCX");
    for (Qt::FocusReason razon : {Qt::ActiveWindowFocusReason, Qt::MouseFocusReason}) {
        QFocusEvent entra(QEvent::FocusIn, razon);
        QApplication::sendEvent(clues, &entra);
        QApplication::processEvents();
        EXPECT_EQ(clues->selectedText(), razon == Qt::MouseFocusReason ? "MCX" : "");
    }
}

// --- ICD-10 list ------------------------------------------------------------

TEST_F(Ventanas, ListadetConjuntosPorCampoYCodigoCompletoPasaALaDescripcion)
{
    // A code keyed in lower case belongs to its group all the same.
    p.Ejecuta("INSERT INTO CATCIE10 (Causa, nombre, Capitulo) VALUES ('o041', 'ABORTO', '15')");
    const QStringList diagnosticos = {"F100", "O040", "o041", "O267", "S000", "S601", "T009"};
    for (int campo : {78, 76, 77, ListadetTabla}) {
        frmListadet w(*p.ctx, &destino, campo);
        ASSERT_TRUE(w.Abre());
        EXPECT_EQ(Columna(w, 0), campo == 78 ? QStringList({"V010", "W000", "X590"}) : diagnosticos) << campo;
    }
    frmListadet w(*p.ctx, &destino, 76);
    ASSERT_TRUE(w.Abre());
    EXPECT_EQ(w.windowTitle(), "Catálogo de la Lista Detallada.  Registro: 1 de 7");
    auto fila = [&w](int f) {
        QStringList r;
        for (int c = 2; c <= 14; ++c)
            r << w.Lista().Texto(f, c);
        return r.join(QLatin1Char('|'));
    };
    EXPECT_EQ(QStringList({fila(4), fila(1), fila(0)}),   // S000, O040, F100
              QStringList({"M|001|H|120|A|1|0|0|0|0|0|LM1|P01", "F|010|A|054|A|0|0|0|0|0|0|LM1|P01", "A|||||0|0|0|0|0|0|LM1|P01"}));

    // A whole code moves on to the description; Enter chooses and focuses the field.
    Muestra(w);
    Teclea(w.Caja(0), "s");
    EXPECT_EQ(Columna(w, 0), QStringList({"S000", "S601"}));
    Teclea(w.Caja(0), "601");
    EXPECT_TRUE(w.focusWidget() == w.Caja(1) && destino.escritos.isEmpty());
    Teclea(w.Caja(1), "uña");
    QTest::keyClick(w.Caja(1), Qt::Key_Return);
    EXPECT_EQ(std::pair(destino.escritos, destino.enfocados), std::pair(Escritos{{76, "S601"}}, QList<int>{76}));
}

TEST_F(Ventanas, ListadetTeclasSinCoincidenciaYCajaVacia)
{
    frmListadet w(*p.ctx, &destino, 78);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    Teclea(w.Caja(0), "ñ. ");
    QTest::keyClick(w.Caja(0), Qt::Key_Escape);
    EXPECT_EQ(w.Caja(0)->text() + QString::number(p.mensajes.beeps) + QString::number(w.isVisible()), "41");

    w.Barra()->Boton(4)->trigger();   // X590
    Teclea(w.Caja(0), "w");
    Teclea(w.Caja(1), "caida en");
    EXPECT_EQ(Columna(w, 0), QStringList({"W000"}));
    Borra(w.Caja(0));   // emptying one box empties the other and shows all
    // All shown, on the row current when the last search began.
    EXPECT_EQ(w.Caja(1)->text() + w.Lista().TextoActual(0) + QString::number(w.Lista().Cantidad()), "W0003");

    Teclea(w.Caja(1), "peñ");
    Aviso("No se encontro ningún registro....", "Catálogo de Lista Detallada");
    // "PE" had left V010 alone: the row current before the failing keystroke.
    EXPECT_EQ(w.Caja(1)->text() + w.Lista().TextoActual(0) + QString::number(w.Lista().Cantidad()), "V0103");
    w.Barra()->Boton(7)->trigger();
    EXPECT_FALSE(w.isVisible() || !destino.escritos.isEmpty());
}

TEST_F(Ventanas, ListadetCampoBloqueadoSeEscribeSinEnfocarYLaTablaNoEscribe)
{
    destino.bloqueados << 77;
    frmListadet w(*p.ctx, &destino, 77);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    DobleClic(w.Grid(), 2);
    EXPECT_EQ(std::pair(destino.escritos, destino.enfocados), std::pair(Escritos{{77, "O267"}}, QList<int>()));

    // The table view, even after the sheet last asked for field 78.
    destino.escritos.clear();
    bool abrio = false;
    AlAbrir([](VentanaSeleccion &t) { QTest::keyClick(t.Grid(), Qt::Key_Return); }, &abrio);
    MuestraListadet(*p.ctx, &destino, ListadetTabla);
    EXPECT_TRUE(abrio && destino.escritos.isEmpty() && destino.enfocados.isEmpty());
}

TEST_F(Ventanas, ListaVaciaSeAbreYAvisaEnLosMovimientos)
{
    p.Ejecuta("DELETE FROM CATCIE10");
    frmListadet w(*p.ctx, &destino, 76);
    ASSERT_TRUE(w.Abre() && Muestra(w));
    EXPECT_EQ(w.windowTitle(), "Catálogo de la Lista Detallada.  Registro: 0 de 0");
    for (int b : {1, 4, 2, 3, 6})
        w.Barra()->Boton(b)->trigger();
    EXPECT_EQ(p.mensajes.beeps, 3);   // first, last and accept; previous and next are silent
    EXPECT_TRUE(w.isVisible() && destino.escritos.isEmpty());
}

// --- every window -------------------------------------------------------------

// What a person sees: the whole toolbar, Cancelar included, and every code
// column wide enough for its values (descriptions alone may be cut).
TEST_F(Ventanas, CadaVentanaMuestraLaBarraEnteraYLosCodigosCompletos)
{
    p.ctx->EstadoActual = "15";
    Contexto &ctx = *p.ctx;
    auto abierta = [](VentanaSeleccion *w, bool abrio) {
        EXPECT_TRUE(abrio);
        return std::unique_ptr<VentanaSeleccion>(w);
    };
    const QList<QPair<std::function<std::unique_ptr<VentanaSeleccion>()>, QList<int>>> casos = {
        {[&] { auto *w = new frmSelCatEstados(ctx, &destino, 5); return abierta(w, w->Abre()); }, {0}},
        {[&] { auto *w = new frmSelCatMpos(ctx, &destino, 5); return abierta(w, w->Abre("15")); }, {0, 1, 3}},
        {[&] { auto *w = new frmSelCatLocs(ctx, &destino, 5); return abierta(w, w->Abre("15", "001")); }, {0, 1, 2}},
        {[&] { auto *w = new frmSelCat(ctx, &destino, 38); return abierta(w, w->Abre("Sexo")); }, {0}},
        {[&] { auto *w = new frmSelCLUES(ctx, &destino, 1); return abierta(w, w->Abre()); }, {0, 2, 3, 4, 5, 6}},
        {[&] { auto *w = new frmListadet(ctx, &destino, 76); return abierta(w, w->Abre()); },
         {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
    };
    for (const auto &c : casos) {
        std::unique_ptr<VentanaSeleccion> w = c.first();
        Muestra(*w);
        QApplication::processEvents();
        const std::string nombre = w->windowTitle().toStdString();
        for (QAction *a : w->Barra()->actions()) {
            QWidget *boton = w->Barra()->widgetForAction(a);
            EXPECT_TRUE(a->isSeparator() || (boton && boton->isVisible())) << nombre << " " << a->text().toStdString();
        }
        for (int col : c.second)   // the width its values need
            EXPECT_GE(w->Grid()->columnWidth(col), static_cast<QAbstractItemView *>(w->Grid())->sizeHintForColumn(col))
                << nombre << " " << col;
    }
}

// A choice reaches the capture sheet's own fields.
TEST_F(Ventanas, ElCodigoElegidoLlegaALaHoja)
{
    HojaDatos hoja;
    AlAbrir([](VentanaSeleccion &w) {
        Teclea(w.Caja(1), "muj");
        QTest::keyClick(w.Caja(1), Qt::Key_Return);
    });
    SeleccionaCatalogo(*p.ctx, hoja, 67, "Sexo");
    EXPECT_EQ(hoja.Texto(67), "2");
    AlAbrir([](VentanaSeleccion &w) {
        Teclea(w.Caja(0), "X");
        QTest::keyClick(w.Caja(0), Qt::Key_Return);
    });
    MuestraListadet(*p.ctx, &hoja, 78);
    EXPECT_EQ(hoja.Texto(78), "X590");
}

} // namespace
