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

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabBar>
#include <QTableWidget>

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
    // The boxes and beeps since the last look, as one text for the failures.
    std::string Sucedido()
    {
        QString s;
        for (const MensajesFalsos::Caja &c : Msj().cajas)
            s += QStringLiteral("[%1] ").arg(c.texto);
        return (s + QStringLiteral("pitidos: %1").arg(Msj().beeps)).toStdString();
    }
    void Pulsa(int boton)
    {
        QWidget *w = ventana->tbrDatos()->widgetForAction(ventana->tbrDatos()->Boton(boton));
        ASSERT_TRUE(w && w->isEnabled()) << boton;
        QTest::mouseClick(w, Qt::LeftButton);
        Espera();
    }
    void Tecla(Qt::Key tecla)
    {
        QTest::keyClick(Foco(), tecla);
        Espera();
    }
    // Ticks the items of these codes in the focused check list with the space bar.
    void Marca(const QStringList &codigos)
    {
        auto *lista = qobject_cast<QListWidget *>(Foco());
        ASSERT_NE(lista, nullptr);
        for (const QString &codigo : codigos) {
            QListWidgetItem *item = lista->findItems(codigo + ' ', Qt::MatchStartsWith).value(0);
            ASSERT_NE(item, nullptr) << codigo.toStdString();
            lista->setCurrentItem(item);
            QTest::keyClick(lista, Qt::Key_Space);
            EXPECT_EQ(item->checkState(), Qt::Checked) << codigo.toStdString();
        }
    }
    // From "Altas" to the last field, asserting at each stop that the focus stands there.
    void TecleaEvento(const DatosEvento &d)
    {
        const QMap<QString, ListaHoja> listas = {{"lstDerechohabiencia", ListaHoja::Derechohabiencia}, {"lstTipoViolencia", ListaHoja::TipoViolencia},
                                                 {"lstPacienteEfectos", ListaHoja::PacienteEfectos}, {"lstAgresorEfectos", ListaHoja::AgresorEfectos},
                                                 {"lstTipoAtencion", ListaHoja::TipoAtencion}};
        Pulsa(5);
        for (const QString parada : Paradas) {
            const QString nombre = parada.section('=', 0, 0).remove('!').remove("tab:");
            const QString objeto = nombre.startsWith("msk") ? "mskDatos_" + nombre.mid(3) : nombre.front().isDigit() ? "txtDatos_" + nombre : nombre;
            ASSERT_EQ(NombreFoco(), objeto) << Sucedido();
            if (listas.contains(nombre))
                Marca(d.marcados.value(listas[nombre]));
            else if (nombre.front().isDigit() || nombre.startsWith("msk"))
                Teclea(Foco(), parada.contains('=') ? parada.section('=', 1) : d.textos.value(nombre.toInt()));
            Tecla(parada.startsWith("tab:") ? Qt::Key_Tab : Qt::Key_Return);
        }
        ASSERT_EQ(NombreFoco(), "txtDatos_81");
        Teclea(Foco(), d.textos.value(81).toLower());
    }

    QMdiArea *area = nullptr;
    frmRegistro *ventana = nullptr;
};

TEST_F(Recorrido, AltaCambioYBajaDeUnEventoConElTeclado)
{
    const DatosEvento d = EventoValido();
    Abre();
    ASSERT_EQ(ventana->windowTitle(), TituloEsperado(0, 0, 0));
    ASSERT_NO_FATAL_FAILURE(TecleaEvento(d));

    // Nothing was said on the way. The beeps: the age left before its unit
    // was typed (the age check cannot read an empty unit), and two for each
    // ICD-10 code, whose first and second characters name no cause yet.
    EXPECT_TRUE(Msj().cajas.isEmpty() && Msj().beeps == 1 + 4 * 2) << Sucedido();
    const auto muestraElEvento = [&] {
        for (auto it = d.textos.cbegin(); it != d.textos.cend(); ++it)
            EXPECT_EQ(ventana->txtDatos(it.key())->text(), it.value()) << it.key();
    };
    muestraElEvento();
    for (const auto &[etiqueta, texto] : {std::pair{28, "HOSPITAL GENERAL IZTAPALAPA"}, {1, "JUNIO"}, {0, "LUNES"}, {48, "IZTAPALAPA"}})
        EXPECT_EQ(ventana->lblDatos(etiqueta)->text(), texto) << etiqueta;
    EXPECT_EQ(ventana->grdAfecciones()->rowCount(), 2);

    // Ctrl+G saves; the question is answered No.
    Msj().Limpia();
    Msj().Responde(false);
    CtrlG(Foco());
    Espera();
    ASSERT_EQ(Msj().cajas.size(), 1) << Sucedido();
    EXPECT_EQ(Msj().cajas[0].texto + "|" + Msj().cajas[0].titulo, "Registro Guardado, ¿Continuar Captura?|Atención");
    EXPECT_EQ(ventana->windowTitle(), TituloEsperado(1, 1, 1));
    // The closed frames gave the focus back to the tab control: the keys
    // browse at once (Up on the only event beeps and stays).
    ASSERT_EQ(Foco(), ventana->SSTab1()->tabBar());
    Msj().Limpia();
    QTest::keyClick(Foco(), Qt::Key_Up);
    EXPECT_EQ(Msj().beeps, 1);

    const QString columnas = "SELECT Clues, Folio, fechaAtencion, FechaOcurrencia, Paterno, Materno, Afiliacion, CodEstado, CodLocalidad, "
                             "HoraOcurrencia, HoraAtencion, HorasUrgencias, CodEmbarazada, CodParentescoAgresor, "
                             "CodLesionadoVehiculo IS NULL, CodAfecprin, NombreResponsable, FechaCaptura FROM D_EVENTO";
    const QString guardada = "DFSSA000012|123|2004-06-15|2004-06-14|PEREZ|%1|123456789001|09|0001|22:30|09:15|2|2|5|1|S001|JUAN HERNANDEZ|2026-12-06";
    EXPECT_EQ(prog.Filas(columnas), QStringList{guardada.arg("LOPEZ")});
    EXPECT_EQ(prog.Filas("SELECT 'D', CodDerechohabiencia FROM D_Derechohabiencia UNION ALL SELECT 'V', CodTipoViolencia FROM D_TipoViolencia "
                         "UNION ALL SELECT 'E' || CodAfectadoAgresor, CodEfectos FROM D_BajoEfectos UNION ALL SELECT 'A', CodTipoAtencion FROM D_TipoAtencion "
                         "UNION ALL SELECT Orden, CodDiagnostico FROM D_Diagnosticos ORDER BY 1, 2"),
              QStringList({"1|S001", "2|S008", "A|1", "A|2", "D|8", "E1|5", "E2|1", "V|6", "V|8"}));
    muestraElEvento();   // the saved event is shown as it was typed

    // Cambios: the surname takes the focus; the clerk moves to the second
    // surname, types over it and presses "Grabar".
    QSqlQuery q = prog.bd().Ejecuta("SELECT * FROM D_EVENTO");
    ASSERT_TRUE(q.next());
    const QSqlRecord antes = q.record();
    Msj().Limpia();
    Pulsa(6);
    ASSERT_EQ(NombreFoco(), "txtDatos_29") << Sucedido();
    Tecla(Qt::Key_Return);
    ASSERT_EQ(NombreFoco(), "txtDatos_30");
    Teclea(Foco(), "muñoz");
    EXPECT_EQ(ventana->txtDatos(30)->text(), "MUÑOZ");
    Pulsa(8);
    EXPECT_TRUE(Msj().cajas.isEmpty() && !ventana->Hoja().EnCambio) << Sucedido();
    // Only the field typed over (and the day of the edit) changed in the row.
    q = prog.bd().Ejecuta("SELECT * FROM D_EVENTO");
    ASSERT_TRUE(q.next());
    for (int c = 0; c < antes.count(); ++c) {
        const QString columna = antes.fieldName(c);
        EXPECT_TRUE(columna == "Materno" || columna == "FechaEdicion" || q.value(c) == antes.value(c)) << columna.toStdString();
    }
    EXPECT_EQ(prog.Filas(columnas), QStringList{guardada.arg("MUÑOZ")});
    for (const char *tabla : {"D_Diagnosticos", "D_BajoEfectos", "D_TipoAtencion"})
        EXPECT_EQ(prog.Cuenta(tabla), 2) << tabla;
    EXPECT_EQ(ventana->txtDatos(30)->text(), "MUÑOZ");

    // Bajas: No keeps the event; Yes deletes it with its details and empties the sheet.
    Msj().Limpia();
    for (bool si : {false, true}) {
        Msj().Responde(si);
        Pulsa(11);
        EXPECT_EQ(prog.Cuenta("D_EVENTO"), si ? 0 : 1);
    }
    ASSERT_EQ(Msj().cajas.size(), 2);
    EXPECT_TRUE(Msj().cajas[1].texto == "¿Desea borrar el registro Actual?" && Msj().cajas[1].titulo == "Atención" && Msj().cajas[1].pregunta);
    EXPECT_FALSE(ventana->Hoja().EnAlta || ventana->Hoja().EnCambio || ventana->Vida().HayEventos());
    for (const char *tabla : {"D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"})
        EXPECT_EQ(prog.Cuenta(tabla), 0) << tabla;
    EXPECT_EQ(QStringList({ventana->txtDatos(29)->text(), ventana->mskDatos(1)->displayText(), ventana->windowTitle()}),
              QStringList({"", "__/__/____", TituloEsperado(0, 0, 0)}));
}

} // namespace
