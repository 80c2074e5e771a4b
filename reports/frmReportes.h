#pragma once

#include "platform/CajaFecha.h"
#include "reports/FiltrosReporte.h"
#include "reports/GeneradorReportes.h"

#include <QDialog>
#include <functional>

class Contexto;
class QCheckBox;
class QComboBox;

class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

// "Reportes VELMORAN": the report list and its filters. The window mirrors
// FiltrosReporte and forwards each choice to it; "Reporte" runs
// GeneradorReportes, which shows the finished report in a print preview.
class frmReportes : public QDialog {
    Q_OBJECT
public:
    explicit frmReportes(Contexto &ctx, QWidget *padre = nullptr);
    ~frmReportes() override;

    FiltrosReporte &Filtros() { return filtros_; }
    GeneradorReportes &Generador() { return generador_; }

    QComboBox *cmbReporte, *cmbEntidad, *cmbJurisdiccion, *cmbMunicipio, *cmbLocalidad;
    QComboBox *cmbSexo, *cmbDerechohabiencia, *cmbCveEdad, *cmbEdadIni, *cmbEdadFin;
    QRadioButton *optLugarAtencion, *optLugarOcurrencia, *optFechaAtencion, *optFechaOcurrencia;
    QRadioButton *optAtencion, *optOcurrencia, *optAfeccionPrincipal, *optCausaExterna;
    QGroupBox *fraDatosUnidades, *frmLugar, *frmCausa;
    QCheckBox *chkTodasUnidades;
    QListWidget *lstUnidades;
    CajaFecha *picFechaInicial, *picFechaFinal;
    QPushButton *cmdGenerarReporte, *cmdSalir;

private:
    void CreaControles();
    void Conecta();
    // Brings the dates of the boxes within the period, into the filters; a
    // date moved into the period is said (Avisa).
    void AcotaFechas();
    // Shows what the date boxes have to say, once the focus has settled.
    void Avisa();
    void PonAviso(const QString &texto);
    // Sets every control from the filter state, without echoing back.
    void Refleja();
    // Runs a choice; a database failure is shown and the window stays usable.
    void Protege(const std::function<void()> &accion);

    Contexto &ctx_;
    FiltrosReporte filtros_;
    GeneradorReportes generador_;
    bool reflejando_ = false;
    QStringList avisos_;
};

// "&Reportes": opens the window modally.
void MuestraReportes(Contexto &ctx, QWidget *padre);
