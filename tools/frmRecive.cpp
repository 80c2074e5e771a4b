#include "tools/frmRecive.h"

#include "platform/DialogoArchivos.h"
#include "shell/Contexto.h"
#include "tools/frmEnvio.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmRecive::frmRecive(Contexto &ctx, QWidget *padre) : QDialog(padre), logica(ctx), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmRecive"));
    setWindowTitle(QStringLiteral("Recepción"));
    setModal(true);
    PideArchivo = [this](const QString &carpeta) {
        return DialogoArchivosQt(this).Abrir(QStringLiteral("Seleccionar Archivo ..."), carpeta,
                                             QStringLiteral("Archivos Comprimidos (*.zip)"));
    };

    txtRuta = new QLineEdit(this);
    txtRuta->setReadOnly(true);
    cmdRuta = new QPushButton(QStringLiteral("Seleccionar Archivo ..."), this);
    chkEventos = new QCheckBox(QStringLiteral("Atenciónes por Violencia y/o Lesión"), this);
    Frame1 = new QGroupBox(QStringLiteral("Catálogos"), this);
    chkSelectAll = new QCheckBox(QStringLiteral("Seleccionar todo"), Frame1);
    lstTablas = new QListWidget(Frame1);
    cmdAceptar = new QPushButton(QStringLiteral("&Recibir"), this);
    cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    const std::pair<QWidget *, const char *> nombres[] = {
        {txtRuta, "txtRuta"},         {cmdRuta, "cmdRuta"},     {chkEventos, "chkEventos"}, {Frame1, "Frame1"},
        {chkSelectAll, "chkSelectAll"}, {lstTablas, "lstTablas"}, {cmdAceptar, "cmdAceptar"}, {cmdSalir, "cmdSalir"}};
    for (const auto &[w, n] : nombres)
        w->setObjectName(QString::fromLatin1(n));

    auto *vTablas = new QVBoxLayout(Frame1);
    vTablas->addWidget(chkSelectAll);
    vTablas->addWidget(lstTablas);
    auto *ruta = new QHBoxLayout;
    ruta->addWidget(new QLabel(QStringLiteral("Recuperar de :"), this));
    ruta->addWidget(txtRuta, 1);
    ruta->addWidget(cmdRuta);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdSalir);
    auto *v = new QVBoxLayout(this);
    v->addLayout(ruta);
    v->addWidget(new QLabel(QStringLiteral("La Información que puede recibir es la siguiente :"), this));
    v->addWidget(chkEventos);
    v->addWidget(Frame1, 1);
    v->addLayout(botones);
    resize(640, 460);

    EnlazaSeleccionTodo(chkSelectAll, lstTablas);
    connect(cmdRuta, &QPushButton::clicked, this, &frmRecive::Selecciona);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmRecive::Recibir);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
    Muestra();
}

// The choices mirror what the package that was read offers.
void frmRecive::Muestra()
{
    chkEventos->setEnabled(logica.TieneEventos);
    chkEventos->setChecked(logica.TieneEventos);
    lstTablas->clear();
    for (const QString &tabla : logica.Catalogos) {
        auto *item = new QListWidgetItem(Recepcion::NombreCatalogo(tabla), lstTablas);
        item->setData(Qt::UserRole, tabla);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    Frame1->setEnabled(!logica.Catalogos.isEmpty());
    chkSelectAll->setChecked(!logica.Catalogos.isEmpty());
    cmdAceptar->setEnabled(logica.TieneEventos || !logica.Catalogos.isEmpty());
}

void frmRecive::Selecciona()
{
    const QString carpeta = txtRuta->text().isEmpty() ? ctx_.RutaDatos : QFileInfo(txtRuta->text()).absolutePath();
    const QString archivo = PideArchivo(carpeta);
    if (archivo.isEmpty())
        return;
    txtRuta->setText(logica.Abre(archivo) ? archivo : QString());
    Muestra();
}

void frmRecive::Recibir()
{
    const QStringList tablas = LineasMarcadas(lstTablas, Qt::UserRole);
    if (logica.Recibe(chkEventos->isChecked(), tablas))
        accept();
    else if (!chkEventos->isChecked() && tablas.isEmpty())
        lstTablas->setFocus();
}
