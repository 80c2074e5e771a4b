// The window as a user meets it under the offscreen platform: toolbar, keys,
// ticks, focus and the mirror of the sheet state.
#include "AmbienteRegistro.h"

#include "capture/TecladoHoja.h"
#include "capture/frmRegistro.h"
#include "comun/BloqueoAjeno.h"
#include "comun/Teclado.h"
#include "platform/EsperaAcotada.h"
#include "shell/BarraDatos.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <functional>

namespace {

// The stops in the sheet's focus order from "Altas": "36" types the valid
// event's text there, "22=123" types that text, "lst…" ticks the event's codes
// with the space bar, each followed by Enter; "!cmd…" presses a button with
// Enter, "tab:…" leaves it with Tab. Codes go without their leading zeros and
// in lower case where letters go: the leave checks pad, the keys upper-case.
// Agent 5 and no prehospital care keep 57 to 59, 63 and 64 closed; the page
// button turns to page 2, where the aggressor takes the focus.
const char *const Paradas[] = {
    "22=123", "23=dfssa000012", "msk1=15062004", "29=perez", "30", "31", "lstDerechohabiencia", "32", "33", "34", "35", "36", "37",
    "38", "39", "40", "41", "42", "43", "44", "45", "46=9", "47=7", "48=1", "msk0=14062004", "49", "50", "51", "52", "53",
    "lstTipoViolencia", "54", "lstPacienteEfectos", "55", "56", "60", "61", "62", "!cmdCambiar_0", "65", "66", "67", "68",
    "lstAgresorEfectos", "69=9", "70", "71", "72=2", "73", "lstTipoAtencion", "74", "75", "76=s001", "!cmdAgregaAfec", "76=S008",
    "!cmdAgregaAfec", "76=", "tab:cmdAgregaAfec", "77", "78", "79", "80"};

class Ventana : public AmbienteRegistro {
protected:
    ~Ventana() override { delete area; }
    // The sheet on the events stored so far, as the Captura menu opens it: a
    // child window of the main window's area, the focus on the tab control.
    void Abre()
    {
        area = new QMdiArea;
        area->resize(1024, 768);
        area->show();
        ventana = new frmRegistro(*prog.ctx, listas);
        ventana->Vida().Abre();
        area->addSubWindow(ventana)->show();
        area->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(area));
        ventana->SSTab1()->setFocus();
        Espera();
    }
    // Lets the deferred work run: the leave checks and the selection on focus.
    static void Espera()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    HojaDatos &H() { return ventana->Hoja(); }
    QLineEdit *Txt(int i) { return ventana->txtDatos(i); }
    static QWidget *Foco() { return QApplication::focusWidget(); }
    void Pulsa(int boton)
    {
        QTest::mouseClick(ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(boton)), Qt::LeftButton);
        Espera();
    }
    void Tecla(Qt::Key tecla)
    {
        QTest::keyClick(Foco(), tecla);
        Espera();
    }
    // "Altas", and the valid event typed in.
    void Captura()
    {
        Pulsa(5);
        ::Captura(ventana->Registro(), EventoValido());
    }
    // The sheet opened, the valid event saved, then "Altas" with a second
    // event of folio 124 typed in, changed by `cambia`.
    void CapturaSegundo(const std::function<void(DatosEvento &)> &cambia = {})
    {
        Abre();
        Captura();
        Guarda();
        DatosEvento otro = EventoValido();
        otro.textos[22] = "00000124";
        if (cambia)
            cambia(otro);
        Pulsa(5);
        ::Captura(ventana->Registro(), otro);
    }
    void Guarda()
    {
        Msj().Responde(false);
        Pulsa(8);
        ASSERT_EQ(Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
    }
    // From "Altas" to the last field by keys, asserting at each stop that the focus stands there.
    void TecleaEvento(const DatosEvento &d)
    {
        Pulsa(5);
        for (const QString parada : Paradas) {
            const QString nombre = parada.section('=', 0, 0).remove('!').remove("tab:");
            const QString objeto = nombre.startsWith("msk") ? "mskDatos_" + nombre.mid(3) : nombre.front().isDigit() ? "txtDatos_" + nombre : nombre;
            ASSERT_EQ(Foco()->objectName(), objeto) << Msj().Ultimo().toStdString();
            for (ListaHoja l : d.marcados.keys())
                for (const QString &codigo : ventana->Lista(l) == Foco() ? d.marcados.value(l) : QStringList()) {
                    ventana->Lista(l)->setCurrentItem(ventana->Lista(l)->findItems(codigo + ' ', Qt::MatchStartsWith).value(0));
                    QTest::keyClick(ventana->Lista(l), Qt::Key_Space);
                }
            if (nombre.front().isDigit() || nombre.startsWith("msk"))
                Teclea(Foco(), parada.contains('=') ? parada.section('=', 1) : d.textos.value(nombre.toInt()));
            Tecla(parada.startsWith("tab:") ? Qt::Key_Tab : Qt::Key_Return);
        }
        ASSERT_EQ(Foco()->objectName(), "txtDatos_81");
        Teclea(Foco(), d.textos.value(81).toLower());
    }

    QMdiArea *area = nullptr;
    frmRegistro *ventana = nullptr;
};

// A clerk's whole road through the window, keys only where a clerk uses keys:
// a complete event typed field by field in the sheet's focus order, Ctrl+G,
// then "Bajas".
TEST_F(Ventana, AltaYBajaDeUnEventoConElTeclado)
{
    const DatosEvento d = EventoValido();
    Abre();
    ASSERT_NO_FATAL_FAILURE(TecleaEvento(d));
    // Nothing was said on the way. The beeps: the age left before its unit
    // was typed (the age check cannot read an empty unit), and two for each
    // ICD-10 code, whose first and second characters name no cause yet.
    EXPECT_TRUE(Msj().cajas.isEmpty() && Msj().beeps == 1 + 4 * 2) << Msj().Ultimo().toStdString();
    for (const auto &[etiqueta, texto] : {std::pair{28, "HOSPITAL GENERAL IZTAPALAPA"}, {1, "JUNIO"}, {0, "LUNES"}, {48, "IZTAPALAPA"}})
        EXPECT_EQ(ventana->lblDatos(etiqueta)->text(), texto) << etiqueta;
    // Ctrl+G saves on the key press, also when Ctrl comes up last.
    Msj().Limpia();
    Msj().Responde(false);
    QTest::keyPress(Foco(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(Foco(), Qt::Key_G, Qt::ControlModifier);
    QTest::keyRelease(Foco(), Qt::Key_Control, Qt::ControlModifier);
    Espera();
    EXPECT_EQ(Msj().Ultimo() + "|" + ventana->windowTitle(), "Registro Guardado, ¿Continuar Captura?|" + TituloEsperado(1, 1, 1));
    // The closed frames gave the focus back to the tab control: the keys
    // browse at once (Up on the only event beeps and stays); Ctrl+G has nothing
    // to save. The first beep is the save's Ctrl+G.
    ASSERT_EQ(Foco(), ventana->SSTab1()->tabBar());
    Tecla(Qt::Key_Up);
    CtrlG(Foco());
    EXPECT_TRUE(Msj().beeps == 2 && Msj().cajas.size() == 1);
    // The saved event reads back as it was typed and ticked.
    for (auto it = d.textos.cbegin(); it != d.textos.cend(); ++it)
        EXPECT_EQ(Txt(it.key())->text(), it.value()) << it.key();
    for (auto it = d.marcados.cbegin(); it != d.marcados.cend(); ++it)
        EXPECT_EQ(H().CodigosMarcados(it.key()), it.value()) << int(it.key());

    // Bajas: No keeps the event and its two diagnoses; Yes deletes them and empties the sheet.
    for (bool si : {false, true}) {
        Msj().Responde(si);
        Pulsa(11);
        EXPECT_EQ(prog.Cuenta("D_EVENTO") + prog.Cuenta("D_Diagnosticos"), si ? 0 : 3);
    }
    EXPECT_TRUE(Msj().Ultimo() == "¿Desea borrar el registro Actual?" && Msj().cajas.last().titulo == "Atención" && Msj().cajas.size() == 3);
    EXPECT_EQ(QStringList({Txt(29)->text(), ventana->mskDatos(1)->displayText(), ventana->windowTitle()}),
              QStringList({"", "__/__/____", TituloEsperado(0, 0, 0)}));
}

// Ctrl+H on an open sheet brings it forward on its first page.
TEST_F(Ventana, SeAbreUnaSolaVezYVuelveASuPrimeraPagina)
{
    QMdiArea principal;
    frmRegistro *hoja = AbreHojaRegistro(*prog.ctx, principal);
    hoja->Hoja().PonPagina(1);
    EXPECT_EQ(AbreHojaRegistro(*prog.ctx, principal), hoja);
    EXPECT_TRUE(hoja->SSTab1()->currentIndex() == 0 && principal.subWindowList().size() == 1);
}

TEST_F(Ventana, BarraYDescripcionesSeLeenEnteras)
{
    Abre();
    // Each caption stands whole under its picture, inside the bar.
    BarraDatos *barra = ventana->tbrDatos();
    for (int pos = 1; pos <= 13; ++pos) {
        const QWidget *boton = barra->widgetForAction(barra->Boton(pos));
        EXPECT_TRUE(boton->height() >= boton->sizeHint().height() && boton->geometry().bottom() <= barra->contentsRect().bottom()) << pos;
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
    QTest::mouseClick(barra->widgetForAction(barra->Boton(10)), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_TRUE(desplegado);
    // A field typed beyond its length keeps its maximum; a stored value longer than it shows whole.
    Pulsa(5);
    QTest::keyClicks(Txt(22), "1234567890");
    EXPECT_EQ(H().Texto(22), "12345678");
    H().PonTexto(22, "123456789");
    EXPECT_EQ(Txt(22)->text(), "123456789");
}

// Ctrl+G while capturing beeps once before the save; while browsing it does nothing.
TEST_F(Ventana, CtrlGPitaUnaVezAntesDeGrabarYAlConsultarNoHaceNada)
{
    Abre();
    Captura();
    Msj().Limpia();
    Msj().Responde(false);
    int pitidosAlPreguntar = -1;
    Msj().alMostrar = [&](const MensajesFalsos::Caja &) { pitidosAlPreguntar = Msj().beeps; };
    CtrlG(Txt(29));
    Espera();
    EXPECT_EQ(Msj().Ultimo() + "|" + QString::number(Msj().beeps) + "|" + QString::number(pitidosAlPreguntar),
              "Registro Guardado, ¿Continuar Captura?|1|1");
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 1);

    Msj().Limpia();
    const QStringList antes = prog.Filas("SELECT * FROM D_EVENTO");
    CtrlG(ventana->SSTab1()->tabBar());
    Espera();
    EXPECT_TRUE(Msj().beeps == 0 && Msj().cajas.isEmpty() && !H().EnAlta && !H().EnCambio);
    EXPECT_EQ(prog.Filas("SELECT * FROM D_EVENTO"), antes);
}

// A field whose frame closes with the focus in it loses its highlight.
TEST_F(Ventana, UnCampoQueSeCierraConElFocoPierdeElResaltado)
{
    Abre();
    Captura();
    Guarda();
    Pulsa(6);
    H().PonPagina(1);
    QTest::mouseClick(Txt(70), Qt::LeftButton);
    EXPECT_EQ(Txt(70)->palette().color(QPalette::Base).name().toStdString(), "#ffe0c0");   // &HC0E0FF
    CtrlG(Txt(70));
    EXPECT_TRUE(!H().EnCambio && Txt(70)->palette().color(QPalette::Base) == QColor(Qt::white));
}

// A closed field refused on saving is opened, so that the clerk can type the code in.
TEST_F(Ventana, GrabarAbreElCampoCerradoQueRehusa)
{
    Abre();
    Captura();
    H().PonTexto(65, QString());
    H().HabilitaCampo(65, false);
    Pulsa(8);
    EXPECT_EQ(Msj().Ultimo(), "El código de si el agresor fué único no se conoce, verifique por favor....");
    EXPECT_TRUE(Txt(65)->isEnabled() && Foco() == Txt(65) && ventana->SSTab1()->currentIndex() == 1);
}

TEST_F(Ventana, SoloElTabuladorYElClicRevisanElCampoQueSeDeja)
{
    Abre();
    Captura();
    H().PonTexto(31, QString());
    H().PonPagina(1);
    Txt(76)->setFocus();
    H().PonTexto(76, "S00");
    Msj().Limpia();
    // Press and release before the event loop turns: the click must not add
    // the code that the field's own check refuses.
    QTest::mouseClick(ventana->cmdAgregaAfec(), Qt::LeftButton);
    Espera();
    EXPECT_TRUE(H().Afecciones().size() == 2 && !Msj().cajas.isEmpty() && Foco() == Txt(76));
    // Ctrl+G in the entry still holding the short code: the validation turns
    // to page 1 for the missing name; the entry is not checked as left.
    Msj().Limpia();
    abiertas.clear();
    CtrlG(Txt(76));
    Espera();
    EXPECT_EQ(Msj().Ultimo() + QString::number(Msj().cajas.size()), "No ha capturado el Nombre del paciente, verifique por favor.....1");
    EXPECT_TRUE(abiertas.isEmpty() && ventana->SSTab1()->currentIndex() == 0 && Foco() == Txt(31)) << abiertas.join(' ').toStdString();
}

TEST_F(Ventana, NavegaConLasTeclasDesdeLaPestana)
{
    for (int folio = 1; folio <= 25; ++folio)
        Inserta("DFQRV000015", folio, "2004-03-03");
    Abre();
    QTabBar *pestanas = ventana->SSTab1()->tabBar();
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

// A refused date of care takes the focus back.
TEST_F(Ventana, UnaFechaRechazadaRecuperaElFoco)
{
    Abre();
    Pulsa(5);
    QLineEdit *fecha = ventana->mskDatos(1);
    fecha->setFocus();
    fecha->home(false);
    QTest::keyClicks(fecha, "26122004");
    Tecla(Qt::Key_Return);
    EXPECT_TRUE(Msj().Ultimo() == "La Fecha de Atención debe ser del año estadistico en curso...." && Foco() == fecha) << Msj().Ultimo().toStdString();
}

// Ticks go from the list to the sheet, and what the rules untick back to the list.
TEST_F(Ventana, LasMarcasDeLaListaLleganALaHojaYVuelven)
{
    Abre();
    Pulsa(5);
    QListWidget *lista = ventana->Lista(ListaHoja::Derechohabiencia);
    auto elemento = [lista](const char *codigo) { return lista->findItems(QString::fromLatin1(codigo), Qt::MatchStartsWith).value(0); };
    elemento("8 ")->setCheckState(Qt::Checked);
    EXPECT_TRUE(H().CodigosMarcados(ListaHoja::Derechohabiencia) == QStringList({"8"}) && Txt(33)->isEnabled());
    elemento("1 ")->setCheckState(Qt::Checked);
    EXPECT_FALSE(elemento("8 ")->checkState() == Qt::Checked || Txt(33)->isEnabled());
}

// The focused field, date box and list take &HC0E0FF; a field or date box left
// goes back to white, a list to &HFFC0C0. Enter in a list moves to the next
// stop while capturing and leaves the focus in the list while browsing.
TEST_F(Ventana, ColoresDelFocoYEnterEnLasListas)
{
    Abre();
    Pulsa(5);
    QListWidget *derechos = ventana->Lista(ListaHoja::Derechohabiencia);
    // The backgrounds of the field 22, the care date box and the list, as #rrggbb.
    auto fondos = [&] {
        QStringList f;
        for (QWidget *w : {static_cast<QWidget *>(Txt(22)), static_cast<QWidget *>(ventana->mskDatos(1)), static_cast<QWidget *>(derechos)})
            f << w->palette().color(QPalette::Base).name();
        return f.join(' ').toStdString();
    };
    // Where the focus goes, and the backgrounds then: &HC0E0FF focused, white left, &HFFC0C0 a list left.
    const std::pair<QWidget *, const char *> pasos[] = {{Txt(22), "#ffe0c0 #ffffff #c0c0ff"}, {ventana->mskDatos(1), "#ffffff #ffe0c0 #c0c0ff"},
                                                        {derechos, "#ffffff #ffffff #ffe0c0"}, {Txt(22), "#ffe0c0 #ffffff #c0c0ff"}};
    for (const auto &[foco, colores] : pasos) {
        foco->setFocus();
        Espera();
        EXPECT_EQ(fondos(), colores) << foco->objectName().toStdString();
    }
    derechos->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_EQ(Foco()->objectName().toStdString() + " " + fondos(), "txtDatos_32 #ffffff #ffffff #c0c0ff");
    Pulsa(9);
    H().HabilitaMarco(Marco::Afectado, true);
    derechos->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_EQ(Foco()->objectName().toStdString(), "lstDerechohabiencia");
}

// Each event read fills the lists from their catalogs again: the window keeps
// the items it shows while the catalog reads the same, only their ticks
// change, and the list looks as refilled (at its top, no item chosen); a
// catalog that changed is shown anew.
TEST_F(Ventana, CadaEventoLeidoMarcaSusElementosComoListaRecienLlenada)
{
    CapturaSegundo();
    Guarda();
    prog.Ejecuta("UPDATE D_BajoEfectos SET CodEfectos = 2 WHERE Folio = 124 AND CodAfectadoAgresor = 1");
    QListWidget *lista = ventana->Lista(ListaHoja::PacienteEfectos);
    auto marcados = [lista] {
        QStringList m;
        for (int i = 0; i < lista->count(); ++i)
            if (lista->item(i)->checkState() == Qt::Checked)
                m << lista->item(i)->text().left(2).trimmed();
        return m.join(',') + QString("|%1|%2|%3").arg(lista->currentRow()).arg(lista->selectedItems().size()).arg(lista->verticalScrollBar()->value());
    };
    ventana->Vida().Recarga();
    ASSERT_EQ(H().Texto(22), "00000123");
    EXPECT_EQ(marcados(), "5|-1|0|0");
    QListWidgetItem *primero = lista->item(0);
    const int cuantos = lista->count();
    lista->setFixedHeight(lista->sizeHintForRow(0) * 2);   // a list that scrolls
    Espera();
    lista->setCurrentRow(cuantos - 1);
    lista->scrollToBottom();
    ASSERT_GT(lista->verticalScrollBar()->value(), 0);
    Pulsa(3);
    ASSERT_EQ(H().Texto(22), "00000124");
    EXPECT_EQ(marcados(), "2|-1|0|0");
    EXPECT_TRUE(lista->item(0) == primero && lista->count() == cuantos);
    prog.Ejecuta("INSERT INTO cEfectos (CodEfectos, Descripcion) VALUES (99, 'OTRA SUSTANCIA')");
    Pulsa(2);
    ASSERT_EQ(H().Texto(22), "00000123");
    EXPECT_EQ(marcados(), "5|-1|0|0");
    EXPECT_EQ(lista->count(), cuantos + 1);
    EXPECT_EQ(lista->item(cuantos)->text(), "99   OTRA SUSTANCIA");
}

// An event whose care types include 8 without sexual violence (written by
// another program) shows it ticked, and "Cambios" then Ctrl+G without a change
// keeps it.
TEST_F(Ventana, CambiosYCtrlGSinCambiosConservanElTipoDeAtencionQueLaListaNoOfrece)
{
    Abre();
    Captura();
    Guarda();
    prog.Ejecuta("INSERT INTO D_TipoAtencion (CLUES, Folio, fechaAtencion, CodTipoAtencion) "
                 "SELECT CLUES, Folio, fechaAtencion, 8 FROM D_EVENTO");
    const QString filas = "SELECT CodTipoAtencion FROM D_TipoAtencion ORDER BY 1";
    ASSERT_EQ(prog.Filas(filas), QStringList({"1", "2", "8"}));
    Pulsa(1);
    QListWidget *atencion = ventana->Lista(ListaHoja::TipoAtencion);
    ASSERT_EQ(atencion->count(), 7);
    EXPECT_EQ(atencion->item(6)->text() + "|" + QString::number(atencion->item(6)->checkState()), "8   PROFILAXIS VIH|2");
    Pulsa(6);
    ASSERT_TRUE(H().EnCambio);
    Msj().Limpia();
    CtrlG(Foco());
    Espera();
    EXPECT_TRUE(!H().EnCambio && Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas(filas), QStringList({"1", "2", "8"}));
}

// The items a list shows on screen, each code followed by "*" when ticked,
// read from the pixels the window last painted (not from the model): a check
// box holding dark pixels (its check mark) is ticked. Rows scrolled out of
// sight are left out; `marcados` gives the same rows as they should read.
QString MarcasEnPantalla(QListWidget *lista, const QStringList &marcados = {}, bool esperado = false)
{
    QWidget *arriba = lista->window();
    const QImage pantalla = arriba->screen()->grabWindow(arriba->winId()).toImage();
    const QPoint origen = lista->viewport()->mapTo(arriba, QPoint(0, 0));
    QStringList filas;
    for (int i = 0; i < lista->count(); ++i) {
        const QRect fila = lista->visualItemRect(lista->item(i));
        if (fila.top() < 0 || fila.bottom() >= lista->viewport()->height())
            continue;
        const QString codigo = lista->item(i)->text().left(2).trimmed();
        int oscuros = 0;
        for (int x = fila.left() + 5; x < fila.left() + fila.height() - 2; ++x)
            for (int y = fila.top() + 4; y < fila.bottom() - 3; ++y)
                oscuros += qGray(pantalla.pixel(origen + QPoint(x, y))) < 90;
        filas << codigo + ((esperado ? marcados.contains(codigo) : oscuros > 3) ? "*" : "");
    }
    return filas.join(' ');
}

// After a move to another event every list of the page shows that event's
// ticks on screen, as painted, and the other page's lists once turned to.
TEST_F(Ventana, TrasMoverseCadaListaMuestraEnPantallaLasMarcasDelEvento)
{
    CapturaSegundo([](DatosEvento &otro) {
        otro.marcados = {{ListaHoja::Derechohabiencia, {"2"}}, {ListaHoja::TipoViolencia, {"9"}},
                         {ListaHoja::PacienteEfectos, {"1", "3"}}, {ListaHoja::AgresorEfectos, {"2", "3"}},
                         {ListaHoja::TipoAtencion, {"4", "5"}}};
    });
    Guarda();
    const QMap<QString, QList<QStringList>> esperado = {
        {"00000123", {{"8"}, {"6", "8"}, {"5"}, {"1"}, {"1", "2"}}},
        {"00000124", {{"2"}, {"9"}, {"1", "3"}, {"2", "3"}, {"4", "5"}}}};
    auto revisa = [&](int boton, std::initializer_list<ListaHoja> listas) {
        const QList<QStringList> &marcas = esperado.value(H().Texto(22));
        ASSERT_FALSE(marcas.isEmpty()) << H().Texto(22).toStdString();
        for (ListaHoja l : listas) {
            QListWidget *lista = ventana->Lista(l);
            EXPECT_EQ(MarcasEnPantalla(lista), MarcasEnPantalla(lista, marcas[int(l)], true))
                << "botón " << boton << ", " << lista->objectName().toStdString();
        }
    };
    for (int boton : {1, 3, 2, 4, 2}) {
        H().PonPagina(0);
        QTest::qWait(20);
        Pulsa(boton);
        QTest::qWait(20);
        revisa(boton, {ListaHoja::Derechohabiencia, ListaHoja::TipoViolencia, ListaHoja::PacienteEfectos});
        H().PonPagina(1);
        QTest::qWait(20);
        revisa(boton, {ListaHoja::AgresorEfectos, ListaHoja::TipoAtencion});
    }
}

// A save that shows another event's ticks paints each list of the page once:
// no second pass for the list laid out again after its first paint.
TEST_F(Ventana, LasMarcasDelEventoLeidoPintanCadaListaUnaSolaVez)
{
    CapturaSegundo([](DatosEvento &otro) { otro.marcados[ListaHoja::PacienteEfectos] = QStringList({"2"}); });
    QTest::qWait(50);   // the typed event painted
    struct Pinturas : QObject {
        QMap<QString, int> cuenta;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                ++cuenta[o->parent()->objectName()];
            return false;
        }
    } pinturas;
    const ListaHoja enLaPagina[] = {ListaHoja::Derechohabiencia, ListaHoja::TipoViolencia, ListaHoja::PacienteEfectos};
    for (ListaHoja l : enLaPagina)
        ventana->Lista(l)->viewport()->installEventFilter(&pinturas);
    Guarda();
    QTest::qWait(50);
    ASSERT_EQ(H().Texto(22), "00000123");
    EXPECT_EQ(H().CodigosMarcados(ListaHoja::PacienteEfectos), QStringList({"5"}));
    QListWidget *efectos = ventana->Lista(ListaHoja::PacienteEfectos);
    EXPECT_EQ(efectos->findItems("5 ", Qt::MatchStartsWith).value(0)->checkState(), Qt::Checked);
    EXPECT_EQ(efectos->findItems("2 ", Qt::MatchStartsWith).value(0)->checkState(), Qt::Unchecked);
    for (ListaHoja l : enLaPagina)
        EXPECT_EQ(pinturas.cuenta.value(ventana->Lista(l)->objectName()), 1) << ventana->Lista(l)->objectName().toStdString();
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
    boton(ventana->cmdModificaAfec(), "S005");
    EXPECT_EQ(codigos() << QString::number(rejilla->currentRow()) << H().Texto(76), QStringList({"S009", "S005", "0", "S009"}));
    QTest::mouseClick(ventana->cmdBorraAfec(), Qt::LeftButton);
    EXPECT_EQ(codigos(), QStringList({"S005"}));
}

// An edited event whose unit has left the catalog: "Grabar" sends the clerk to
// the CLUES, which now takes a new one, and the save moves the event there.
TEST_F(Ventana, UnaUnidadQueSalioDelCatalogoSeCorrigeYElEventoSeMueve)
{
    Abre();
    Captura();
    Guarda();
    prog.Ejecuta("DELETE FROM CATCLUES WHERE CLUES = 'DFSSA000012'");
    Pulsa(6);
    Msj().Limpia();
    Pulsa(8);
    EXPECT_EQ(Msj().Ultimo(), "La clave CLUES no es correcta, verifique por favor.....");
    ASSERT_TRUE(Foco() == Txt(23) && !Txt(23)->isReadOnly());
    QTest::keyClick(Txt(23), Qt::Key_Home);
    QTest::keyClick(Txt(23), Qt::Key_End, Qt::ShiftModifier);
    Teclea(Txt(23), "dfssa000024");
    Msj().Limpia();
    Pulsa(8);
    EXPECT_TRUE(Msj().cajas.isEmpty() && !H().EnCambio) << Msj().Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT Clues, Folio FROM D_EVENTO UNION ALL SELECT CLUES, count(*) FROM D_Diagnosticos GROUP BY CLUES"),
              QStringList({"DFSSA000024|123", "DFSSA000024|2"}));
    EXPECT_EQ(Txt(23)->text() + ventana->windowTitle(), "DFSSA000024" + TituloEsperado(1, 1, 1));
}

// Every way out of a capture in progress asks the Esc question; No keeps the
// capture and the window, Yes cancels it and closes.
TEST_F(Ventana, CerrarDuranteUnaCapturaPreguntaPorCualquierCamino)
{
    const struct {
        const char *camino;
        std::function<void(mdiPrincipal &, QMdiSubWindow *)> cierra;
        bool cierraElPrograma;
    } caminos[] = {
        {"cuadro de cierre", [](mdiPrincipal &, QMdiSubWindow *sub) { sub->close(); }, false},
        {"Estado y Año", [this](mdiPrincipal &p, QMdiSubWindow *) {
             // The start-parameter window shows only once the sheet has gone; it is cancelled.
             QTimer::singleShot(0, [&p] {
                 if (QWidget *w = QApplication::activeModalWidget()) {
                     EXPECT_TRUE(p.Area()->subWindowList().isEmpty());
                     w->close();
                 }
             });
             EXPECT_TRUE(MuestraParamInicio(*prog.ctx, &p, false));
         }, false},
        {"Salir", [](mdiPrincipal &p, QMdiSubWindow *) { p.Item("mnuArch", 10)->trigger(); }, true},
    };
    for (const auto &c : caminos) {
        SCOPED_TRACE(c.camino);
        mdiPrincipal principal(*prog.ctx);
        principal.show();
        principal.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&principal));
        frmRegistro *hoja = AbreHojaRegistro(*prog.ctx, *principal.Area());
        QTest::mouseClick(hoja->tbrDatos()->widgetForAction(hoja->tbrDatos()->Boton(5)), Qt::LeftButton);
        Teclea(Foco(), "123");
        for (bool si : {false, true}) {
            Msj().Limpia();
            Msj().Responde(si);
            c.cierra(principal, principal.Area()->subWindowList().value(0));
            Espera();
            EXPECT_EQ(QString::number(Msj().cajas.size()) + Msj().Ultimo(), "1Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?");
            EXPECT_EQ(QString::number(principal.Area()->subWindowList().size()) + QString::number(principal.isVisible()), si ? (c.cierraElPrograma ? "00" : "01") : "11");
            EXPECT_TRUE(si || (hoja->Hoja().EnAlta && hoja->Hoja().Texto(22) == "123"));
        }
    }
}

// Another program (a plain SQLite process of its own) holds the database's
// write lock while an event is being changed: each button of the diagnosis
// list answers at once, without waiting for the lock at all, with a beep and
// no box; it writes nothing, the grid stays on the row chosen and the entry
// field keeps the code typed. Once the lock is released the same press goes in.
TEST_F(Ventana, LaListaDeDiagnosticosNoEsperaAlOtroProgramaYConservaLoTecleado)
{
    Abre();
    Captura();
    Guarda();
    Pulsa(6);   // "Cambios" of the event saved, diagnoses S001 and S008
    QTableWidget *rejilla = ventana->grdAfecciones();
    auto codigos = [rejilla] {
        QStringList c;
        for (int f = 0; f < rejilla->rowCount(); ++f)
            c << rejilla->item(f, 1)->text();
        return c.join(',');
    };
    auto escritas = [this] {
        return prog.Filas("SELECT NUMAFEC || ':' || AFECCION FROM TMPGRIDAFEC ORDER BY rowid")
               + prog.Filas("SELECT Orden || ':' || CodDiagnostico FROM D_Diagnosticos ORDER BY Orden");
    };
    // Chooses the grid's row, types the code into the entry field and clicks the button.
    auto pulsa = [&](QPushButton *boton, int fila, const char *codigo) {
        H().PonPagina(1);
        rejilla->setCurrentCell(fila, 1);
        Txt(76)->setFocus();
        Txt(76)->selectAll();
        Teclea(Txt(76), codigo);
        Msj().Limpia();
        QTest::mouseClick(boton, Qt::LeftButton);
        Espera();
    };
    ASSERT_EQ(codigos(), "S001,S008");
    const QStringList antes = escritas();
    ASSERT_EQ(antes, QStringList({"1:S001", "2:S008", "1:S001", "2:S008"}));
    {
        BloqueoAjeno otro(prog.ctx->ArchivoBD, 60);
        ASSERT_TRUE(otro.Tomado());
        const struct {
            const char *nombre;
            QPushButton *boton;
            const char *codigo;
        } botones[] = {{"Agregar", ventana->cmdAgregaAfec(), "t009"},
                       {"Modificar", ventana->cmdModificaAfec(), "t009"},
                       {"Borrar", ventana->cmdBorraAfec(), "s008"}};
        for (const auto &b : botones) {
            SCOPED_TRACE(b.nombre);
            const qint64 esperado = EsperaAcotada::TotalEsperado();
            pulsa(b.boton, 1, b.codigo);
            EXPECT_EQ(EsperaAcotada::TotalEsperado() - esperado, 0) << "esperó al otro programa";
            EXPECT_EQ(Msj().beeps, 1);
            EXPECT_TRUE(Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
            const QString tecleado = QString::fromLatin1(b.codigo).toUpper();
            EXPECT_EQ(Txt(76)->text(), tecleado);
            EXPECT_EQ(H().Texto(76), tecleado);
            EXPECT_EQ(codigos(), "S001,S008");
            EXPECT_EQ(rejilla->currentRow(), 1);
            EXPECT_EQ(escritas(), antes);
        }
    }
    pulsa(ventana->cmdAgregaAfec(), 1, "t009");
    EXPECT_EQ(QString::number(Msj().beeps) + ' ' + codigos(), "0 S001,S008,T009");
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Msj().Ultimo().toStdString();
}

} // namespace
