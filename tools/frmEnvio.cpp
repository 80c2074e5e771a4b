#include "tools/frmEnvio.h"

#include "platform/DialogoArchivos.h"
#include "shell/Contexto.h"
#include "tools/EnvioPaquete.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

void EnlazaSeleccionTodo(QCheckBox *todo, QListWidget *lista)
{
    const auto todas = [lista] { return LineasMarcadas(lista).size() == lista->count() && lista->count() > 0; };
    QObject::connect(todo, &QCheckBox::clicked, lista, [todo, lista, todas](bool marcado) {
        if (!marcado && !todas())
            return;
        for (int i = 0; i < lista->count(); ++i)
            lista->item(i)->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
        todo->setChecked(marcado);
    });
    QObject::connect(lista, &QListWidget::itemChanged, todo, [todo, todas](QListWidgetItem *item) {
        if (item->checkState() != Qt::Checked)
            todo->setChecked(false);
        else if (todas())
            todo->setChecked(true);
    });
}

QStringList LineasMarcadas(const QListWidget *lista, int rol)
{
    QStringList lineas;
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->checkState() == Qt::Checked)
            lineas << lista->item(i)->data(rol).toString();
    return lineas;
}

namespace {
QLineEdit *CajaFecha(const QString &nombre, QWidget *padre)
{
    auto *caja = new QLineEdit(padre);
    caja->setObjectName(nombre);
    caja->setInputMask(QStringLiteral("00/00/0000;_"));
    return caja;
}

void Llena(QListWidget *lista, const QStringList &lineas)
{
    lista->clear();
    for (const QString &l : lineas) {
        auto *item = new QListWidgetItem(l, lista);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}
} // namespace

frmEnvio::frmEnvio(Contexto &ctx, QWidget *padre) : QDialog(padre), logica(ctx), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmEnvio"));
    setWindowTitle(QStringLiteral("Envio"));
    setModal(true);
    PideRuta = [this](const QString &propuesta) {
        return DialogoArchivosQt(this).Guardar(QStringLiteral("Guardar Envio en ..."), QFileInfo(propuesta).path(),
                                               QFileInfo(propuesta).fileName(), QStringLiteral("Archivos Comprimidos (*.zip)"));
    };

    chkEventos = new QCheckBox(QStringLiteral("Atenciónes por Violencia y/o Lesion"), this);
    fraDatos = new QGroupBox(QStringLiteral("Unidad Médica"), this);
    chkTodasUnidades = new QCheckBox(QStringLiteral("Seleccionar todo"), fraDatos);
    lstUnidades = new QListWidget(fraDatos);
    auto *vDatos = new QVBoxLayout(fraDatos);
    vDatos->addWidget(chkTodasUnidades);
    vDatos->addWidget(lstUnidades);

    fraPeriodo = new QGroupBox(QStringLiteral("Periodo "), this);
    mskFechaIni = CajaFecha(QStringLiteral("mskFechaIni"), fraPeriodo);
    mskFechaFin = CajaFecha(QStringLiteral("mskFechaFin"), fraPeriodo);
    auto *hPeriodo = new QHBoxLayout(fraPeriodo);
    hPeriodo->addWidget(new QLabel(QStringLiteral("Del"), fraPeriodo));
    hPeriodo->addWidget(mskFechaIni);
    hPeriodo->addWidget(new QLabel(QStringLiteral("Al"), fraPeriodo));
    hPeriodo->addWidget(mskFechaFin);
    hPeriodo->addStretch();

    Frame1 = new QGroupBox(QStringLiteral("Catálogos"), this);
    chkSelectAll = new QCheckBox(QStringLiteral("Seleccionar todo"), Frame1);
    lstTablas = new QListWidget(Frame1);
    auto *vTablas = new QVBoxLayout(Frame1);
    vTablas->addWidget(chkSelectAll);
    vTablas->addWidget(lstTablas);

    txtRuta = new QLineEdit(logica.RutaInicial(), this);
    txtRuta->setReadOnly(true);   // the package name is fixed; cmdRuta changes the folder
    cmdRuta = new QPushButton(QStringLiteral("Cambiar &Ruta..."), this);
    cmdAceptar = new QPushButton(QStringLiteral("&Enviar"), this);
    cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    const std::pair<QWidget *, const char *> nombres[] = {
        {chkEventos, "chkEventos"}, {fraDatos, "fraDatos"},     {chkTodasUnidades, "chkTodasUnidades"},
        {lstUnidades, "lstUnidades"}, {fraPeriodo, "fraPeriodo"}, {Frame1, "Frame1"},
        {chkSelectAll, "chkSelectAll"}, {lstTablas, "lstTablas"}, {txtRuta, "txtRuta"},
        {cmdRuta, "cmdRuta"},         {cmdAceptar, "cmdAceptar"}, {cmdSalir, "cmdSalir"}};
    for (const auto &[w, n] : nombres)
        w->setObjectName(QString::fromLatin1(n));

    auto *g = new QGridLayout(this);
    g->addWidget(chkEventos, 0, 0, 1, 2);
    g->addWidget(fraDatos, 1, 0, 2, 1);
    g->addWidget(fraPeriodo, 3, 0);
    g->addWidget(Frame1, 1, 1, 3, 1);
    auto *ruta = new QHBoxLayout;
    ruta->addWidget(new QLabel(QStringLiteral("Guardar en:"), this));
    ruta->addWidget(txtRuta, 1);
    ruta->addWidget(cmdRuta);
    g->addLayout(ruta, 4, 0, 1, 2);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdSalir);
    g->addLayout(botones, 5, 0, 1, 2);
    g->setRowStretch(1, 1);
    g->setRowStretch(2, 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    resize(820, 520);

    EnlazaSeleccionTodo(chkTodasUnidades, lstUnidades);
    EnlazaSeleccionTodo(chkSelectAll, lstTablas);
    connect(chkEventos, &QCheckBox::clicked, this, &frmEnvio::CambiaEventos);
    connect(cmdRuta, &QPushButton::clicked, this,
            [this] { txtRuta->setText(logica.RutaElegida(PideRuta(txtRuta->text()))); });
    connect(cmdAceptar, &QPushButton::clicked, this, &frmEnvio::ValidaEnvio);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);

    Llena(lstTablas, TablasCatalogo(ctx.ConexionBD));
    chkEventos->setChecked(true);
    CambiaEventos();
}

void frmEnvio::CambiaEventos()
{
    if (chkEventos->isChecked()) {
        Llena(lstUnidades, logica.Unidades());
        if (lstUnidades->count() > 0) {
            fraDatos->setEnabled(true);
            fraPeriodo->setEnabled(true);
            // Every unit ticked; the box follows its lines.
            for (int i = 0; i < lstUnidades->count(); ++i)
                lstUnidades->item(i)->setCheckState(Qt::Checked);
            return;
        }
        chkEventos->setChecked(false);   // no unit has events: nothing to send of them
    }
    chkTodasUnidades->setChecked(false);
    lstUnidades->clear();
    fraDatos->setEnabled(false);
}

void frmEnvio::ValidaEnvio()
{
    Envio::Seleccion s;
    s.eventos = chkEventos->isChecked();
    s.todasUnidades = chkTodasUnidades->isChecked();
    s.unidades = LineasMarcadas(lstUnidades);
    s.tablas = LineasMarcadas(lstTablas);
    switch (logica.ValidaEnvio(mskFechaIni->displayText(), mskFechaFin->displayText(), s)) {
    case Envio::Foco::FechaIni: mskFechaIni->setFocus(); return;
    case Envio::Foco::FechaFin: mskFechaFin->setFocus(); return;
    case Envio::Foco::Unidades: lstUnidades->setFocus(); return;
    case Envio::Foco::Tablas: lstTablas->setFocus(); return;
    case Envio::Foco::Ninguno: break;
    }
    logica.GeneraEnvio(s, txtRuta->text());
}
