// A clerk's whole road through the real window, keys only where a clerk uses
// keys: an empty database, "Altas", a complete event typed field by field in
// the sheet's focus order, the lists ticked, two diagnoses added, Ctrl+G,
// "¿Continuar Captura?" No; then "Cambios" of one field and "Grabar"; then
// "Bajas". Each stop asserts where the focus stands, so a field that holds the
// focus, a rule that empties what was typed or a stray message shows where it
// happened.
#include "AmbienteRegistro.h"

#include "capture/frmRegistro.h"
#include "comun/Teclado.h"
#include "shell/BarraDatos.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {

class Recorrido : public AmbienteRegistro {
protected:
    ~Recorrido() override { delete area; }

    // The sheet as the Captura menu opens it: a child window of the main
    // window's area, on every event, the focus on the tab control.
    void Abre()
    {
        area = new QMdiArea;
        area->resize(1024, 768);
        area->show();
        ventana = new frmRegistro(*prog.ctx, listas);
        QMdiSubWindow *sub = area->addSubWindow(ventana);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        ventana->Vida().Abre();
        sub->show();
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

    QWidget *Foco() const { return QApplication::focusWidget(); }
    QString NombreFoco() const { return Foco() ? Foco()->objectName() : "(nada)"; }
    static QString Campo(int i) { return QStringLiteral("txtDatos_%1").arg(i); }
    static QString Fecha(int i) { return QStringLiteral("mskDatos_%1").arg(i); }

    // The boxes and beeps since the last look, as one text for the failures.
    QString Sucedido()
    {
        QString s;
        for (const MensajesFalsos::Caja &c : Msj().cajas)
            s += QStringLiteral("[%1] ").arg(c.texto);
        return s + QStringLiteral("pitidos: %1").arg(Msj().beeps);
    }

    void Pulsa(int boton)
    {
        QWidget *w = ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(boton));
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->isEnabled()) << boton;
        QTest::mouseClick(w, Qt::LeftButton);
        Espera();
    }

    // The focus stands on `objeto`; the clerk types there and presses Enter.
    void Escribe(const QString &objeto, const QString &texto)
    {
        ASSERT_EQ(NombreFoco(), objeto) << Sucedido().toStdString();
        Teclea(Foco(), texto);
        Enter();
    }
    void Enter()
    {
        QTest::keyClick(Foco(), Qt::Key_Return);
        Espera();
    }

    // The focus stands on a check list: the items of these codes are ticked
    // with the space bar, then Enter moves on.
    void Marca(const QString &objeto, const QStringList &codigos)
    {
        ASSERT_EQ(NombreFoco(), objeto) << Sucedido().toStdString();
        auto *lista = qobject_cast<QListWidget *>(Foco());
        ASSERT_NE(lista, nullptr);
        for (const QString &codigo : codigos) {
            int fila = 0;
            while (fila < lista->count() && lista->item(fila)->text().left(2).trimmed() != codigo)
                ++fila;
            ASSERT_LT(fila, lista->count()) << objeto.toStdString() << " " << codigo.toStdString();
            lista->setCurrentRow(fila);
            QTest::keyClick(lista, Qt::Key_Space);
            EXPECT_EQ(lista->item(fila)->checkState(), Qt::Checked) << codigo.toStdString();
        }
        Enter();
    }

    // The focus stands on a button; Enter presses it.
    void Presiona(const QString &objeto)
    {
        ASSERT_EQ(NombreFoco(), objeto) << Sucedido().toStdString();
        Enter();
    }

    void CtrlG()
    {
        ::CtrlG(Foco());
        Espera();
    }

    // Every column of the one stored event, by name.
    QVariantMap Fila()
    {
        QVariantMap fila;
        QSqlQuery q = prog.bd().Ejecuta("SELECT * FROM D_EVENTO");
        if (q.next())
            for (int c = 0; c < q.record().count(); ++c)
                fila.insert(q.record().fieldName(c), q.value(c));
        return fila;
    }

    // From "Altas" to the last field: the whole event typed in the sheet's
    // focus order, asserting at each stop that the focus stands there.
    void TecleaEvento(const DatosEvento &d)
    {
        auto T = [&d](int i) { return d.textos.value(i); };
        // Altas: the Folio takes the focus.
        Pulsa(5);
        Espera();

        // Page 1. The clerk types codes without their leading zeros, in lower
        // case where letters go; the leave checks pad, the keys upper-case.
        Escribe(Campo(22), "123");
        EXPECT_EQ(ventana->txtDatos(22)->text(), T(22));
        Escribe(Campo(23), T(23).toLower());
        EXPECT_EQ(ventana->lblDatos(28)->text(), "HOSPITAL GENERAL IZTAPALAPA");
        Escribe(Fecha(1), QString(d.fechaAtencion).remove(QLatin1Char('/')));
        EXPECT_EQ(ventana->lblDatos(1)->text(), "JUNIO");
        Escribe(Campo(29), T(29).toLower());
        Escribe(Campo(30), T(30));
        Escribe(Campo(31), T(31));
        Marca("lstDerechohabiencia", d.marcados.value(ListaHoja::Derechohabiencia));
        Escribe(Campo(32), T(32));
        Escribe(Campo(33), T(33));
        Escribe(Campo(34), T(34));
        Escribe(Campo(35), T(35));
        Escribe(Campo(36), T(36));
        Escribe(Campo(37), T(37));
        Escribe(Campo(38), T(38));
        Escribe(Campo(39), T(39));
        Escribe(Campo(40), T(40));
        Escribe(Campo(41), T(41));
        for (int i : {42, 43, 44, 45})
            Escribe(Campo(i), T(i));
        Escribe(Campo(46), "9");
        Escribe(Campo(47), "7");
        Escribe(Campo(48), "1");
        EXPECT_EQ(ventana->txtDatos(46)->text(), T(46));
        EXPECT_EQ(ventana->txtDatos(47)->text(), T(47));
        EXPECT_EQ(ventana->txtDatos(48)->text(), T(48));
        EXPECT_NE(ventana->lblDatos(48)->text(), "CVE INEXISTENTE");
        Escribe(Fecha(0), QString(d.fechaOcurrencia).remove(QLatin1Char('/')));
        EXPECT_EQ(ventana->lblDatos(0)->text(), "LUNES");
        for (int i : {49, 50, 51, 52, 53})
            Escribe(Campo(i), T(i));
        Marca("lstTipoViolencia", d.marcados.value(ListaHoja::TipoViolencia));
        Escribe(Campo(54), T(54));
        Marca("lstPacienteEfectos", d.marcados.value(ListaHoja::PacienteEfectos));
        // Agent 5 and no prehospital care: 57 to 59, 63 and 64 stay closed.
        for (int i : {55, 56, 60, 61, 62})
            Escribe(Campo(i), T(i));

        // The page button turns to page 2 and the aggressor takes the focus.
        Presiona("cmdCambiar_0");
        EXPECT_EQ(ventana->SSTab1()->currentIndex(), 1);
        for (int i : {65, 66, 67, 68})
            Escribe(Campo(i), T(i));
        Marca("lstAgresorEfectos", d.marcados.value(ListaHoja::AgresorEfectos));
        Escribe(Campo(69), "9");
        EXPECT_EQ(ventana->txtDatos(69)->text(), T(69));
        for (int i : {70, 71})
            Escribe(Campo(i), T(i));
        Escribe(Campo(72), "2");
        Escribe(Campo(73), T(73));
        Marca("lstTipoAtencion", d.marcados.value(ListaHoja::TipoAtencion));
        Escribe(Campo(74), T(74));
        Escribe(Campo(75), T(75));

        // The two diagnoses through the entry field and "Agregar".
        Escribe(Campo(76), d.diagnosticos[0].toLower());
        Presiona("cmdAgregaAfec");
        Escribe(Campo(76), d.diagnosticos[1]);
        Presiona("cmdAgregaAfec");
        ASSERT_EQ(ventana->grdAfecciones()->rowCount(), 2);
        EXPECT_EQ(ventana->grdAfecciones()->item(0, 1)->text(), d.diagnosticos[0]);
        EXPECT_EQ(ventana->grdAfecciones()->item(1, 1)->text(), d.diagnosticos[1]);
        Enter();   // past the entry field, which shows the first row
        ASSERT_EQ(NombreFoco(), "cmdAgregaAfec");
        QTest::keyClick(Foco(), Qt::Key_Tab);
        Espera();
        for (int i : {77, 78, 79, 80})
            Escribe(Campo(i), T(i));
        ASSERT_EQ(NombreFoco(), Campo(81));
        Teclea(Foco(), T(81).toLower());
    }

    QMdiArea *area = nullptr;
    frmRegistro *ventana = nullptr;
};

TEST_F(Recorrido, AltaCambioYBajaDeUnEventoConElTeclado)
{
    const DatosEvento d = EventoValido();
    auto T = [&d](int i) { return d.textos.value(i); };
    Abre();
    ASSERT_EQ(ventana->windowTitle(), TituloEsperado(0, 0, 0));

    ASSERT_NO_FATAL_FAILURE(TecleaEvento(d));

    // Nothing was said on the way. The beeps: the age left before its unit
    // was typed (the age check cannot read an empty unit), and two for each
    // ICD-10 code, whose first and second characters name no cause yet.
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Sucedido().toStdString();
    EXPECT_EQ(Msj().beeps, 1 + 4 * 2);
    for (auto it = d.textos.cbegin(); it != d.textos.cend(); ++it)
        EXPECT_EQ(ventana->txtDatos(it.key())->text(), it.value()) << it.key();

    // Ctrl+G saves; the question is answered No.
    Msj().Limpia();
    Msj().Responde(false);
    CtrlG();
    ASSERT_EQ(Msj().cajas.size(), 1) << Sucedido().toStdString();
    EXPECT_EQ(Msj().cajas[0].texto, "Registro Guardado, ¿Continuar Captura?");
    EXPECT_EQ(Msj().cajas[0].titulo, "Atención");
    EXPECT_FALSE(ventana->Hoja().EnAlta);
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 1));
    // The closed frames gave the focus back to the tab control: the keys
    // browse at once (Up on the only event beeps and stays).
    ASSERT_EQ(Foco(), ventana->SSTab1()->tabBar());
    Msj().Limpia();
    QTest::keyClick(Foco(), Qt::Key_Up);
    EXPECT_EQ(Msj().beeps, 1);

    ASSERT_EQ(prog.Cuenta("D_EVENTO"), 1);
    const QVariantMap guardada = Fila();
    EXPECT_EQ(guardada.value("Clues").toString(), T(23));
    EXPECT_EQ(guardada.value("Folio").toInt(), 123);
    EXPECT_EQ(guardada.value("fechaAtencion").toString(), "2004-06-15");
    EXPECT_EQ(guardada.value("FechaOcurrencia").toString(), "2004-06-14");
    EXPECT_EQ(guardada.value("Paterno").toString(), T(29));
    EXPECT_EQ(guardada.value("Afiliacion").toString(), T(33) + T(34));
    EXPECT_EQ(guardada.value("CodEstado").toString(), T(46));
    EXPECT_EQ(guardada.value("CodLocalidad").toString(), T(48));
    EXPECT_EQ(guardada.value("HoraOcurrencia").toString(), "22:30");
    EXPECT_EQ(guardada.value("HoraAtencion").toString(), "09:15");
    EXPECT_EQ(guardada.value("HorasUrgencias").toInt(), 2);
    EXPECT_EQ(guardada.value("CodEmbarazada").toInt(), 2);
    EXPECT_EQ(guardada.value("CodParentescoAgresor").toInt(), 5);
    EXPECT_TRUE(guardada.value("CodLesionadoVehiculo").isNull());
    EXPECT_EQ(guardada.value("CodAfecprin").toString(), T(77));
    EXPECT_EQ(guardada.value("NombreResponsable").toString(), T(81));
    EXPECT_EQ(guardada.value("FechaCaptura").toString(), "2026-12-06");
    EXPECT_EQ(prog.Filas("SELECT CodDerechohabiencia FROM D_Derechohabiencia"), QStringList({"8"}));
    EXPECT_EQ(prog.Filas("SELECT CodTipoViolencia FROM D_TipoViolencia ORDER BY 1"), QStringList({"6", "8"}));
    EXPECT_EQ(prog.Filas("SELECT CodAfectadoAgresor, CodEfectos FROM D_BajoEfectos ORDER BY 1"),
              QStringList({"1|5", "2|1"}));
    EXPECT_EQ(prog.Filas("SELECT CodTipoAtencion FROM D_TipoAtencion ORDER BY 1"), QStringList({"1", "2"}));
    EXPECT_EQ(prog.Filas("SELECT Orden, CodDiagnostico FROM D_Diagnosticos ORDER BY Orden"),
              QStringList({"1|S001", "2|S008"}));

    // The saved event is shown as it was typed.
    for (auto it = d.textos.cbegin(); it != d.textos.cend(); ++it)
        EXPECT_EQ(ventana->txtDatos(it.key())->text(), it.value()) << it.key();

    // Cambios: the surname takes the focus; the clerk moves to the second
    // surname, types over it and presses "Grabar".
    Msj().Limpia();
    Pulsa(6);
    ASSERT_EQ(NombreFoco(), Campo(29)) << Sucedido().toStdString();
    Enter();
    ASSERT_EQ(NombreFoco(), Campo(30));
    Teclea(Foco(), "muñoz");
    EXPECT_EQ(ventana->txtDatos(30)->text(), "MUÑOZ");
    Pulsa(8);
    EXPECT_TRUE(Msj().cajas.isEmpty()) << Sucedido().toStdString();
    EXPECT_FALSE(ventana->Hoja().EnCambio);
    // Only the field typed over (and the day of the edit) changed in the row.
    QVariantMap esperada = guardada;
    esperada.insert("Materno", "MUÑOZ");
    esperada.insert("FechaEdicion", "2026-12-06");
    EXPECT_EQ(Fila(), esperada);
    for (const char *tabla : {"D_Diagnosticos", "D_BajoEfectos", "D_TipoAtencion"})
        EXPECT_EQ(prog.Cuenta(tabla), 2) << tabla;
    EXPECT_EQ(ventana->txtDatos(30)->text(), "MUÑOZ");

    // Bajas, answered Yes: the event and its details are gone, the sheet is empty.
    Msj().Responde(true);
    Pulsa(11);
    EXPECT_EQ(Msj().Ultimo(), "¿Desea borrar el registro Actual?");
    for (const char *tabla :
         {"D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"})
        EXPECT_EQ(prog.Cuenta(tabla), 0) << tabla;
    EXPECT_EQ(ventana->txtDatos(29)->text(), QString());
    EXPECT_EQ(ventana->mskDatos(1)->displayText(), "__/__/____");
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(0, 0, 0));
}

} // namespace
