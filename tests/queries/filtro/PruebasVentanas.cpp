// The filter window and the export generator as a user meets them, and the
// road from the capture sheet's "Filtrar" through the filtered events to
// "Quitar Filtro", driven by keys.
#include "AmbienteFiltro.h"
#include "capture/frmRegistro.h"
#include "comun/Teclado.h"
#include "comun/DialogoFijo.h"
#include "queries/PanelCriterio.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmQuery.h"
#include "shell/BarraDatos.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

class VentanasConsulta : public AmbienteFiltro {
protected:
    void Elige(QComboBox *combo, const QString &texto)
    {
        combo->setCurrentIndex(combo->findText(texto));
        emit combo->activated(combo->currentIndex());
    }
    void Captura(QWidget *w, const QString &nombre)
    {
        const QString carpeta = qEnvironmentVariable("VELMORAN_CAPTURAS");
        if (!carpeta.isEmpty()) {
            EXPECT_TRUE(w->grab().save(QDir(carpeta).filePath(nombre)));
        }
    }
    DialogoFijo dialogo;
};

TEST_F(VentanasConsulta, FiltroArmaElCriterioYLoConserva)
{
    prog.ctx->CriterioConsulta = "E.Edad > 1";
    frmQuery v(*prog.ctx, dialogo, DestinoFiltro{&Reg(), {}});
    PanelCriterio &p = *v.Panel();
    EXPECT_EQ(v.windowTitle(), "Generador de Consultas");
    EXPECT_EQ(p.Criterio(), "E.Edad > 1");
    EXPECT_EQ(p.cboOperator->currentText(), "=");
    EXPECT_EQ(p.cboOrderByField->currentText(), "(ninguno)");
    EXPECT_FALSE(p.cboOrderByField->isEnabled());
    EXPECT_EQ(p.cboField->count(), 53);

    Elige(p.cboField, "E.Folio");
    p.cmdGetValues->click();
    QStringList valores;
    for (int i = 0; i < p.cboValue->count(); ++i)
        valores << p.cboValue->itemText(i);
    EXPECT_EQ(valores, QStringList({"1", "2", "3"}));
    Elige(p.cboField, "E.fechaAtencion");
    EXPECT_EQ(p.cboValue->count(), 0);
    EXPECT_EQ(p.cboValue->currentText(), "");
    p.cmdGetValues->click();
    EXPECT_EQ(p.cboValue->currentText(), "01/03/2004");
    Elige(p.cboOperator, ">=");
    p.cmdOr->click();
    EXPECT_EQ(p.Criterio(), "E.Edad > 1\n Or CDATE(E.fechaAtencion) >= CDATE('01/03/2004')");
    Captura(&v, "frmQuery.png");
    v.cmdClose()->click();
    EXPECT_EQ(prog.ctx->CriterioConsulta, p.Criterio());

    // Saved and loaded back in a new window: field, operator, value and criteria.
    dialogo.ruta = QDir(prog.Carpeta()).filePath("f.sql");
    v.GrabaConsulta();
    prog.ctx->CriterioConsulta.clear();
    frmQuery otra(*prog.ctx, dialogo, DestinoFiltro{&Reg(), {}});
    otra.CargaConsulta();
    EXPECT_EQ(otra.Panel()->cboField->currentText(), "E.fechaAtencion");
    EXPECT_EQ(otra.Panel()->cboOperator->currentText(), ">=");
    EXPECT_EQ(otra.Panel()->cboValue->currentText(), "01/03/2004");
    EXPECT_EQ(otra.Panel()->Criterio(), p.Criterio());
    EXPECT_TRUE(Msj().cajas.isEmpty());
}

// Departure: "Limpar" empties the value box too, not the criteria alone, so
// that it clears all that a loaded query fills as typed.
TEST_F(VentanasConsulta, Desvio_LimparVaciaTambienElValor)
{
    frmQuery v(*prog.ctx, dialogo, DestinoFiltro{&Reg(), {}});
    v.Panel()->cboValue->setEditText("\x01\x02");
    v.Panel()->PonCriterio("E.Edad > 1");
    v.Panel()->cmdClear->click();
    EXPECT_EQ(v.Panel()->cboValue->currentText() + v.Panel()->Criterio(), "");
}

TEST_F(VentanasConsulta, FiltroSobreCIE10SinAlias)
{
    frmQuery v(*prog.ctx, dialogo, DestinoFiltro{nullptr, [](const ConsultaSQL &) {}});
    PanelCriterio &p = *v.Panel();
    EXPECT_EQ(p.cboField->itemText(0), "Causa");
    EXPECT_EQ(p.lstTables->item(0)->text(), "CATCIE10");
    Elige(p.cboField, "lsex");
    p.cmdGetValues->click();
    EXPECT_EQ(p.cboValue->count(), 2);   // the causes limited to one sex
    p.cmdAnd->click();
    Captura(&v, "frmQuery_cie10.png");
    // A database error is shown, not passed off as a field without values.
    prog.Ejecuta("DROP TABLE CAPITULO");
    prog.Ejecuta("ALTER TABLE CATCIE10 RENAME TO CAPITULO");
    p.cmdGetValues->click();
    EXPECT_EQ(p.cboValue->count(), 0);
    EXPECT_TRUE(Msj().Ultimo().startsWith("The following Error occurred:\n\n")) << Msj().Ultimo().toStdString();
    EXPECT_EQ(p.Criterio(), "lsex = '1'");
}

TEST_F(VentanasConsulta, GeneradorEligeCamposYCargaSuConsulta)
{
    frmGenConsultas g(*prog.ctx, dialogo, OrigenConsulta::Hoja);
    EXPECT_FALSE(g.cmdRunQuery->isEnabled());
    EXPECT_TRUE(g.Panel()->cboOrderByField->isEnabled());
    for (int i = 0; i < 10; ++i)
        g.cmdSeleccion[0]->click();
    EXPECT_EQ(g.Seleccion(), EntradasCampos(OrigenConsulta::Hoja).mid(0, 10));
    g.lstOrigen->setCurrentRow(1);
    g.cmdSeleccion[0]->click();
    EXPECT_EQ(Msj().Ultimo(), "Ya agrego este campo: E.Folio");
    EXPECT_EQ(g.Seleccion().size(), 10);
    g.cmdSeleccion[1]->click();
    EXPECT_EQ(g.Seleccion(), EntradasCampos(OrigenConsulta::Hoja));
    g.cmdSeleccion[3]->click();
    g.cmdSeleccion[2]->click();
    EXPECT_EQ(Msj().Ultimo(), "No ha seleccionado nungún campo");
    EXPECT_EQ(Msj().cajas.last().titulo, "Genera Consultas");

    g.lstOrigen->setCurrentRow(47);   // F.Diagnosticos
    g.cmdSeleccion[0]->click();
    g.optFormato[2]->setChecked(true);
    g.Panel()->PonCriterio("F.Diagnosticos = 'S011'");
    Captura(&g, "frmGenConsultas.png");
    dialogo.ruta = QDir(prog.Carpeta()).filePath("g.sql");
    g.GrabaConsulta();
    frmGenConsultas otro(*prog.ctx, dialogo, OrigenConsulta::Hoja);
    otro.CargaConsulta();
    EXPECT_EQ(otro.Seleccion(), QStringList({"F.Diagnosticos"}));
    EXPECT_EQ(otro.Formato(), 2);
    EXPECT_EQ(otro.Panel()->Criterio(), "F.Diagnosticos = 'S011'");
    // A filter run while the generator is open leaves its field kinds alone.
    ASSERT_TRUE(EjecutaFiltro(*prog.ctx, "E.Edad > 1", DestinoFiltro{&Reg(), {}}));
    Elige(otro.Panel()->cboField, "E.Paterno");
    otro.Panel()->cboValue->setEditText("RUIZ");
    otro.Panel()->cmdAnd->click();
    EXPECT_EQ(otro.Panel()->Criterio(), "F.Diagnosticos = 'S011'\nAnd E.Paterno = 'RUIZ'");
    bool corrio = false;
    otro.PonEjecucion([&](frmGenConsultas &) { corrio = true; });
    otro.cmdRunQuery->click();
    EXPECT_TRUE(corrio);
}

// While a modal window runs, the next step acts on it.
void AlAbrirModal(const std::function<void(QWidget *)> &paso)
{
    QTimer::singleShot(0, [paso] { paso(QApplication::activeModalWidget()); });
}

void Tecla(QWidget *w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QTest::keyClick(w, k, m);
}

TEST_F(VentanasConsulta, FiltraRecorreYQuitaElFiltroConTeclas)
{
    frmRegistro hoja(*prog.ctx, listas);
    ConsultasHoja consultas;
    consultas.Filtrar = [&](frmRegistro &h) { MuestraConsulta(*prog.ctx, dialogo, DestinoFiltro{&h.Registro(), {}}, &h); };
    hoja.PonConsultas(consultas);
    hoja.Vida().Abre();
    hoja.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hoja));
    QMenu *menu = hoja.MenuBuscar();
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    EXPECT_FALSE(menu->actions()[2]->isEnabled());

    bool visto = false;
    AlAbrirModal([&](QWidget *w) {
        auto *filtro = qobject_cast<frmQuery *>(w);
        ASSERT_NE(filtro, nullptr);
        QPlainTextEdit *criterio = filtro->Panel()->txtCriteria;
        criterio->setFocus();
        Teclea(criterio, "E.CodSexo = 2");
        Tecla(criterio, Qt::Key_Return);
        Teclea(criterio, "And E.Paterno <> 'PEÑA'");
        Captura(filtro, "frmQuery_hoja.png");
        filtro->cmdRunQuery()->setFocus();
        Tecla(filtro->cmdRunQuery(), Qt::Key_Space);
        visto = true;
    });
    menu->popup(hoja.mapToGlobal(QPoint(0, 0)));
    Tecla(menu, Qt::Key_Down);
    Tecla(menu, Qt::Key_Return);   // "Filtrar"
    ASSERT_TRUE(visto);
    EXPECT_EQ(hoja.Vida().FiltroEventos, "E.CodSexo = 2 And E.Paterno <> 'PEÑA'");
    EXPECT_EQ(hoja.windowTitle(), TituloHoja + ". Registro: 1 de 2     Capturados en el día: 0");

    QTabBar *pestanas = hoja.SSTab1()->tabBar();
    pestanas->setFocus();
    Tecla(pestanas, Qt::Key_Down);
    EXPECT_EQ(hoja.txtDatos(22)->text(), "00000003");
    Tecla(pestanas, Qt::Key_Down);   // the last of the filtered events
    EXPECT_EQ(Msj().beeps, 1);
    Captura(&hoja, "hoja_filtrada.png");

    menu->popup(hoja.mapToGlobal(QPoint(0, 0)));
    Tecla(menu, Qt::Key_Down);
    Tecla(menu, Qt::Key_Down);
    Tecla(menu, Qt::Key_Return);   // "Quitar Filtro"
    EXPECT_EQ(hoja.Vida().FiltroEventos, "");
    EXPECT_EQ(hoja.windowTitle(), TituloHoja + ". Registro: 1 de 3     Capturados en el día: 0");
    EXPECT_EQ(prog.ctx->CriterioConsulta, "E.CodSexo = 2\nAnd E.Paterno <> 'PEÑA'");
}

} // namespace
