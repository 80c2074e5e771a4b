// The whole program once, as a clerk drives it: the real main window with the
// real wiring on a fresh program folder, by keys, mouse clicks on the toolbar
// and the menus' shortcuts: login, the capture sheet (Ctrl+H), an event added
// and saved (Ctrl+G), the sheet filtered, a reception while a new event is
// typed under the filter, the filter removed, one report, and Salir. The
// windows' own tests cover each window in depth. After it, the same window
// where a tool closes and opens the database under a capture.
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
#include "tools/frmRecive.h"
#include "tools/frmRespaldarBase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
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
void Pulsa(frmRegistro *hoja, int posicion)
{
    QTest::mouseClick(hoja->tbrDatos()->widgetForAction(hoja->tbrDatos()->Boton(posicion)), Qt::LeftButton);
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

// Ctrl+H: the capture sheet of the main window.
frmRegistro *AbreHoja(mdiPrincipal &principal)
{
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    return principal.Area()->findChild<frmRegistro *>();
}

// The sheet opened, "Altas", the valid event, Ctrl+G, and No to going on.
frmRegistro *CapturaYGraba(mdiPrincipal &principal, MensajesFalsos &msj)
{
    frmRegistro *hoja = AbreHoja(principal);
    if (!hoja)
        return nullptr;
    Pulsa(hoja, 5);
    Captura(hoja->Registro(), EventoValido());
    msj.Responde(false);
    CtrlG(QApplication::focusWidget());
    QApplication::processEvents();
    return hoja;
}

// An event of another day, as stored before or received.
void OtroEvento(ProgramaTemporal &p, int folio)
{
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
              "VALUES ('DFSSA000012', ?, '2004-03-01', 'RUIZ', '2004-03-02')", {folio});
}

TEST(Recorrido, DelLoginALaSalidaConLasTeclasDeUnCapturista)
{
    ProgramaTemporal p;
    QFile::link(VELMORAN_REPORTES, p.Carpeta() + "/Reportes");
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
        Teclea(QApplication::focusWidget(), "mirto");
        Teclea(QApplication::focusWidget(), "mirto");
        Tecla(QApplication::focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(Main(*p.ctx, instancia, principal, ventanas, QSize(1024, 768)) && visto);
    ASSERT_TRUE(Activa(principal));
    OtroEvento(p, 7);

    // Ctrl+H opens the sheet; "Altas", the event, Ctrl+G, and No to going on.
    frmRegistro *hoja = CapturaYGraba(principal, msj);
    ASSERT_NE(hoja, nullptr);
    EXPECT_EQ(msj.cajas.size() == 1 ? msj.Ultimo() : QString(), "Registro Guardado, ¿Continuar Captura?") << msj.Ultimo().toStdString();
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 2, 1));

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

    // Herramientas, Recepción, which merges one more event of the filter's:
    // the sheet counts it and keeps the filter, the event shown and, when a
    // new event is begun, what was typed.
    const auto recibe = [&](int folio) {
        AlAbrirModal(visto, [&p, folio](QWidget *w) {
            ASSERT_NE(qobject_cast<frmRecive *>(w), nullptr);
            OtroEvento(p, folio);
            Tecla(w, Qt::Key_Escape);
        });
        ASSERT_TRUE(Activa(principal));
        Tecla(&principal, Qt::Key_H, Qt::AltModifier);
        Tecla(QApplication::activePopupWidget(), Qt::Key_C);   // "Re&cepción", before "Tabla &Completa"
        Tecla(QApplication::activePopupWidget(), Qt::Key_Return);
        ASSERT_TRUE(visto);
    };
    recibe(8);
    EXPECT_EQ(hoja->windowTitle() + hoja->txtDatos(29)->text(), Titulo(1, 2, 1) + "RUIZ");
    Pulsa(hoja, 5);
    hoja->Hoja().PonTexto(29, "TECLEADO");
    recibe(9);
    EXPECT_TRUE(hoja->Hoja().EnAlta);
    // The caption still names the event shown when the new one was begun.
    EXPECT_EQ(hoja->windowTitle() + hoja->txtDatos(29)->text(), Titulo(1, 3, 1) + "TECLEADO");
    Pulsa(hoja, 9);   // "Deshacer"
    EligeEnBuscar(*hoja, 2);   // "Quitar Filtro"
    EXPECT_EQ(hoja->windowTitle(), Titulo(1, 4, 1));
    Pulsa(hoja, 13);   // "Cerrar"

    // Alt+R, one report for the whole year, taken from the window.
    std::optional<DocumentoReporte> reporte;
    AlAbrirModal(visto, [&reporte](QWidget *w) {
        auto *ventana = qobject_cast<frmReportes *>(w);
        ASSERT_NE(ventana, nullptr);
        ventana->Generador().Muestra = [&reporte](const DocumentoReporte &doc) { reporte = doc; };
        ventana->cmbReporte->setFocus();
        Tecla(ventana->cmbReporte, Qt::Key_Down);   // "Agente de Lesión por Intencionalidad"
        ventana->cmdGenerarReporte->setFocus();
        Tecla(ventana->cmdGenerarReporte, Qt::Key_Space);
        Tecla(ventana, Qt::Key_Escape);
    });
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(visto && reporte.has_value()) << msj.Ultimo().toStdString();
    QStringList textos;
    for (const ElementoPagina &e : reporte->Pagina(0).elementos)
        textos << e.texto;
    // The year's events run from the stored and received ones to the one typed.
    EXPECT_TRUE(textos.contains("INFORMACIÓN DE   01/03/2004   A   15/06/2004")) << textos.join(" | ").toStdString();

    // Archivo, Salir: the main window closes and the database with it.
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_A, Qt::AltModifier);
    Tecla(QApplication::activePopupWidget(), Qt::Key_S);
    EXPECT_FALSE(principal.isVisible() || p.ctx->ConexionBD.EstaAbierta() || msj.cajas.size() != 1) << msj.Ultimo().toStdString();
}

// "Hoja de Atención…" (Ctrl+H) on the open sheet loads it again on every
// event: first event, first page, browsing, no filter. A capture in progress
// goes only when the user answers Yes to the question of closing the sheet.
TEST(Recorrido, CtrlHConLaHojaAbiertaLaCargaDeNuevoSinFiltro)
{
    ProgramaTemporal p;
    p.AbreBase();
    for (int folio : {1, 2, 3})
        OtroEvento(p, folio);
    p.Ejecuta("UPDATE D_EVENTO SET Paterno = 'PEREZ' WHERE Folio = 2");
    PreparaAplicacion();
    mdiPrincipal principal(*p.ctx);
    ConectaSubsistemas(*p.ctx, principal);
    principal.resize(1024, 768);
    principal.show();
    ASSERT_TRUE(Activa(principal));
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    auto *hoja = principal.Area()->findChild<frmRegistro *>();
    ASSERT_NE(hoja, nullptr);
    HojaRegistro &reg = hoja->Registro();
    const auto estado = [&] {
        return QStringList{hoja->windowTitle(), hoja->txtDatos(22)->text(), QString::number(hoja->SSTab1()->currentIndex()),
                           QString::number(reg.vida.ModoBarra()), hoja->txtDatos(29)->isEnabled() ? "abierta" : "cerrada",
                           reg.eventos.ConsultaEventos.sql, reg.vida.FiltroEventos};
    };
    const QStringList recargada = {Titulo(1, 3, 0), "00000001", "0", "2", "cerrada", "Select * from D_Evento", ""};
    EXPECT_EQ(estado(), recargada);

    // A filter in force, on its second event, on the second page.
    reg.eventos.ConsultaEventos = {"SELECT * FROM D_EVENTO WHERE Paterno = ?", {"RUIZ"}};
    reg.eventos.CargaEventos(reg.eventos.ConsultaEventos);
    reg.vida.FiltroEventos = "E.Paterno = 'RUIZ'";
    Pulsa(hoja, 3);
    hoja->Hoja().PonPagina(1);
    ASSERT_EQ(estado().mid(0, 3), QStringList({Titulo(2, 2, 0), "00000003", "1"}));
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(estado(), recargada);
    EXPECT_TRUE(p.mensajes.cajas.isEmpty()) << p.mensajes.Ultimo().toStdString();

    // A new event begun: No keeps it as typed, Yes gives it up and reloads.
    Pulsa(hoja, 3);
    Pulsa(hoja, 5);
    hoja->Hoja().PonTexto(29, "TECLEADO");
    p.mensajes.Limpia();
    p.mensajes.Responde(false);
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    const MensajesFalsos::Caja pregunta = p.mensajes.cajas[0];
    EXPECT_TRUE(pregunta.pregunta && pregunta.icono == Mensajes::Icono::Pregunta && pregunta.titulo == TituloHoja);
    EXPECT_EQ(pregunta.texto, "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?");
    EXPECT_TRUE(reg.hoja.EnAlta);
    EXPECT_EQ(QStringList({hoja->txtDatos(29)->text(), QString::number(reg.vida.ModoBarra())}), QStringList({"TECLEADO", "1"}));
    p.mensajes.Responde(true);
    Tecla(&principal, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(p.mensajes.cajas.size(), 2);
    EXPECT_FALSE(reg.hoja.EnAlta);
    EXPECT_EQ(estado(), recargada);
    EXPECT_EQ(p.Cuenta("D_EVENTO"), 3);
    EXPECT_EQ(principal.Area()->subWindowList().size(), 1);
}

// The real main window with the real wiring, active, on a working database
// already open (start-up and login are the walk's above).
class ProgramaAbierto : public ::testing::Test {
protected:
    void SetUp() override
    {
        p.AbreBase();
        PreparaAplicacion();
        principal = std::make_unique<mdiPrincipal>(*p.ctx);
        ConectaSubsistemas(*p.ctx, *principal);
        principal->show();
        ASSERT_TRUE(Activa(*principal));
    }

    ProgramaTemporal p;
    MensajesFalsos &msj = p.mensajes;
    std::unique_ptr<mdiPrincipal> principal;
};

// The codes the window's diagnosis grid shows, in its order.
QStringList CodigosDelGrid(frmRegistro *hoja)
{
    QStringList codigos;
    for (int f = 0; f < hoja->grdAfecciones()->rowCount(); ++f)
        codigos << hoja->grdAfecciones()->item(f, 1)->text();
    return codigos;
}

} // namespace

// An event edited with "Cambios" while a tool closes and opens the database
// again (the compaction, the backup that begins with it): the sheet asks
// before it closes rather than drop what was typed; kept, the capture
// is saved whole, its diagnoses included; given up, the stored event stays as
// it was. Either way the grid shows what the work table holds.
TEST_F(ProgramaAbierto, CompactarPreguntaAntesDeCerrarUnaCapturaYLaConservadaSeGuardaEntera)
{
    bool visto = false;

    frmRegistro *hoja = CapturaYGraba(*principal, msj);
    ASSERT_NE(hoja, nullptr);
    ASSERT_EQ(p.Filas("SELECT CodDiagnostico, Orden FROM D_Diagnosticos ORDER BY Orden"), QStringList({"S001|1", "S008|2"}));
    QString paterno = p.Valor("SELECT Paterno FROM D_EVENTO").toString();

    const std::pair<const char *, std::function<void()>> herramientas[] = {
        {"compactar", [&] { principal->Item("mnuHerra", 1)->trigger(); }},
        {"respaldar", [&] {
             AlAbrirModal(visto, [](QWidget *w) {
                 auto *ventana = qobject_cast<frmRespaldarBase *>(w);
                 ASSERT_NE(ventana, nullptr);
                 ventana->cmdAceptar->click();
             });
             principal->Item("mnuHerra", 0)->trigger();
             ASSERT_TRUE(visto);
         }},
    };
    for (const auto &[nombre, herramienta] : herramientas)
        for (bool termina : {false, true}) {
            SCOPED_TRACE(std::string(nombre) + (termina ? ", Sí" : ", No"));
            if (!hoja)
                hoja = AbreHoja(*principal);
            ASSERT_NE(hoja, nullptr);
            ASSERT_TRUE(Activa(*principal));
            Pulsa(hoja, 6);   // "Cambios"
            ASSERT_TRUE(hoja->Hoja().EnCambio);
            hoja->Hoja().PonTexto(29, QStringLiteral("CAMBIO %1%2").arg(nombre).arg(termina));
            msj.Limpia();
            msj.Responde(termina);   // "¿Desea terminar esta operación?"
            herramienta();
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ASSERT_TRUE(p.ctx->ConexionBD.EstaAbierta());
            ASSERT_EQ(msj.cajas.value(0).texto, "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?");
            if (termina) {
                EXPECT_TRUE(principal->Area()->subWindowList().isEmpty());
                hoja = nullptr;
            } else {
                ASSERT_EQ(principal->Area()->subWindowList().size(), 1);
                EXPECT_TRUE(hoja->Hoja().EnCambio);
                EXPECT_EQ(CodigosDelGrid(hoja), QStringList({"S001", "S008"}));
                EXPECT_EQ(ExisteTabla(p.bd(), "TMPGRIDAFEC") ? p.Filas("SELECT AFECCION FROM TMPGRIDAFEC") : QStringList(),
                          QStringList({"S001", "S008"}));
                msj.Limpia();
                ASSERT_TRUE(Activa(*principal));
                hoja->txtDatos(29)->setFocus();
                CtrlG(QApplication::focusWidget());
                QApplication::processEvents();
                EXPECT_TRUE(msj.cajas.isEmpty()) << msj.Ultimo().toStdString();
                EXPECT_FALSE(hoja->Hoja().EnCambio);
            }
            EXPECT_EQ(p.Filas("SELECT CodDiagnostico, Orden FROM D_Diagnosticos ORDER BY Orden"), QStringList({"S001|1", "S008|2"}));
            EXPECT_EQ(p.Valor("SELECT Paterno FROM D_EVENTO").toString(),
                      termina ? paterno : QStringLiteral("CAMBIO %1%2").arg(nombre).arg(termina));
            if (!termina)
                paterno = p.Valor("SELECT Paterno FROM D_EVENTO").toString();
        }
    EXPECT_EQ(p.Filas("PRAGMA integrity_check") + p.Filas("SELECT count(*) FROM D_EVENTO"), QStringList({"ok", "1"}));
}

// The compaction under a capture the user keeps, a new event or an edited
// one: the caption names the event it named before, with the same count.
TEST_F(ProgramaAbierto, CompactarConUnaCapturaConservadaDejaElTituloEnSuEvento)
{
    for (int folio = 1; folio <= 3; ++folio)
        OtroEvento(p, folio);
    frmRegistro *hoja = AbreHoja(*principal);
    ASSERT_NE(hoja, nullptr);
    const struct {
        const char *captura;
        int boton;
        QString titulo;
    } casos[] = {{"Altas", 5, Titulo(1, 3, 0)}, {"Cambios del segundo", 6, Titulo(2, 3, 0)}};
    for (const auto &c : casos) {
        ASSERT_TRUE(Activa(*principal));
        Pulsa(hoja, 1);   // "Primero"
        if (c.boton == 6)
            Pulsa(hoja, 3);   // "Siguiente"
        Pulsa(hoja, c.boton);
        ASSERT_TRUE(hoja->Hoja().EnAlta || hoja->Hoja().EnCambio) << c.captura;
        ASSERT_EQ(hoja->windowTitle(), c.titulo) << c.captura;
        msj.Limpia();
        msj.Responde(false);   // the capture is kept
        principal->Item("mnuHerra", 1)->trigger();
        QApplication::processEvents();
        ASSERT_EQ(msj.Titulos().value(0), TituloHoja) << c.captura;
        EXPECT_TRUE(hoja->Hoja().EnAlta || hoja->Hoja().EnCambio) << c.captura;
        EXPECT_EQ(hoja->windowTitle(), c.titulo) << c.captura;
        Pulsa(hoja, 9);   // "Cancelar"
    }
}

// The compaction with a capture the user keeps: the sheet stays, every other
// child window closes, also those below the sheet.
TEST_F(ProgramaAbierto, CompactarConUnaCapturaConservadaCierraLasDemasVentanas)
{
    frmRegistro *hoja = CapturaYGraba(*principal, msj);
    ASSERT_NE(hoja, nullptr);
    for (int catalogo : {0, 1, 5})
        principal->Item("mnuCat", catalogo)->trigger();
    QApplication::processEvents();
    ASSERT_EQ(principal->Area()->subWindowList().size(), 4);
    // The sheet on top: it is the first asked.
    principal->Area()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(hoja->parentWidget()));
    ASSERT_EQ(principal->Area()->subWindowList(QMdiArea::StackingOrder).last()->widget(), hoja);
    ASSERT_TRUE(Activa(*principal));
    Pulsa(hoja, 6);   // "Cambios"
    ASSERT_TRUE(hoja->Hoja().EnCambio);
    msj.Limpia();
    msj.Responde(false);   // the capture is kept
    principal->Item("mnuHerra", 1)->trigger();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(msj.cajas.value(0).texto, "Se perderan los cambios hechos al registro actual.\n\n¿Desea terminar esta operación?");
    const auto quedan = principal->Area()->subWindowList();
    ASSERT_EQ(quedan.size(), 1);
    EXPECT_EQ(quedan[0]->widget(), hoja);
    EXPECT_TRUE(hoja->Hoja().EnCambio && p.ctx->ConexionBD.EstaAbierta() && principal->isEnabled());
    EXPECT_EQ(principal->Panel(1)->text(), "Listo.....");
}
