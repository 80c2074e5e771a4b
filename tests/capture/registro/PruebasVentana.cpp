// The window as a user meets it under the offscreen platform: toolbar, keys,
// ticks, focus and the mirror of the sheet state.
#include "AmbienteRegistro.h"

#include "capture/TecladoHoja.h"
#include "capture/frmRegistro.h"
#include "comun/Teclado.h"
#include "shell/BarraDatos.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <functional>

namespace {

class Ventana : public AmbienteRegistro {
protected:
    ~Ventana() override { delete ventana; }
    // The sheet on the events stored so far, shown and active.
    void Abre()
    {
        ventana = new frmRegistro(*prog.ctx, listas);
        ventana->Vida().Abre();
        ventana->show();
        ventana->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana));
    }
    HojaDatos &H() { return ventana->Hoja(); }
    void Pulsa(int boton) { ventana->tbrDatos()->Boton(boton)->trigger(); }
    // "Altas", and the valid event typed in with these diagnoses.
    void Captura(const QStringList &diagnosticos, const QString &folio = "123")
    {
        Pulsa(5);
        DatosEvento d = EventoValido();
        d.diagnosticos = diagnosticos;
        d.textos[22] = folio;
        ::Captura(ventana->Registro(), d);
    }
    void Graba()
    {
        Msj().Responde(false);
        Pulsa(8);
        ASSERT_EQ(Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
    }
    static QColor Fondo(QWidget *w) { return w->palette().color(QPalette::Base); }
    static QWidget *Foco() { return QApplication::focusWidget(); }
    QLineEdit *Txt(int i) { return ventana->txtDatos(i); }
    static void Procesa() { QApplication::processEvents(); }

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
    EXPECT_EQ(sub->windowTitle(), TituloEsperado(0, 0, 0));
    EXPECT_TRUE(sub->minimumSize() == sub->maximumSize() && !(sub->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
    hoja->tbrDatos()->Boton(13)->trigger();
    Procesa();
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(Ventana, BarraYDescripcionesSeLeenEnteras)
{
    Abre();
    // Each caption stands whole under its picture, inside the bar.
    for (int pos = 1; pos <= 13; ++pos) {
        const QWidget *boton = ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(pos));
        EXPECT_GE(boton->height(), boton->sizeHint().height()) << pos;
        EXPECT_LE(boton->geometry().bottom(), ventana->tbrDatos()->contentsRect().bottom()) << pos;
    }
    // Check-list items and descriptions cut by their width read whole in their tips.
    for (QListWidget *lista : ventana->findChildren<QListWidget *>())
        for (int i = 0; i < lista->count(); ++i)
            EXPECT_EQ(lista->item(i)->toolTip(), lista->item(i)->text());
    H().PonTexto(53, "2");
    EXPECT_EQ(ventana->lblDatos(53)->text(), "VIOLENCIA FAMILIAR");
    for (const QLabel *l : ventana->findChildren<QLabel *>(QRegularExpression("^lblDatos_")))
        EXPECT_EQ(l->toolTip(), l->text()) << l->objectName().toStdString();
    // A click anywhere on "Buscar" drops its menu.
    bool desplegado = false;
    QTimer::singleShot(0, ventana, [&] {
        desplegado = ventana->MenuBuscar()->isVisible();
        ventana->MenuBuscar()->close();
    });
    QTest::mouseClick(ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(10)), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_TRUE(desplegado);
    // A field typed beyond its length keeps its maximum; a stored value longer than it shows whole.
    H().EnAlta = true;
    H().HabilitaMarco(Marco::Clues, true);
    Txt(22)->setFocus();
    QTest::keyClicks(Txt(22), "1234567890");
    EXPECT_EQ(H().Texto(22), "12345678");
    H().PonTexto(22, "123456789");
    EXPECT_EQ(Txt(22)->text(), "123456789");
}

TEST_F(Ventana, LoCerradoSeVeGrisYPierdeElResaltado)
{
    Abre();
    Pulsa(5);
    const QColor gris = QApplication::palette().color(QPalette::Dark);
    EXPECT_TRUE(!Txt(65)->isEnabled() && Fondo(Txt(65)) == gris && Fondo(ventana->Lista(ListaHoja::TipoViolencia)) == gris);
    Captura({"S001"});
    Graba();
    // Editing: the key boxes stay closed with their frame.
    Pulsa(6);
    EXPECT_FALSE(Txt(22)->isEnabled() || ventana->mskDatos(1)->isEnabled());
    // A field whose frame closes with the focus in it loses its highlight.
    H().PonPagina(1);
    QTest::mouseClick(Txt(70), Qt::LeftButton);
    EXPECT_EQ(Fondo(Txt(70)), ColorEnfoque());
    CtrlG(Txt(70));
    EXPECT_TRUE(!H().EnCambio && Fondo(Txt(70)) == QColor(Qt::white));
}

TEST_F(Ventana, SoloElTabuladorYElClicRevisanElCampoQueSeDeja)
{
    Abre();
    Captura({"S001"});
    H().PonTexto(31, QString());
    H().PonPagina(1);
    Txt(76)->setFocus();
    H().PonTexto(76, "S00");
    Msj().Limpia();
    // Press and release before the event loop turns: the click must not add
    // the code that the field's own check refuses.
    QTest::mouseClick(ventana->cmdAgregaAfec(), Qt::LeftButton);
    Procesa();
    EXPECT_TRUE(H().Afecciones().size() == 1 && !Msj().cajas.isEmpty() && Foco() == Txt(76));
    // Ctrl+G in the entry still holding the short code: the validation turns
    // to page 1 for the missing name; the entry is not checked as left.
    Msj().Limpia();
    abiertas.clear();
    CtrlG(Txt(76));
    Procesa();
    ASSERT_EQ(Msj().cajas.size(), 1);
    EXPECT_EQ(Msj().Ultimo(), "No ha capturado el Nombre del paciente, verifique por favor.....");
    EXPECT_TRUE(abiertas.isEmpty()) << abiertas.join(' ').toStdString();
    EXPECT_TRUE(ventana->SSTab1()->currentIndex() == 0 && Foco() == Txt(31));
    // With no aggressor, Backtab from the hour of care to the page button of
    // page 1 is the user's own move: the hour of 24 is emptied on leaving.
    H().PonTexto(53, "1");
    H().PonPagina(1);
    Txt(69)->setFocus();
    H().PonTexto(69, "24");
    QTest::keyClick(Txt(69), Qt::Key_Backtab);
    Procesa();
    EXPECT_TRUE(Foco() == ventana->cmdCambiar(0) && H().Texto(69).isEmpty());
}

TEST_F(Ventana, NavegaConLasTeclasDesdeLaPestana)
{
    for (int folio = 1; folio <= 25; ++folio)
        Inserta("DFQRV000015", folio, "2004-03-03");
    Abre();
    QTabBar *pestanas = ventana->SSTab1()->tabBar();
    pestanas->setFocus();
    // Each step: the key, its modifiers, the folio shown and the beeps so far. Ctrl and
    // Shift change nothing: Ctrl+PgDn browses ten ahead rather than turning the page.
    const struct {
        Qt::Key tecla;
        Qt::KeyboardModifiers mod;
        int folio, pitidos;
    } pasos[] = {{Qt::Key_End, Qt::NoModifier, 25, 0}, {Qt::Key_Down, Qt::ShiftModifier, 25, 1}, {Qt::Key_Up, Qt::ControlModifier, 24, 1},
                 {Qt::Key_Home, Qt::ShiftModifier, 1, 1}, {Qt::Key_Up, Qt::NoModifier, 1, 2}, {Qt::Key_PageDown, Qt::ControlModifier, 11, 2},
                 {Qt::Key_PageDown, Qt::NoModifier, 21, 2}, {Qt::Key_PageDown, Qt::NoModifier, 25, 2}, {Qt::Key_PageUp, Qt::ShiftModifier, 15, 2},
                 {Qt::Key_PageUp, Qt::NoModifier, 5, 2}, {Qt::Key_PageUp, Qt::NoModifier, 1, 2}, {Qt::Key_Down, Qt::NoModifier, 2, 2}};
    for (const auto &p : pasos) {
        QTest::keyClick(pestanas, p.tecla, p.mod);
        EXPECT_EQ(Txt(22)->text().toInt() * 10 + Msj().beeps, p.folio * 10 + p.pitidos) << p.tecla;
    }
    EXPECT_TRUE(ventana->windowTitle() == TituloEsperado(2, 25, 0) && ventana->SSTab1()->currentIndex() == 0);
}

TEST_F(Ventana, LaFechaSeCompruebaAlSalirYSeColoreaConElFoco)
{
    Abre();
    Pulsa(5);
    H().PonTexto(22, "00000123"), H().PonTexto(23, "DFQRV000015");
    Txt(23)->setFocus();
    QTest::keyClick(Txt(23), Qt::Key_Tab);
    Procesa();
    QLineEdit *fecha = ventana->mskDatos(1);
    ASSERT_EQ(Foco(), fecha);
    EXPECT_EQ(Fondo(fecha), ColorEnfoque());
    fecha->home(false);
    QTest::keyClicks(fecha, "26122004");
    EXPECT_EQ(H().Fecha(1), "26/12/2004");
    QTest::keyClick(fecha, Qt::Key_Return);
    Procesa();
    EXPECT_EQ(Msj().Ultimo(), "La Fecha de Atención debe ser del año estadistico en curso....");
    EXPECT_EQ(Foco(), fecha);   // back to the refused box
    fecha->selectAll();
    QTest::keyClicks(fecha, "15062004");
    Msj().Limpia();
    QTest::keyClick(fecha, Qt::Key_Tab);
    Procesa();
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
    EXPECT_EQ(ventana->lblDatos(1)->text(), "JUNIO");
    EXPECT_TRUE(Fondo(fecha) == QColor(Qt::white) && Foco() == Txt(29));
}

TEST_F(Ventana, LasMarcasDeLaListaLleganALaHojaYVuelven)
{
    Abre();
    Pulsa(5);
    QListWidget *lista = ventana->Lista(ListaHoja::Derechohabiencia);
    auto elemento = [lista](const char *codigo) {
        return lista->findItems(QString::fromLatin1(codigo), Qt::MatchStartsWith).value(0);
    };
    elemento("8 ")->setCheckState(Qt::Checked);
    EXPECT_EQ(H().CodigosMarcados(ListaHoja::Derechohabiencia), QStringList({"8"}));
    EXPECT_TRUE(Txt(33)->isEnabled() && Txt(34)->isEnabled());
    EXPECT_EQ(Fondo(Txt(33)), QApplication::palette().color(QPalette::Base));
    elemento("1 ")->setCheckState(Qt::Checked);
    EXPECT_FALSE(elemento("8 ")->checkState() == Qt::Checked || Txt(33)->isEnabled());

    // Enter in a list moves to the next stop; the list's colours follow the focus.
    lista->setFocus();
    EXPECT_EQ(Fondo(lista), ColorEnfoque());
    QTest::keyClick(lista, Qt::Key_Return);
    EXPECT_TRUE(Foco() == Txt(32) && Fondo(lista) == QColor(192, 192, 255));
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
    Txt(53)->setFocus();
    Msj().Limpia();
    Teclea(Txt(53), "11");
    EXPECT_EQ(H().Texto(68) + Txt(68)->text() + Txt(78)->text() + QString::number(Msj().beeps), "88Y0790");
}

TEST_F(Ventana, TrasCadaBotonLaRejillaEstaEnSuPrimeraFila)
{
    Abre();
    Pulsa(5);
    H().PonTexto(36, "30"), H().PonTexto(37, "3"), H().PonTexto(38, "2");
    QTableWidget *rejilla = ventana->grdAfecciones();
    EXPECT_TRUE(rejilla->isColumnHidden(0));
    auto codigos = [rejilla] {
        QStringList c;
        for (int f = 0; f < rejilla->rowCount(); ++f)
            c << rejilla->item(f, 1)->text();
        return c;
    };
    auto boton = [this](QPushButton *b, const char *codigo) {
        H().PonTexto(76, codigo);
        QTest::mouseClick(b, Qt::LeftButton);
    };
    boton(ventana->cmdAgregaAfec(), "S001");
    boton(ventana->cmdAgregaAfec(), "S008");
    EXPECT_EQ(QString::number(rejilla->currentRow()) + H().Texto(76), "0S001");
    // Right after adding, "Modificar" replaces the first row, the one shown.
    boton(ventana->cmdModificaAfec(), "S009");
    EXPECT_EQ(codigos(), QStringList({"S009", "S008"}));
    // The second row chosen and replaced; the rebuilt grid is back on the
    // first, so "Borrar" deletes the row whose code the entry field shows.
    rejilla->setCurrentCell(1, 1);
    EXPECT_EQ(H().Texto(76), "S008");
    boton(ventana->cmdModificaAfec(), "S005");
    EXPECT_EQ(codigos() << QString::number(rejilla->currentRow()) << H().Texto(76), QStringList({"S009", "S005", "0", "S009"}));
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
    EXPECT_TRUE(ventana->SSTab1()->currentIndex() == 1 && Foco() == Txt(69));
}

TEST_F(Ventana, CtrlGGrabaAunqueCtrlSeSueltePorUltimo)
{
    Abre();
    QTest::keyClick(ventana->SSTab1(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(Msj().cajas.isEmpty());   // browsing: nothing to save
    Captura({"S001"});
    QLineEdit *fecha = ventana->mskDatos(1);
    fecha->setFocus();
    Msj().Responde(false);
    QTest::keyPress(fecha, Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(fecha, Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(fecha, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(Msj().cajas.size() == 1 ? Msj().Ultimo() : QString(), "Registro Guardado, ¿Continuar Captura?");
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 1);
}

// An edited event whose unit has left the catalog: "Grabar" sends the clerk to
// the CLUES, which now takes a new one, and the save moves the event there.
TEST_F(Ventana, UnaUnidadQueSalioDelCatalogoSeCorrigeYElEventoSeMueve)
{
    Abre();
    Captura({"S001", "S008"});
    Graba();
    const QString detalles = "SELECT (SELECT count(*) FROM D_Diagnosticos WHERE CLUES = ?) || (SELECT count(*) FROM D_TipoViolencia "
                             "WHERE CLUES = ?) || (SELECT count(*) FROM D_BajoEfectos WHERE CLUES = ?)";
    const QString antes = prog.Valor(detalles, {"DFSSA000012", "DFSSA000012", "DFSSA000012"}).toString();
    prog.Ejecuta("DELETE FROM CATCLUES WHERE CLUES = 'DFSSA000012'");
    Pulsa(6);
    Msj().Limpia();
    Pulsa(8);
    EXPECT_EQ(Msj().Ultimo(), "La clave CLUES no es correcta, verifique por favor.....");
    Procesa();
    ASSERT_EQ(Foco(), Txt(23));
    ASSERT_TRUE(Txt(23)->isEnabled() && !Txt(23)->isReadOnly());
    QTest::keyClick(Txt(23), Qt::Key_Home);
    QTest::keyClick(Txt(23), Qt::Key_End, Qt::ShiftModifier);
    Teclea(Txt(23), "dfssa000024");
    Msj().Limpia();
    Pulsa(8);
    EXPECT_TRUE(Msj().cajas.isEmpty() && !H().EnCambio) << Msj().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT Clues, Folio FROM D_EVENTO"), QStringList{"DFSSA000024|123"});
    EXPECT_EQ(prog.Valor(detalles, {"DFSSA000024", "DFSSA000024", "DFSSA000024"}).toString(), antes);
    EXPECT_EQ(Txt(23)->text(), "DFSSA000024");
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 1));
}

// The database file moved away under the open sheet: "Grabar" refuses and
// keeps what was typed; once the file is back, the same "Grabar" saves it.
TEST_F(Ventana, GrabarSobreUnaBaseMovidaLaRehusaYConservaLaCaptura)
{
    Abre();
    Captura({"S001"});
    const QString archivo = prog.ctx->ArchivoBD;
    ASSERT_TRUE(QFile::rename(archivo, archivo + ".movido"));
    Pulsa(8);
    ASSERT_GE(Msj().cajas.size(), 2);
    EXPECT_TRUE(Msj().cajas[Msj().cajas.size() - 2].texto.contains("fue movido o borrado mientras el programa estaba abierto"));
    EXPECT_EQ(Msj().Ultimo() + "|" + Txt(22)->text(), "No se pudo Guardar el Evento.....|00000123");
    ASSERT_TRUE(QFile::rename(archivo + ".movido", archivo));
    Graba();
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 1);
}

// Every way out of a capture in progress asks the Esc question; No keeps the
// capture and the window, Yes cancels it and closes.
TEST_F(Ventana, CerrarDuranteUnaCapturaPreguntaPorCualquierCamino)
{
    // The start-parameter window, shown once the sheet has gone, is cancelled.
    auto paramInicio = [this](mdiPrincipal &p, QMdiSubWindow *) {
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        EXPECT_TRUE(MuestraParamInicio(*prog.ctx, &p, false));
    };
    const struct {
        const char *camino;
        std::function<void(mdiPrincipal &, QMdiSubWindow *)> cierra;
        bool cierraElPrograma;
    } caminos[] = {
        {"cuadro de cierre", [](mdiPrincipal &, QMdiSubWindow *sub) { sub->close(); }, false},
        {"Ctrl+F4", [](mdiPrincipal &, QMdiSubWindow *) { QTest::keyClick(Foco(), Qt::Key_F4, Qt::ControlModifier); }, false},
        {"Estado y Año", paramInicio, false},
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
            Procesa();
            ASSERT_EQ(Msj().cajas.size(), 1);
            EXPECT_EQ(Msj().cajas[0].texto + "|" + Msj().cajas[0].titulo, "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?|" + TituloHoja);
            EXPECT_EQ(principal.Area()->subWindowList().size(), si ? 0 : 1);
            EXPECT_EQ(principal.isVisible(), !(si && c.cierraElPrograma));
            EXPECT_TRUE(si || (hoja->Hoja().EnAlta && hoja->Hoja().Texto(22) == "123"));
        }
        if (!prog.bd().EstaAbierta())   // closed with the main window
            prog.bd().Abre(prog.ctx->NombreArchivoBD("36", "2004"));
        EXPECT_EQ(prog.Cuenta("D_EVENTO"), 0);
    }
}

} // namespace
