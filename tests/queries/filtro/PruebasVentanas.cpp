// The filter window and the export generator as a user meets them (the road
// from the sheet's "Filtrar" by keys is the end-to-end test's).
#include "AmbienteFiltro.h"
#include "comun/DialogoFijo.h"
#include "queries/PanelCriterio.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmQuery.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

class VentanasConsulta : public AmbienteFiltro {
protected:
    void Elige(QComboBox *combo, const QString &texto)
    {
        combo->setCurrentIndex(combo->findText(texto));
        emit combo->activated(combo->currentIndex());
    }
    static QString Lineas(const QComboBox *combo)
    {
        QStringList r;
        for (int i = 0; i < combo->count(); ++i)
            r << combo->itemText(i);
        return r.join(',');
    }
    DialogoFijo dialogo;
};

TEST_F(VentanasConsulta, FiltroArmaElCriterioYLoConserva)
{
    prog.ctx->CriterioConsulta = "E.Edad > 1";
    frmQuery v(*prog.ctx, dialogo, DestinoFiltro{&Reg(), {}});
    PanelCriterio &p = *v.Panel();
    EXPECT_EQ(p.Criterio(), "E.Edad > 1");
    Elige(p.cboField, "E.Folio");
    p.cmdGetValues->click();
    EXPECT_EQ(Lineas(p.cboValue), "1,2,3");
    Elige(p.cboField, "E.fechaAtencion");
    EXPECT_EQ(Lineas(p.cboValue) + p.cboValue->currentText(), "");
    p.cmdGetValues->click();
    EXPECT_EQ(p.cboValue->currentText(), "01/03/2004");
    Elige(p.cboOperator, ">=");
    p.cmdOr->click();
    EXPECT_EQ(p.Criterio(), "E.Edad > 1\n Or CDATE(E.fechaAtencion) >= CDATE('01/03/2004')");
    v.cmdClose()->click();
    EXPECT_EQ(prog.ctx->CriterioConsulta, p.Criterio());

    // Saved and loaded back in a new window: field, operator, value and criteria.
    dialogo.ruta = QDir(prog.Carpeta()).filePath("f.sql");
    v.GrabaConsulta();
    prog.ctx->CriterioConsulta.clear();
    frmQuery otra(*prog.ctx, dialogo, DestinoFiltro{&Reg(), {}});
    otra.CargaConsulta();
    const PanelCriterio &o = *otra.Panel();
    EXPECT_EQ(QStringList({o.cboField->currentText(), o.cboOperator->currentText(), o.cboValue->currentText(), o.Criterio()}),
              QStringList({"E.fechaAtencion", ">=", "01/03/2004", p.Criterio()}));
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
    Elige(p.cboField, "lsex");
    p.cmdGetValues->click();
    EXPECT_EQ(p.cboValue->count(), 2);   // the causes limited to one sex
    p.cmdAnd->click();
    // A database error is shown, not passed off as a field without values.
    prog.Ejecuta("DROP TABLE CAPITULO");
    prog.Ejecuta("ALTER TABLE CATCIE10 RENAME TO CAPITULO");
    p.cmdGetValues->click();
    EXPECT_TRUE(Msj().Ultimo().startsWith("The following Error occurred:\n\n")) << Msj().Ultimo().toStdString();
    EXPECT_EQ(QString::number(p.cboValue->count()) + p.Criterio(), "0lsex = '1'");
}

TEST_F(VentanasConsulta, GeneradorEligeCamposYCargaSuConsulta)
{
    frmGenConsultas g(*prog.ctx, dialogo, OrigenConsulta::Hoja);
    EXPECT_FALSE(g.cmdRunQuery->isEnabled());   // until its run is wired
    for (int i = 0; i < 10; ++i)
        g.cmdSeleccion[0]->click();
    EXPECT_EQ(g.Seleccion(), EntradasCampos(OrigenConsulta::Hoja).mid(0, 10));
    g.lstOrigen->setCurrentRow(1);
    g.cmdSeleccion[0]->click();
    EXPECT_EQ(Msj().Ultimo() + QString::number(g.Seleccion().size()), "Ya agrego este campo: E.Folio10");
    g.cmdSeleccion[1]->click();
    EXPECT_EQ(g.Seleccion(), EntradasCampos(OrigenConsulta::Hoja));
    g.cmdSeleccion[3]->click();
    g.cmdSeleccion[2]->click();
    EXPECT_EQ(Msj().Ultimo() + "|" + Msj().cajas.last().titulo, "No ha seleccionado nungún campo|Genera Consultas");

    g.lstOrigen->setCurrentRow(47);   // F.Diagnosticos
    g.cmdSeleccion[0]->click();
    g.optFormato[2]->setChecked(true);
    g.Panel()->PonCriterio("F.Diagnosticos = 'S011'");
    dialogo.ruta = QDir(prog.Carpeta()).filePath("g.sql");
    g.GrabaConsulta();
    frmGenConsultas otro(*prog.ctx, dialogo, OrigenConsulta::Hoja);
    otro.CargaConsulta();
    EXPECT_EQ(otro.Seleccion() << QString::number(otro.Formato()), QStringList({"F.Diagnosticos", "2"}));
    // A filter run while the generator is open leaves its field kinds alone.
    ASSERT_TRUE(EjecutaFiltro(*prog.ctx, "E.Edad > 1", DestinoFiltro{&Reg(), {}}));
    Elige(otro.Panel()->cboField, "E.Paterno");
    otro.Panel()->cboValue->setEditText("RUIZ");
    otro.Panel()->cmdAnd->click();
    EXPECT_EQ(otro.Panel()->Criterio(), "F.Diagnosticos = 'S011'\nAnd E.Paterno = 'RUIZ'");
}

} // namespace
