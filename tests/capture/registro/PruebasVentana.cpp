// The window as a user meets it under the offscreen platform: layout, toolbar,
// keys, ticks and the mirror of the sheet state.
#include "AmbienteRegistro.h"

#include "capture/frmRegistro.h"
#include "comun/Teclado.h"
#include "shell/BarraDatos.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QColor Enfocado(255, 224, 192);   // &HC0E0FF

class Ventana : public AmbienteRegistro {
protected:
    ~Ventana() override { delete ventana; }
    // The sheet on the events stored so far, shown and active.
    frmRegistro &Abre()
    {
        ventana = new frmRegistro(*prog.ctx, listas);
        ventana->Vida().Abre();
        ventana->show();
        ventana->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana));
        return *ventana;
    }
    HojaDatos &H() { return ventana->Hoja(); }
    void Pulsa(int boton) { ventana->tbrDatos()->Boton(boton)->trigger(); }
    // "Altas", and the valid event typed in with these diagnoses.
    void Captura(const QStringList &diagnosticos)
    {
        Pulsa(5);
        DatosEvento d = EventoValido();
        d.diagnosticos = diagnosticos;
        ::Captura(ventana->Registro(), d);
    }
    QStringList Habilitados()
    {
        QStringList si;
        for (int pos = 1; pos <= 13; ++pos)
            if (ventana->tbrDatos()->Boton(pos)->isEnabled())
                si << QString::number(pos);
        return si;
    }
    QListWidgetItem *Elemento(ListaHoja lista, const QString &codigo)
    {
        QListWidget *l = ventana->Lista(lista);
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->text().left(2).trimmed() == codigo)
                return l->item(i);
        return nullptr;
    }
    static QColor Fondo(QWidget *w, QPalette::ColorRole rol = QPalette::Base) { return w->palette().color(rol); }
    static QWidget *Foco() { return QApplication::focusWidget(); }

    frmRegistro *ventana = nullptr;
};

TEST_F(Ventana, SeAbreUnaSolaVezComoVentanaHijaDeTamanoFijo)
{
    QMdiArea area;
    area.resize(1024, 768);
    area.show();
    frmRegistro *hoja = AbreHojaRegistro(*prog.ctx, area);
    ASSERT_NE(hoja, nullptr);
    hoja->Hoja().PonPagina(1);
    EXPECT_EQ(AbreHojaRegistro(*prog.ctx, area), hoja);
    EXPECT_EQ(hoja->SSTab1()->currentIndex(), 0);   // brought forward on its first page
    ASSERT_EQ(area.subWindowList().size(), 1);
    QMdiSubWindow *sub = area.subWindowList().first();
    EXPECT_EQ(sub->widget(), hoja);
    EXPECT_EQ(sub->windowTitle(), TituloEsperado(0, 0, 0));
    EXPECT_EQ(sub->minimumSize(), sub->maximumSize());
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);

    hoja->tbrDatos()->Boton(13)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(Ventana, RotulosConsejosYTitulos)
{
    Abre();
    const QPair<int, const char *> consejos[] = {{23, "CLUES"},     {29, "Paterno"}, {30, "Materno"},
                                                 {31, "Nombre(s)"}, {80, "Código"},  {81, "Médico Tratante"}};
    for (const auto &c : consejos)
        EXPECT_EQ(ventana->txtDatos(c.first)->toolTip(), QString::fromUtf8(c.second));
    for (int i : {0, 1})
        EXPECT_EQ(ventana->mskDatos(i)->displayText(), "__/__/____");
    const QPair<int, const char *> rotulos[] = {
        {8, "Hora de Ocurrencia (00:00 -- 23:59)"},
        {21, "Si fue atendido en urgencias, escriba el tiempo de estancia en el servicio"},
        {22, "Expediente :"}, {23, "Afiliación :"}, {24, "Nombre :"},
        {34, "Tiempo de traslado a la Unidad Hospitalaria"}};
    for (const auto &r : rotulos)
        EXPECT_EQ(ventana->lblDatos(r.first)->text(), QString::fromUtf8(r.second));
    // Check-list items and descriptions cut by their width read whole in their tips.
    for (QListWidget *lista : ventana->findChildren<QListWidget *>())
        for (int i = 0; i < lista->count(); ++i)
            EXPECT_EQ(lista->item(i)->toolTip(), lista->item(i)->text());
    H().PonTexto(53, "2");
    EXPECT_EQ(ventana->lblDatos(53)->text(), "VIOLENCIA FAMILIAR");
    for (const QLabel *l : ventana->findChildren<QLabel *>(QRegularExpression("^lblDatos_")))
        EXPECT_EQ(l->toolTip(), l->text()) << l->objectName().toStdString();
    EXPECT_EQ(ventana->SSTab1()->tabText(0), "HOJA DE REGISTRO 1");
    EXPECT_EQ(ventana->SSTab1()->tabText(1), "HOJA DE REGISTRO 2");
    for (int i : {0, 1})
        EXPECT_EQ(ventana->cmdCambiar(i)->toolTip(), "Siguiente sección");
    EXPECT_EQ(Fondo(ventana->lblDatos(0), QPalette::Window), QColor(255, 128, 0));   // &H0080FF
    const QPair<Marco, const char *> marcos[] = {
        {Marco::Clues, ""}, {Marco::Afectado, "Datos del Afectado"}, {Marco::Domicilio, "Domicilio de Ocurrencia"},
        {Marco::Evento, " Datos del Evento"}, {Marco::Accidente, "Si la causa fué Accidente de Vehículo de Motor"},
        {Marco::Agresor, "Agresor"}, {Marco::Atencion, "Atención"}, {Marco::Responsable, "Responsable"}};
    for (const auto &m : marcos) {
        EXPECT_EQ(ventana->MarcoHoja(m.first)->title(), QString::fromUtf8(m.second));
        EXPECT_FALSE(ventana->MarcoHoja(m.first)->isEnabled());
    }
    const QStringList consejosBarra = {"Primero", "Anterior", "Siguiente", "Último", "Altas de registros",
                                       "Cambios de Registros", "Refrescar", "Grabar Movimiento", "Cancelar Movimiento",
                                       "Buscar", "Bajas de registros", "Imprimir", "Cerrar"};
    for (int pos = 1; pos <= 13; ++pos) {
        EXPECT_EQ(ventana->tbrDatos()->Boton(pos)->toolTip(), consejosBarra[pos - 1]);
        // Each caption stands whole under its picture, inside the bar.
        const QWidget *boton = ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(pos));
        EXPECT_GE(boton->height(), boton->sizeHint().height()) << pos;
        EXPECT_LE(boton->geometry().bottom(), ventana->tbrDatos()->contentsRect().bottom()) << pos;
    }
    QStringList items;
    for (QAction *a : ventana->MenuBuscar()->actions())
        items << a->text();
    EXPECT_EQ(items, QStringList({"Filtrar", "Quitar Filtro", "Ver Tabla", "Exportar"}));
    EXPECT_EQ(ventana->tbrDatos()->Boton(10)->menu(), ventana->MenuBuscar());
    // A click anywhere on "Buscar" drops its menu.
    bool desplegado = false;
    QTimer::singleShot(0, ventana, [&] {
        desplegado = ventana->MenuBuscar()->isVisible();
        ventana->MenuBuscar()->close();
    });
    QTest::mouseClick(ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(10)), Qt::LeftButton,
                      Qt::NoModifier, QPoint(6, 6));
    EXPECT_TRUE(desplegado);

    // A field typed beyond its length keeps its maximum.
    H().EnAlta = true;
    H().HabilitaMarco(Marco::Clues, true);
    ventana->txtDatos(22)->setFocus();
    QTest::keyClicks(ventana->txtDatos(22), "1234567890");
    EXPECT_EQ(H().Texto(22), "12345678");
}

// The order as Enter walks it is the end-to-end test's; here the stops it
// does not reach: closed fields before the page button, and the last ones.
TEST_F(Ventana, OrdenDeFocoDeAmbasPaginas)
{
    Abre();
    QStringList nombres;
    for (QWidget *w : ventana->OrdenDeFoco())
        nombres << w->objectName();
    EXPECT_EQ(nombres.mid(0, 3), QStringList({"txtDatos_22", "txtDatos_23", "mskDatos_1"}));
    EXPECT_EQ(nombres.mid(nombres.indexOf("txtDatos_64"), 3),
              QStringList({"txtDatos_64", "cmdCambiar_0", "txtDatos_65"}));
    const QStringList fin = {"txtDatos_81",  "cmdCambiar_1", "cmdModificaAfec",
                             "cmdBorraAfec", "SSTab1",       "grdAfecciones"};
    EXPECT_EQ(nombres.mid(nombres.size() - fin.size()), fin);
}

TEST_F(Ventana, BotonesYMenuSegunElEstado)
{
    Abre();
    // No event: nothing to edit or delete.
    EXPECT_EQ(Habilitados(), QStringList({"1", "2", "3", "4", "5", "7", "10", "12", "13"}));
    QList<bool> menu;
    for (QAction *a : ventana->MenuBuscar()->actions())
        menu << a->isEnabled();
    EXPECT_EQ(menu, QList<bool>({false, true, false, false}));

    Pulsa(5);
    EXPECT_EQ(Habilitados(), QStringList({"8", "9"}));
    EXPECT_FALSE(ventana->MenuBuscar()->actions()[1]->isEnabled());
    for (Marco m : {Marco::Clues, Marco::Afectado, Marco::Evento, Marco::Responsable})
        EXPECT_TRUE(ventana->MarcoHoja(m)->isEnabled());
    EXPECT_FALSE(ventana->txtDatos(65)->isEnabled());
    EXPECT_EQ(Fondo(ventana->txtDatos(65)), QApplication::palette().color(QPalette::Dark));
    EXPECT_FALSE(ventana->Lista(ListaHoja::TipoViolencia)->isEnabled());
    EXPECT_EQ(Fondo(ventana->Lista(ListaHoja::TipoViolencia)), QApplication::palette().color(QPalette::Dark));

    Inserta("DFQRV000015", 1, "2004-03-03");
    Pulsa(9);
    EXPECT_EQ(Habilitados(), QStringList({"1", "2", "3", "4", "5", "7", "10", "12", "13"}));
    ventana->MenuBuscar()->actions()[1]->trigger();   // "Quitar Filtro" reloads on every event
    EXPECT_EQ(Habilitados(), QStringList({"1", "2", "3", "4", "5", "6", "7", "10", "11", "12", "13"}));
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 0));
    EXPECT_EQ(ventana->txtDatos(22)->text(), "00000001");
    EXPECT_EQ(ventana->mskDatos(1)->displayText(), "03/03/2004");
    EXPECT_EQ(ventana->lblDatos(1)->text(), "MARZO");
    EXPECT_EQ(ventana->lblDatos(28)->text(), "HOSPITAL GENERAL DE ZONA QUIRVAL 1-A");
}

TEST_F(Ventana, NavegaConLasTeclasDesdeLaPestana)
{
    for (int folio : {1, 2, 3})
        Inserta("DFQRV000015", folio, "2004-03-03");
    Abre();
    QTabBar *pestanas = ventana->SSTab1()->tabBar();
    pestanas->setFocus();
    // Ctrl and Shift change nothing: Ctrl+PgDn browses rather than turning the page.
    const struct {
        Qt::Key tecla;
        Qt::KeyboardModifiers mod;
        const char *folio;
        int pitidos;
    } pasos[] = {{Qt::Key_End, Qt::NoModifier, "00000003", 0},    {Qt::Key_Down, Qt::ShiftModifier, "00000003", 1},
                 {Qt::Key_Up, Qt::ControlModifier, "00000002", 1}, {Qt::Key_Home, Qt::ShiftModifier, "00000001", 1},
                 {Qt::Key_Up, Qt::NoModifier, "00000001", 2},
                 {Qt::Key_PageDown, Qt::ControlModifier, "00000003", 2},
                 {Qt::Key_PageUp, Qt::ShiftModifier, "00000001", 2}};
    for (const auto &p : pasos) {
        QTest::keyClick(pestanas, p.tecla, p.mod);
        EXPECT_EQ(ventana->txtDatos(22)->text(), p.folio) << p.tecla;
        EXPECT_EQ(Msj().beeps, p.pitidos) << p.tecla;
    }
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 3, 0));
    EXPECT_EQ(ventana->SSTab1()->currentIndex(), 0);
}

TEST_F(Ventana, LaFechaSeCompruebaAlSalirYSeColoreaConElFoco)
{
    Abre();
    Pulsa(5);
    H().PonTexto(22, "00000123");
    H().PonTexto(23, "DFQRV000015");
    ventana->txtDatos(23)->setFocus();
    QTest::keyClick(ventana->txtDatos(23), Qt::Key_Tab);
    QApplication::processEvents();

    QLineEdit *fecha = ventana->mskDatos(1);
    ASSERT_EQ(Foco(), fecha);
    EXPECT_EQ(Fondo(fecha), Enfocado);
    fecha->home(false);
    QTest::keyClicks(fecha, "26122004");
    EXPECT_EQ(H().Fecha(1), "26/12/2004");
    QTest::keyClick(fecha, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Msj().Ultimo(), "La Fecha de Atención debe ser del año estadistico en curso....");
    EXPECT_EQ(Foco(), fecha);   // back to the refused box

    fecha->selectAll();
    QTest::keyClicks(fecha, "15062004");
    Msj().Limpia();
    QTest::keyClick(fecha, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
    EXPECT_EQ(ventana->lblDatos(1)->text(), "JUNIO");
    EXPECT_EQ(Fondo(fecha), QColor(Qt::white));
    EXPECT_EQ(Foco(), ventana->txtDatos(29));
}

TEST_F(Ventana, LasMarcasDeLaListaLlegamALaHojaYVuelven)
{
    Abre();
    Pulsa(5);
    QListWidgetItem *quirval = Elemento(ListaHoja::Derechohabiencia, "8");
    ASSERT_NE(quirval, nullptr);
    quirval->setCheckState(Qt::Checked);
    EXPECT_EQ(H().CodigosMarcados(ListaHoja::Derechohabiencia), QStringList({"8"}));
    EXPECT_TRUE(ventana->txtDatos(33)->isEnabled());
    EXPECT_TRUE(ventana->txtDatos(34)->isEnabled());
    EXPECT_EQ(Fondo(ventana->txtDatos(33)), QApplication::palette().color(QPalette::Base));

    Elemento(ListaHoja::Derechohabiencia, "1")->setCheckState(Qt::Checked);
    EXPECT_EQ(quirval->checkState(), Qt::Unchecked);
    EXPECT_FALSE(ventana->txtDatos(33)->isEnabled());
    EXPECT_EQ(Fondo(ventana->txtDatos(33)), QApplication::palette().color(QPalette::Dark));

    // Enter in a list moves to the next stop; the list's colours follow the focus.
    QListWidget *lista = ventana->Lista(ListaHoja::Derechohabiencia);
    lista->setFocus();
    EXPECT_EQ(Fondo(lista), Enfocado);
    QTest::keyClick(lista, Qt::Key_Return);
    EXPECT_EQ(Foco(), ventana->txtDatos(32));
    EXPECT_EQ(Fondo(lista), QColor(192, 192, 255));

    // While browsing Enter in a list does not move the focus.
    Pulsa(9);
    H().HabilitaMarco(Marco::Afectado, true);
    lista->setFocus();
    QTest::keyClick(lista, Qt::Key_Return);
    EXPECT_EQ(Foco(), lista);
}

TEST_F(Ventana, LoQueEscribeUnaReglaSeMuestraAunqueLaTeclaNoEntre)
{
    // Trafficking presets the kinship with "8", a key its field refuses then.
    Abre();
    Pulsa(5);
    QLineEdit *intencion = ventana->txtDatos(53);
    intencion->setFocus();
    Msj().Limpia();
    Teclea(intencion, "11");
    EXPECT_EQ(H().Texto(68), "8");
    EXPECT_EQ(ventana->txtDatos(68)->text(), "8");
    EXPECT_EQ(ventana->txtDatos(78)->text(), "Y079");
    EXPECT_EQ(Msj().beeps, 0);
}

TEST_F(Ventana, UnValorGuardadoMasLargoQueSuCampoSeMuestraEntero)
{
    Abre();
    H().PonTexto(22, "123456789");
    EXPECT_EQ(ventana->txtDatos(22)->text(), "123456789");
    H().PonTexto(22, "00000007");
    EXPECT_EQ(ventana->txtDatos(22)->maxLength(), 8);
}

TEST_F(Ventana, TrasCadaBotonLaRejillaEstaEnSuPrimeraFila)
{
    Abre();
    Pulsa(5);
    for (auto [campo, texto] : {std::pair{36, "30"}, {37, "3"}, {38, "2"}})
        H().PonTexto(campo, QString::fromLatin1(texto));
    QTableWidget *rejilla = ventana->grdAfecciones();
    EXPECT_TRUE(rejilla->isColumnHidden(0));
    auto codigos = [rejilla] {
        QStringList c;
        for (int f = 0; f < rejilla->rowCount(); ++f)
            c << rejilla->item(f, 1)->text();
        return c;
    };
    for (const char *codigo : {"S001", "S008"}) {
        H().PonTexto(76, QString::fromLatin1(codigo));
        QTest::mouseClick(ventana->cmdAgregaAfec(), Qt::LeftButton);
    }
    EXPECT_EQ(rejilla->currentRow(), 0);
    EXPECT_EQ(H().Texto(76), "S001");

    // Right after adding, "Modificar" replaces the first row, the one shown.
    H().PonTexto(76, "S009");
    QTest::mouseClick(ventana->cmdModificaAfec(), Qt::LeftButton);
    EXPECT_EQ(codigos(), QStringList({"S009", "S008"}));

    // The second row chosen and replaced; the rebuilt grid is back on the
    // first, so "Borrar" deletes the row whose code the entry field shows.
    rejilla->setCurrentCell(1, 1);
    EXPECT_EQ(H().Texto(76), "S008");
    H().PonTexto(76, "S005");
    QTest::mouseClick(ventana->cmdModificaAfec(), Qt::LeftButton);
    EXPECT_EQ(codigos(), QStringList({"S009", "S005"}));
    EXPECT_EQ(rejilla->currentRow(), 0);
    EXPECT_EQ(H().Texto(76), "S009");
    QTest::mouseClick(ventana->cmdBorraAfec(), Qt::LeftButton);
    EXPECT_EQ(codigos(), QStringList({"S005"}));
}

TEST_F(Ventana, ElFocoPasaDePaginaPorElOrdenDeLaHoja)
{
    Abre();
    Pulsa(5);
    ventana->cmdCambiar(0)->setFocus();
    QTest::keyClick(ventana->cmdCambiar(0), Qt::Key_Tab);
    // The aggressor is closed at capture start: the hour of care is the next stop.
    EXPECT_EQ(ventana->SSTab1()->currentIndex(), 1);
    EXPECT_EQ(Foco(), ventana->txtDatos(69));

    QTest::mouseClick(ventana->cmdCambiar(1), Qt::LeftButton);
    EXPECT_EQ(ventana->SSTab1()->currentIndex(), 0);
    EXPECT_EQ(Foco(), ventana->txtDatos(29));
    QTest::mouseClick(ventana->cmdCambiar(0), Qt::LeftButton);
    EXPECT_EQ(ventana->SSTab1()->currentIndex(), 1);
    EXPECT_EQ(H().Pagina(), 1);
}

TEST_F(Ventana, UnClicEnAgregarRevisaAntesElDiagnosticoQueSeDeja)
{
    Abre();
    Captura({"S001"});
    H().PonPagina(1);
    QLineEdit *entrada = ventana->txtDatos(76);
    entrada->setFocus();
    H().PonTexto(76, "S00");
    Msj().Limpia();
    // Press and release before the event loop turns: the click must not add
    // the code that the field's own check refuses.
    QTest::mouseClick(ventana->cmdAgregaAfec(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(H().Afecciones().size(), 1);
    EXPECT_FALSE(Msj().cajas.isEmpty());
    EXPECT_EQ(Foco(), entrada);
}

TEST_F(Ventana, SoloElTabuladorRevisaElCampoQueDejaAlCambiarDePagina)
{
    Abre();
    Captura({"S001"});
    H().PonTexto(31, QString());

    // Ctrl+G in a diagnosis entry holding a short code: the validation turns
    // to page 1 for the missing name; the entry is not checked as left.
    QLineEdit *entrada = ventana->txtDatos(76);
    H().PonPagina(1);
    entrada->setFocus();
    H().PonTexto(76, "S00");
    Msj().Limpia();
    CtrlG(entrada);
    QApplication::processEvents();
    ASSERT_EQ(Msj().cajas.size(), 1);
    EXPECT_EQ(Msj().Ultimo(), "No ha capturado el Nombre del paciente, verifique por favor.....");
    EXPECT_TRUE(abiertas.isEmpty()) << abiertas.join(' ').toStdString();
    EXPECT_EQ(ventana->SSTab1()->currentIndex(), 0);
    EXPECT_EQ(Foco(), ventana->txtDatos(31));

    // With no aggressor, Backtab from the hour of care to the page button of
    // page 1 is the user's own move: the hour of 24 is emptied on leaving.
    H().PonTexto(53, "1");
    QLineEdit *hora = ventana->txtDatos(69);
    H().PonPagina(1);
    hora->setFocus();
    H().PonTexto(69, "24");
    QTest::keyClick(hora, Qt::Key_Backtab);
    QApplication::processEvents();
    EXPECT_EQ(Foco(), ventana->cmdCambiar(0));
    EXPECT_EQ(H().Texto(69), QString());
}

TEST_F(Ventana, GrabaDesdeLaBarraYLaVentanaMuestraElEventoGuardado)
{
    Abre();
    Captura({"S001", "S008"});
    EXPECT_EQ(ventana->grdAfecciones()->rowCount(), 2);
    Msj().Responde(false);
    Pulsa(8);
    EXPECT_EQ(Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 1));
    EXPECT_EQ(ventana->txtDatos(29)->text(), "PEREZ");
    EXPECT_EQ(ventana->grdAfecciones()->rowCount(), 2);
    EXPECT_EQ(Habilitados(), QStringList({"1", "2", "3", "4", "5", "6", "7", "10", "11", "12", "13"}));

    // Editing: the key boxes stay closed with their frame.
    Pulsa(6);
    EXPECT_FALSE(ventana->txtDatos(22)->isEnabled());
    EXPECT_FALSE(ventana->mskDatos(1)->isEnabled());
    Pulsa(9);
}

TEST_F(Ventana, CtrlGGrabaAlPulsarseEnCualquierOrdenDeSoltarLasTeclas)
{
    Abre();
    QTest::keyClick(ventana->SSTab1(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(Msj().cajas.isEmpty());   // browsing: nothing to save
    for (bool ctrlPrimero : {true, false}) {
        Pulsa(5);
        DatosEvento d = EventoValido();
        d.textos[22] = ctrlPrimero ? "1" : "2";
        ::Captura(ventana->Registro(), d);
        ventana->mskDatos(1)->setFocus();
        Msj().Limpia();
        Msj().Responde(false);
        if (ctrlPrimero) {
            CtrlG(ventana->mskDatos(1));
        } else {
            QTest::keyPress(ventana->mskDatos(1), Qt::Key_G, Qt::ControlModifier);
            QTest::keyRelease(ventana->mskDatos(1), Qt::Key_G, Qt::ControlModifier);
            QTest::keyRelease(ventana->mskDatos(1), Qt::Key_Control, Qt::ControlModifier);
        }
        ASSERT_EQ(Msj().cajas.size(), 1) << Msj().Ultimo().toStdString();
        EXPECT_EQ(Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
        EXPECT_EQ(prog.Cuenta("D_EVENTO"), ctrlPrimero ? 1 : 2);
    }
}

TEST_F(Ventana, UnCampoCuyoMarcoSeCierraConElFocoPierdeElResaltado)
{
    Abre();
    Captura({"S001"});
    Msj().Responde(false);
    Pulsa(8);
    Pulsa(6);
    QLineEdit *campo = ventana->txtDatos(70);
    H().PonPagina(1);
    QTest::mouseClick(campo, Qt::LeftButton);
    EXPECT_EQ(Fondo(campo), Enfocado);
    CtrlG(campo);
    EXPECT_FALSE(H().EnCambio);
    EXPECT_EQ(Fondo(campo), QColor(Qt::white));
}

// An edited event whose unit has left the catalog: "Grabar" sends the clerk to
// the CLUES, which now takes a new one, and the save moves the event there.
TEST_F(Ventana, UnaUnidadQueSalioDelCatalogoSeCorrigeYElEventoSeMueve)
{
    Abre();
    Captura({"S001", "S008"});
    Msj().Responde(false);
    Pulsa(8);
    const int detalles = prog.Cuenta("D_Diagnosticos") + prog.Cuenta("D_TipoViolencia") + prog.Cuenta("D_BajoEfectos");
    prog.Ejecuta("DELETE FROM CATCLUES WHERE CLUES = 'DFSSA000012'");
    Pulsa(1);
    Pulsa(6);
    Msj().Limpia();
    Pulsa(8);
    EXPECT_EQ(Msj().Ultimo(), "La clave CLUES no es correcta, verifique por favor.....");
    QLineEdit *clues = ventana->txtDatos(23);
    QApplication::processEvents();
    ASSERT_EQ(Foco(), clues);
    ASSERT_TRUE(clues->isEnabled() && !clues->isReadOnly());
    QTest::keyClick(clues, Qt::Key_Home);
    QTest::keyClick(clues, Qt::Key_End, Qt::ShiftModifier);
    Teclea(clues, "dfssa000024");
    Msj().Limpia();
    Pulsa(8);
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
    EXPECT_FALSE(H().EnCambio);
    EXPECT_EQ(prog.Filas("SELECT Clues, Folio FROM D_EVENTO"), QStringList{"DFSSA000024|123"});
    EXPECT_EQ(prog.Cuenta("D_Diagnosticos", "CLUES = 'DFSSA000024'") + prog.Cuenta("D_TipoViolencia", "CLUES = 'DFSSA000024'")
                  + prog.Cuenta("D_BajoEfectos", "CLUES = 'DFSSA000024'"),
              detalles);
    EXPECT_EQ(clues->text(), "DFSSA000024");
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 1));
}

// Every way out of a capture in progress asks the Esc question; No keeps the
// capture and the window, Yes cancels it and closes.
TEST_F(Ventana, CerrarDuranteUnaCapturaPreguntaPorCualquierCamino)
{
    const QString pregunta = "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?";
    const struct {
        const char *camino;
        std::function<void(mdiPrincipal &, QMdiSubWindow *)> cierra;
        bool cierraElPrograma;
    } caminos[] = {
        {"cuadro de cierre", [](mdiPrincipal &, QMdiSubWindow *sub) { sub->close(); }, false},
        {"Ctrl+F4", [](mdiPrincipal &, QMdiSubWindow *) { QTest::keyClick(Foco(), Qt::Key_F4, Qt::ControlModifier); },
         false},
        {"Estado y Año",
         [this](mdiPrincipal &p, QMdiSubWindow *) {
             // The start-parameter window, shown once the sheet has gone, is cancelled.
             QTimer::singleShot(0, [] {
                 if (QWidget *w = QApplication::activeModalWidget())
                     w->close();
             });
             EXPECT_TRUE(MuestraParamInicio(*prog.ctx, &p, false));
         },
         false},
        {"ventana principal", [](mdiPrincipal &p, QMdiSubWindow *) { p.close(); }, true},
        {"Salir", [](mdiPrincipal &p, QMdiSubWindow *) { p.Item("mnuArch", 10)->trigger(); }, true},
    };
    for (const auto &c : caminos) {
        SCOPED_TRACE(c.camino);
        mdiPrincipal principal(*prog.ctx);
        principal.show();
        principal.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&principal));
        frmRegistro *hoja = AbreHojaRegistro(*prog.ctx, *principal.Area());
        QMdiSubWindow *sub = principal.Area()->subWindowList().first();
        QTest::mouseClick(hoja->tbrDatos()->widgetForAction(hoja->tbrDatos()->Boton(5)), Qt::LeftButton);
        ASSERT_EQ(Foco(), hoja->txtDatos(22));
        Teclea(Foco(), "123");
        for (bool si : {false, true}) {
            Msj().Limpia();
            Msj().Responde(si);
            c.cierra(principal, sub);
            QApplication::processEvents();
            ASSERT_EQ(Msj().cajas.size(), 1);
            EXPECT_EQ(Msj().cajas[0].texto, pregunta);
            EXPECT_EQ(Msj().cajas[0].titulo, TituloHoja);
            EXPECT_EQ(principal.Area()->subWindowList().size(), si ? 0 : 1);
            EXPECT_EQ(principal.isVisible(), !(si && c.cierraElPrograma));
            if (!si) {
                EXPECT_TRUE(hoja->Hoja().EnAlta && hoja->Hoja().Texto(22) == "123");
            }
        }
        if (!prog.bd().EstaAbierta())   // closed with the main window
            prog.bd().Abre(prog.ctx->NombreArchivoBD("36", "2004"));
        EXPECT_EQ(prog.Cuenta("D_EVENTO"), 0);
    }
}

// Pictures of both pages for a person to look at; run with
// VELMORAN_CAPTURAS=<folder> under xvfb-run.
TEST_F(Ventana, CapturasDeAmbasPaginas)
{
    const QString carpeta = qEnvironmentVariable("VELMORAN_CAPTURAS");
    if (carpeta.isEmpty())
        GTEST_SKIP() << "VELMORAN_CAPTURAS no está puesta";
    Abre();
    Captura({"S001", "S008"});
    ventana->Registro().fechas.SaleFecha(0);
    ventana->Registro().fechas.SaleFecha(1);
    for (int pagina : {0, 1}) {
        H().PonPagina(pagina);
        QApplication::processEvents();
        const QString archivo = QDir(carpeta).filePath(QStringLiteral("captura_pagina%1.png").arg(pagina + 1));
        EXPECT_TRUE(ventana->grab().save(archivo));
    }
}

} // namespace
