// The whole program once, as a clerk drives it: the real main window with the
// real wiring on a fresh program folder, by keys, mouse clicks on the toolbar
// and the menus' shortcuts: login, the capture sheet (Ctrl+H), an event added
// and saved (Ctrl+G), the sheet filtered and the filter removed, one report,
// the log, and Salir. The windows' own tests cover each window in depth.
#include "app/Arranque.h"
#include "app/Conexiones.h"
#include "capture/frmRegistro.h"
#include "comun/HojaEnBase.h"
#include "comun/Teclado.h"
#include "platform/InstanciaUnica.h"
#include "queries/PanelCriterio.h"
#include "queries/frmQuery.h"
#include "reports/frmReportes.h"
#include "shell/BarraDatos.h"
#include "shell/frmInicio.h"
#include "shell/mdiPrincipal.h"
#include "tools/Envio.h"
#include "tools/frmBitacora.h"
#include "tools/frmRecive.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Once the next modal window runs, `paso` acts on it; `visto` says it ran.
// A window that a failed step leaves open is closed after a while, so that
// the test fails instead of waiting for ever.
void AlAbrirModal(bool &visto, const std::function<void(QWidget *)> &paso)
{
    visto = false;
    auto *espera = new QTimer;
    QObject::connect(espera, &QTimer::timeout, [espera, &visto, paso] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            espera->deleteLater();
            espera->stop();
            QTimer::singleShot(20000, modal, [modal] { modal->close(); });
            modal->activateWindow();
            paso(modal);
            visto = true;
        }
    });
    espera->start(5);
}

void Tecla(QWidget *w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QTest::keyClick(w, k, m);
    QApplication::processEvents();
}

// The offscreen platform does not hand the activation back to the main
// window when a popup or a modal window closes, as a desktop does.
bool Activa(QWidget &principal)
{
    principal.activateWindow();
    return QTest::qWaitForWindowActive(&principal);
}

// A toolbar button as the mouse presses it.
void Pulsa(BarraDatos *barra, int posicion)
{
    QTest::mouseClick(barra->widgetForAction(barra->Boton(posicion)), Qt::LeftButton);
    QApplication::processEvents();
}

// The n-th item of the sheet's "Buscar" drop-down, chosen with the arrows.
void EligeEnBuscar(frmRegistro &hoja, int n)
{
    QMenu *menu = hoja.MenuBuscar();
    menu->popup(hoja.mapToGlobal(QPoint(0, 0)));
    for (int i = 0; i < n; ++i)
        Tecla(menu, Qt::Key_Down);
    Tecla(menu, Qt::Key_Return);
}

QString Titulo(int posicion, int cuenta, int hoy)
{
    return TituloHoja + QStringLiteral(". Registro: %1 de %2     Capturados en el día: %3").arg(posicion).arg(cuenta).arg(hoy);
}

// Every text on the pages of a report.
QStringList Textos(const DocumentoReporte &doc)
{
    QStringList textos;
    for (int i = 0; i < doc.Paginas(); ++i)
        for (const ElementoPagina &e : doc.Pagina(i).elementos)
            if (e.tipo == ElementoPagina::Tipo::Texto)
                textos << e.texto;
    return textos;
}

TEST(Recorrido, DelLoginALaSalidaConLasTeclasDeUnCapturista)
{
    ProgramaTemporal p;
    QDir(p.Carpeta()).mkpath("Reportes");
    const QDir reportes(QStringLiteral(VELMORAN_REPORTES));
    for (const QString &f : reportes.entryList(QDir::Files))
        QFile::copy(reportes.filePath(f), QDir(p.Carpeta()).filePath("Reportes/" + f));
    p.CreaBase();
    QTemporaryDir candados;
    InstanciaUnica instancia(candados.path());
    PreparaAplicacion();
    mdiPrincipal principal(*p.ctx);
    VentanasReales ventanas(*p.ctx, principal);
    ConectaSubsistemas(*p.ctx, principal);
    MensajesFalsos &msj = p.mensajes;
    bool visto = false;

    // Login: the access word typed in lower case; the full user box hands
    // the focus to the password by itself; Enter.
    AlAbrirModal(visto, [](QWidget *w) {
        auto *login = qobject_cast<frmInicio *>(w);
        ASSERT_NE(login, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(login));
        ASSERT_EQ(QApplication::focusWidget(), login->txtUserName);
        Teclea(QApplication::focusWidget(), "mirto");
        ASSERT_EQ(QApplication::focusWidget(), login->txtPassword);
        Teclea(QApplication::focusWidget(), "mirto");
        Tecla(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(Main(*p.ctx, instancia, principal, ventanas, QSize(1024, 768)));
    ASSERT_TRUE(visto);
    EXPECT_EQ(principal.Panel(1)->text(), "Bienvenidos al Sistema VELMORAN");
    ASSERT_TRUE(Activa(principal));
    // An event of another day already stored.
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', 7, '2004-03-01', 'RUIZ', '2004-03-02')");

    // Ctrl+H opens the sheet; "Altas", the event, Ctrl+G, and No to going on.
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    ASSERT_NE(principal.Area()->activeSubWindow(), nullptr);
    auto *hoja = qobject_cast<frmRegistro *>(principal.Area()->activeSubWindow()->widget());
    ASSERT_NE(hoja, nullptr);
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 1, 0));
    // Pictures of the windows for a person to look at: VELMORAN_CAPTURAS=<folder> under xvfb-run.
    if (const QString carpeta = qEnvironmentVariable("VELMORAN_CAPTURAS"); !carpeta.isEmpty())
        for (int pagina : {1, 0}) {
            hoja->Hoja().PonPagina(pagina);
            QApplication::processEvents();
            EXPECT_TRUE(hoja->grab().save(QStringLiteral("%1/hoja%2.png").arg(carpeta).arg(pagina + 1)));
        }
    Pulsa(hoja->tbrDatos(), 5);
    ASSERT_TRUE(hoja->Hoja().EnAlta);
    const DatosEvento d = EventoValido();
    Captura(hoja->Registro(), d);
    msj.Responde(false);
    CtrlG(QApplication::focusWidget());
    QApplication::processEvents();
    EXPECT_EQ(msj.cajas.size() == 1 ? msj.Ultimo() : QString(), "Registro Guardado, ¿Continuar Captura?") << msj.Ultimo().toStdString();
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 2, 1));
    EXPECT_EQ(p.Filas("SELECT Clues, Folio, fechaAtencion, Paterno, FechaCaptura FROM D_EVENTO ORDER BY Folio"),
              QStringList({"DFSSA000012|7|2004-03-01|RUIZ|2004-03-02", "DFSSA000012|123|2004-06-15|PEREZ|2026-12-06"}));
    EXPECT_EQ(p.Cuenta("D_Diagnosticos"), d.diagnosticos.size());

    // Buscar, Filtrar: the criterion typed, Ejecutar by the space bar.
    AlAbrirModal(visto, [](QWidget *w) {
        auto *filtro = qobject_cast<frmQuery *>(w);
        ASSERT_NE(filtro, nullptr);
        QPlainTextEdit *criterio = filtro->Panel()->txtCriteria;
        criterio->setFocus();
        Teclea(criterio, "E.Paterno = 'ruiz'");
        filtro->cmdRunQuery()->setFocus();
        Tecla(filtro->cmdRunQuery(), Qt::Key_Space);
    });
    EligeEnBuscar(*hoja, 1);
    ASSERT_TRUE(visto);
    EXPECT_EQ(hoja->windowTitle() + hoja->txtDatos(29)->text(), Titulo(1, 1, 1) + "RUIZ");
    EligeEnBuscar(*hoja, 2);   // "Quitar Filtro"
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 2, 1));
    Pulsa(hoja->tbrDatos(), 13);   // "Cerrar"
    EXPECT_TRUE(principal.Area()->subWindowList().isEmpty());

    // Alt+R, one report for the whole year, taken from the window.
    std::optional<DocumentoReporte> reporte;
    AlAbrirModal(visto, [&reporte](QWidget *w) {
        auto *ventana = qobject_cast<frmReportes *>(w);
        ASSERT_NE(ventana, nullptr);
        EXPECT_EQ(ventana->windowTitle(), "Reportes VELMORAN");
        ventana->Generador().Muestra = [&reporte](const DocumentoReporte &doc) { reporte = doc; };
        ventana->cmbReporte->setFocus();
        const int elegido = ventana->cmbReporte->findText("Intencionalidad por Sitio de Ocurrencia");
        while (ventana->cmbReporte->currentIndex() < elegido)
            Tecla(ventana->cmbReporte, Qt::Key_Down);
        ventana->cmdGenerarReporte->setFocus();
        Tecla(ventana->cmdGenerarReporte, Qt::Key_Space);
        Tecla(ventana, Qt::Key_Escape);
    });
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(visto);
    ASSERT_TRUE(reporte.has_value()) << msj.Ultimo().toStdString();
    EXPECT_TRUE(reporte->titulo == "Intencionalidad por Sitio de Ocurrencia" && reporte->Paginas() == 1);
    const QStringList textos = Textos(*reporte);
    EXPECT_TRUE(textos.contains("INFORMACIÓN DE   01/03/2004   A   15/06/2004")) << textos.join(" | ").toStdString();
    EXPECT_EQ(textos.mid(textos.size() - 8), QStringList({"TOTAL", "0", "1", "0", "0", "0", "0", "1"}));

    // Herramientas, Bitácora: nothing logged yet; Cerrar.
    AlAbrirModal(visto, [](QWidget *w) {
        auto *bitacora = qobject_cast<frmBitacora *>(w);
        ASSERT_NE(bitacora, nullptr);
        for (QTableView *grid : {bitacora->grdRespaldos, bitacora->grdEnvios, bitacora->grdRecepciones})
            EXPECT_EQ(grid->model()->rowCount(), 0);
        bitacora->cmdCerrar->setFocus();
        Tecla(bitacora->cmdCerrar, Qt::Key_Space);
    });
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_H, Qt::AltModifier);
    for (int i = 0; i < 2; ++i)   // "Compactar y Restaurar &Base de Datos" shares the B
        Tecla(QApplication::activePopupWidget(), Qt::Key_B);
    Tecla(QApplication::activePopupWidget(), Qt::Key_Return);
    ASSERT_TRUE(visto);

    // Archivo, Salir: the main window closes and the database with it.
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_A, Qt::AltModifier);
    Tecla(QApplication::activePopupWidget(), Qt::Key_S);
    EXPECT_FALSE(principal.isVisible() || p.ctx->ConexionBD.EstaAbierta() || msj.cajas.size() != 1) << msj.Ultimo().toStdString();
}

// A reception through the menu, with the capture sheet open on its first
// event, a filter of its own, and then with a capture in progress: the sheet
// counts the received events and keeps the filter and what was typed.
TEST(Recorrido, LaHojaAbiertaSigueLaRecepcion)
{
    ProgramaTemporal origen, p;
    origen.AbreBase();
    p.AbreBase();
    const auto inserta = [](ProgramaTemporal &prog, const QString &paterno, int desde, int hasta) {
        for (int folio = desde; folio <= hasta; ++folio)
            prog.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                         "VALUES ('DFSSA000012', ?, '2004-03-01', ?, '2004-03-02')", {folio, paterno});
    };
    inserta(p, "LOCAL", 1, 3);
    inserta(origen, "RECIBIDO", 11, 15);
    QTemporaryDir dir;
    Envio envio(*origen.ctx);
    Envio::Seleccion s;
    s.eventos = true;
    const QString zip = QDir(dir.path()).filePath(envio.PaqueteEnvio);
    ASSERT_TRUE(envio.GeneraEnvio(s, zip)) << origen.mensajes.Ultimo().toStdString();

    mdiPrincipal principal(*p.ctx);
    ConectaSubsistemas(*p.ctx, principal);
    principal.show();
    frmRegistro *hoja = AbreHojaRegistro(*p.ctx, *principal.Area());
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 3, 0));
    const auto recibe = [&] {
        bool visto = false;
        AlAbrirModal(visto, [&zip](QWidget *w) {
            auto *recepcion = qobject_cast<frmRecive *>(w);
            ASSERT_NE(recepcion, nullptr);
            recepcion->PideArchivo = [&zip](const QString &) { return zip; };
            recepcion->cmdRuta->click();
            ASSERT_TRUE(recepcion->chkEventos->isChecked());
            recepcion->cmdAceptar->click();
            w->close();
        });
        principal.Item("mnuHerra", 4)->trigger();
        EXPECT_TRUE(visto);
    };
    recibe();
    EXPECT_EQ(hoja->windowTitle() + hoja->txtDatos(29)->text(), Titulo(1, 8, 0) + "LOCAL");

    // A filter on the received events, a new event begun: both stay.
    const ConsultaSQL recibidos{"Select * from D_Evento Where Paterno = ?", {"RECIBIDO"}};
    hoja->Registro().eventos.CargaEventos(recibidos);
    p.Ejecuta("DELETE FROM D_EVENTO WHERE Folio = 15");
    hoja->tbrDatos()->Boton(5)->trigger();
    hoja->Hoja().PonTexto(29, "TECLEADO");
    recibe();
    EXPECT_TRUE(hoja->Hoja().EnAlta);
    EXPECT_EQ(hoja->windowTitle() + hoja->txtDatos(29)->text(), Titulo(5, 5, 0) + "TECLEADO");
    hoja->tbrDatos()->Boton(9)->trigger();
    EXPECT_EQ(hoja->txtDatos(29)->text(), "RECIBIDO");
}

} // namespace
