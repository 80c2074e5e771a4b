#include "reports/frmReportes.h"

#include "platform/CajaFecha.h"
#include "platform/CursorOcupado.h"
#include "platform/ReportePintor.h"
#include "reports/modReportes.h"
#include "shell/Contexto.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QGroupBox *Marco(const QString &titulo, QLayout *contenido)
{
    auto *g = new QGroupBox(titulo);
    g->setLayout(contenido);
    return g;
}

QHBoxLayout *Par(QWidget *a, QWidget *b)
{
    auto *l = new QHBoxLayout;
    l->addWidget(a);
    l->addWidget(b);
    l->addStretch();
    return l;
}

void ReflejaCombo(QComboBox *c, const ComboFiltro &f)
{
    const QSignalBlocker bloqueo(c);
    QStringList actuales;
    for (int i = 0; i < c->count(); ++i)
        actuales << c->itemText(i);
    if (actuales != f.lineas) {
        c->clear();
        c->addItems(f.lineas);
    }
    c->setCurrentIndex(f.actual);
    c->setEnabled(f.habilitado);
}

// The box keeps its own wide range: a date typed outside the period stays as
// typed until the box is left, and is then brought into the period and said.
void ReflejaFecha(QDateEdit *d, const FechaFiltro &f)
{
    const QSignalBlocker bloqueo(d);
    if (f.valor.isValid() && d->date() != f.valor)
        d->setDate(f.valor);
    d->setEnabled(f.habilitado);
}

QString Dia(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

bool DentroDelPeriodo(const FechaFiltro &f, const QDate &d)
{
    return d >= f.minimo && d <= f.maximo;
}

} // namespace

frmReportes::frmReportes(Contexto &ctx, QWidget *padre)
    : QDialog(padre), ctx_(ctx), filtros_(ctx.ConexionBD), generador_(ctx, filtros_)
{
    setWindowTitle(GeneradorReportes::TituloVentana);
    CreaControles();
    generador_.Muestra = [this](const DocumentoReporte &doc) { MuestraVistaPrevia(doc, SalidaDeReportes(ctx_), this); };
    generador_.EnfocaUnidades = [this] { lstUnidades->setFocus(); };
    generador_.EnfocaReporte = [this] { cmdGenerarReporte->setFocus(); };
    filtros_.alCambiar = [this] { Refleja(); };
    Protege([this] { filtros_.InicializaFiltros(); });
    Refleja();
    Conecta();
}

// Closing moves the focus out of a date box, whose signals must no longer
// reach a window whose filters are gone.
frmReportes::~frmReportes()
{
    for (CajaFecha *d : {picFechaInicial, picFechaFinal}) {
        d->disconnect(this);
        d->alRechazar = nullptr;
    }
}

void frmReportes::CreaControles()
{
    auto combo = [] {
        auto *c = new QComboBox;
        c->setMinimumContentsLength(28);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        return c;
    };
    cmbReporte = combo();
    cmbEntidad = combo();
    cmbJurisdiccion = combo();
    cmbMunicipio = combo();
    cmbLocalidad = combo();
    cmbSexo = combo();
    cmbDerechohabiencia = combo();
    cmbCveEdad = combo();
    cmbEdadIni = new QComboBox;
    cmbEdadFin = new QComboBox;
    for (QComboBox *c : {cmbEdadIni, cmbEdadFin})
        c->setMinimumContentsLength(5);
    optLugarAtencion = new QRadioButton(QStringLiteral("Lugar de Atención"));
    optLugarOcurrencia = new QRadioButton(QStringLiteral("Lugar de Ocurrencia"));
    optFechaAtencion = new QRadioButton(QStringLiteral("Fecha de Atención"));
    optFechaOcurrencia = new QRadioButton(QStringLiteral("Fecha de Ocurrencia"));
    optAtencion = new QRadioButton(QStringLiteral("Entidad de Atención"));
    optOcurrencia = new QRadioButton(QStringLiteral("Entidad de Ocurrencia"));
    optAfeccionPrincipal = new QRadioButton(QStringLiteral("Afección Principal"));
    optCausaExterna = new QRadioButton(QStringLiteral("Causa Externa"));
    // Each pair excludes only itself.
    for (auto [a, b] : {std::pair{optLugarAtencion, optLugarOcurrencia}, {optFechaAtencion, optFechaOcurrencia},
                        {optAtencion, optOcurrencia}, {optAfeccionPrincipal, optCausaExterna}}) {
        auto *grupo = new QButtonGroup(this);
        grupo->addButton(a);
        grupo->addButton(b);
    }
    chkTodasUnidades = new QCheckBox(QStringLiteral("Seleccionar todo"));
    lstUnidades = new QListWidget;
    lstUnidades->setMinimumSize(440, 140);
    picFechaInicial = new CajaFecha;
    picFechaFinal = new CajaFecha;
    for (CajaFecha *d : {picFechaInicial, picFechaFinal})
        d->setCalendarPopup(true);
    cmdGenerarReporte = new QPushButton(QStringLiteral("Reporte"));
    cmdSalir = new QPushButton(QStringLiteral("Salir"));

    auto *reporte = new QVBoxLayout;
    reporte->addWidget(cmbReporte);

    auto *lugar = new QGridLayout;
    lugar->addLayout(Par(optLugarAtencion, optLugarOcurrencia), 0, 0, 1, 2);
    const std::pair<const char *, QComboBox *> niveles[] = {
        {"Entidad", cmbEntidad}, {"Jurisdicción", cmbJurisdiccion}, {"Municipio", cmbMunicipio}, {"Localidad", cmbLocalidad}};
    int fila = 1;
    for (const auto &[rotulo, c] : niveles) {
        lugar->addWidget(new QLabel(QString::fromUtf8(rotulo)), fila, 0);
        lugar->addWidget(c, fila++, 1);
    }
    auto *unidades = new QVBoxLayout;
    unidades->addWidget(chkTodasUnidades);
    unidades->addWidget(lstUnidades);
    fraDatosUnidades = Marco(QStringLiteral("Seleccione la CLUES de la Unidad Médica"), unidades);
    lugar->addWidget(fraDatosUnidades, fila, 0, 1, 2);

    auto *fechas = new QGridLayout;
    fechas->addLayout(Par(optFechaAtencion, optFechaOcurrencia), 0, 0, 1, 4);
    fechas->addWidget(new QLabel(QStringLiteral("Fecha Inicial")), 1, 0);
    fechas->addWidget(picFechaInicial, 1, 1);
    fechas->addWidget(new QLabel(QStringLiteral("Fecha Final")), 1, 2);
    fechas->addWidget(picFechaFinal, 1, 3);

    auto *persona = new QGridLayout;
    persona->addWidget(new QLabel(QStringLiteral("Sexo")), 0, 0);
    persona->addWidget(cmbSexo, 0, 1);
    persona->addWidget(new QLabel(QStringLiteral("Derechohabiencia")), 1, 0);
    persona->addWidget(cmbDerechohabiencia, 1, 1);

    auto *edad = new QGridLayout;
    edad->addWidget(new QLabel(QStringLiteral("Clave de Edad")), 0, 0);
    edad->addWidget(cmbCveEdad, 0, 1, 1, 3);
    edad->addWidget(new QLabel(QStringLiteral("Edad Inicial")), 1, 0);
    edad->addWidget(cmbEdadIni, 1, 1);
    edad->addWidget(new QLabel(QStringLiteral("Edad Final")), 1, 2);
    edad->addWidget(cmbEdadFin, 1, 3);

    frmLugar = Marco(QString(), Par(optAtencion, optOcurrencia));
    frmCausa = Marco(QString(), Par(optAfeccionPrincipal, optCausaExterna));

    auto *derecha = new QVBoxLayout;
    derecha->addWidget(Marco(QStringLiteral("Selecione el periodo "), fechas));
    derecha->addLayout(persona);
    derecha->addWidget(Marco(QStringLiteral("Seleccione la Edad"), edad));
    derecha->addWidget(frmLugar);
    derecha->addWidget(frmCausa);
    derecha->addStretch();

    auto *filtros = new QHBoxLayout;
    filtros->addLayout(lugar, 1);
    filtros->addLayout(derecha);

    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdGenerarReporte);
    botones->addWidget(cmdSalir);

    auto *todo = new QVBoxLayout(this);
    todo->addWidget(Marco(QStringLiteral("Reporte a Generar"), reporte));
    todo->addWidget(Marco(QString(), filtros));
    todo->addLayout(botones);
}

void frmReportes::Protege(const std::function<void()> &accion)
{
    try {
        CursorOcupado cursor;
        accion();
    } catch (const ErrorBD &e) {
        ctx_.mensajes.Informa(QStringLiteral("%1 - %2").arg(e.Numero()).arg(e.Descripcion()), GeneradorReportes::TituloVentana);
    }
    Refleja();
}

void frmReportes::Conecta()
{
    auto alElegir = [this](QComboBox *c, void (FiltrosReporte::*accion)(int)) {
        connect(c, &QComboBox::currentIndexChanged, this, [this, accion](int i) {
            if (!reflejando_)
                Protege([this, accion, i] { (filtros_.*accion)(i); });
        });
    };
    alElegir(cmbReporte, &FiltrosReporte::EligeReporte);
    alElegir(cmbEntidad, &FiltrosReporte::EligeEntidad);
    alElegir(cmbJurisdiccion, &FiltrosReporte::EligeJurisdiccion);
    alElegir(cmbMunicipio, &FiltrosReporte::EligeMunicipio);
    alElegir(cmbLocalidad, &FiltrosReporte::EligeLocalidad);
    alElegir(cmbSexo, &FiltrosReporte::EligeSexo);
    alElegir(cmbDerechohabiencia, &FiltrosReporte::EligeDerechohabiencia);
    alElegir(cmbCveEdad, &FiltrosReporte::EligeCveEdad);
    alElegir(cmbEdadIni, &FiltrosReporte::EligeEdadIni);
    alElegir(cmbEdadFin, &FiltrosReporte::EligeEdadFin);

    auto alMarcar = [this](QRadioButton *o, void (FiltrosReporte::*accion)(bool), bool valor) {
        connect(o, &QRadioButton::clicked, this, [this, accion, valor] {
            if (!reflejando_)
                Protege([this, accion, valor] { (filtros_.*accion)(valor); });
        });
    };
    alMarcar(optLugarAtencion, &FiltrosReporte::EligeLugar, true);
    alMarcar(optLugarOcurrencia, &FiltrosReporte::EligeLugar, false);
    alMarcar(optFechaAtencion, &FiltrosReporte::EligeFechas, true);
    alMarcar(optFechaOcurrencia, &FiltrosReporte::EligeFechas, false);
    alMarcar(optAtencion, &FiltrosReporte::EligeEntidadAtencion, true);
    alMarcar(optOcurrencia, &FiltrosReporte::EligeEntidadAtencion, false);
    alMarcar(optAfeccionPrincipal, &FiltrosReporte::EligeAfeccionPrincipal, true);
    alMarcar(optCausaExterna, &FiltrosReporte::EligeAfeccionPrincipal, false);

    connect(chkTodasUnidades, &QCheckBox::clicked, this, [this](bool marcado) {
        if (!reflejando_)
            filtros_.MarcaTodasUnidades(marcado);
    });
    connect(lstUnidades, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!reflejando_)
            filtros_.MarcaUnidad(lstUnidades->row(item), item->checkState() == Qt::Checked);
    });
    // A date within the period counts at once; one outside it is brought into
    // the period when the box is left or the report runs.
    connect(picFechaInicial, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        if (!reflejando_ && DentroDelPeriodo(filtros_.picFechaInicial, d))
            filtros_.PonFechaInicial(d);
    });
    connect(picFechaFinal, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        if (!reflejando_ && DentroDelPeriodo(filtros_.picFechaFinal, d))
            filtros_.PonFechaFinal(d);
    });
    for (CajaFecha *d : {picFechaInicial, picFechaFinal}) {
        connect(d, &QDateEdit::editingFinished, this, &frmReportes::AcotaFechas);
        d->alRechazar = [this](const QString &texto) {
            PonAviso(QStringLiteral("La fecha %1 no es válida, verifique por favor.....").arg(texto));
        };
    }
    // A date still being typed, refused or moved into the period is said
    // before anything runs on it.
    connect(cmdGenerarReporte, &QPushButton::clicked, this, [this] {
        const bool tecleadas = picFechaInicial->Confirma() & picFechaFinal->Confirma();
        AcotaFechas();
        if (!tecleadas || !avisos_.isEmpty()) {
            Avisa();
            return;
        }
        generador_.Reporte();
    });
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
}

void frmReportes::AcotaFechas()
{
    if (reflejando_)
        return;
    const std::pair<CajaFecha *, FechaFiltro *> cajas[] = {{picFechaInicial, &filtros_.picFechaInicial},
                                                           {picFechaFinal, &filtros_.picFechaFinal}};
    for (const auto &[caja, filtro] : cajas) {
        const QDate d = caja->date();
        if (!filtro->habilitado || d == filtro->valor)
            continue;
        const QString periodo = QStringLiteral("del %1 al %2").arg(Dia(filtro->minimo), Dia(filtro->maximo));
        caja == picFechaInicial ? filtros_.PonFechaInicial(d) : filtros_.PonFechaFinal(d);
        if (filtro->valor != d)
            PonAviso(QStringLiteral("La fecha %1 está fuera del periodo %2, se tomó el %3, verifique por favor.....")
                         .arg(Dia(d), periodo, Dia(filtro->valor)));
    }
    Refleja();
}

void frmReportes::PonAviso(const QString &texto)
{
    if (avisos_.isEmpty())
        QTimer::singleShot(0, this, &frmReportes::Avisa);
    avisos_ << texto;
}

void frmReportes::Avisa()
{
    const QStringList avisos = std::exchange(avisos_, {});
    if (!isVisible())   // the window was closed: nothing runs on its dates
        return;
    for (const QString &a : avisos)
        ctx_.mensajes.Informa(a, GeneradorReportes::TituloVentana);
}

void frmReportes::Refleja()
{
    if (reflejando_)
        return;
    reflejando_ = true;
    const FiltrosReporte &f = filtros_;
    ReflejaCombo(cmbReporte, f.cmbReporte);
    ReflejaCombo(cmbEntidad, f.cmbEntidad);
    ReflejaCombo(cmbJurisdiccion, f.cmbJurisdiccion);
    ReflejaCombo(cmbMunicipio, f.cmbMunicipio);
    ReflejaCombo(cmbLocalidad, f.cmbLocalidad);
    ReflejaCombo(cmbSexo, f.cmbSexo);
    ReflejaCombo(cmbDerechohabiencia, f.cmbDerechohabiencia);
    ReflejaCombo(cmbCveEdad, f.cmbCveEdad);
    ReflejaCombo(cmbEdadIni, f.cmbEdadIni);
    ReflejaCombo(cmbEdadFin, f.cmbEdadFin);
    optLugarAtencion->setChecked(f.optLugarAtencion);
    optLugarOcurrencia->setChecked(!f.optLugarAtencion);
    optFechaAtencion->setChecked(f.optFechaAtencion);
    optFechaOcurrencia->setChecked(!f.optFechaAtencion);
    optAtencion->setChecked(f.optAtencion);
    optOcurrencia->setChecked(!f.optAtencion);
    optAfeccionPrincipal->setChecked(f.optAfeccionPrincipal);
    optCausaExterna->setChecked(!f.optAfeccionPrincipal);

    QStringList lineas;
    for (int i = 0; i < lstUnidades->count(); ++i)
        lineas << lstUnidades->item(i)->text();
    if (lineas != f.lstUnidades) {
        lstUnidades->clear();
        for (const QString &l : f.lstUnidades)
            new QListWidgetItem(l, lstUnidades);
    }
    for (int i = 0; i < lstUnidades->count(); ++i) {
        QListWidgetItem *item = lstUnidades->item(i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(f.unidadMarcada.value(i) ? Qt::Checked : Qt::Unchecked);
    }
    chkTodasUnidades->setChecked(f.chkTodasUnidades);
    for (QWidget *w : {static_cast<QWidget *>(fraDatosUnidades), static_cast<QWidget *>(chkTodasUnidades),
                       static_cast<QWidget *>(lstUnidades)})
        w->setEnabled(f.unidadesHabilitadas);
    ReflejaFecha(picFechaInicial, f.picFechaInicial);
    ReflejaFecha(picFechaFinal, f.picFechaFinal);
    frmLugar->setVisible(f.MarcosListaDetallada());
    frmCausa->setVisible(f.MarcosListaDetallada());
    reflejando_ = false;
}

void MuestraReportes(Contexto &ctx, QWidget *padre)
{
    frmReportes ventana(ctx, padre);
    ventana.exec();
}
