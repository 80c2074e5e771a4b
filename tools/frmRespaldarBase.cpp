#include "tools/frmRespaldarBase.h"

#include "platform/DialogoArchivos.h"
#include "shell/Contexto.h"
#include "tools/AvisoHerramienta.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmRespaldarBase::frmRespaldarBase(Contexto &ctx, std::function<bool()> compacta, QWidget *padre)
    : QDialog(padre), logica(ctx, std::move(compacta)), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmRespaldarBase"));
    setWindowTitle(QStringLiteral("Respaldar Base de Datos"));
    setModal(true);
    PideRuta = [this](const QString &propuesta) {
        return DialogoArchivosQt(this, QStringLiteral("zip"))
            .Guardar(QStringLiteral("Guardar Respaldo en ..."), QFileInfo(propuesta).path(), QFileInfo(propuesta).fileName(),
                     QStringLiteral("Archivos Comprimidos (*.zip)"));
    };

    txtRuta = new QLineEdit(logica.RutaInicial(), this);
    txtRuta->setObjectName(QStringLiteral("txtRuta"));
    txtRuta->setMinimumWidth(520);
    auto *lblRuta = new QLabel(QStringLiteral("Ruta:"), this);
    lblRuta->setBuddy(txtRuta);
    cmdRuta = new QPushButton(QStringLiteral("Guardar en ..."), this);
    cmdRuta->setObjectName(QStringLiteral("cmdRuta"));
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));

    auto *fila = new QHBoxLayout;
    fila->addWidget(lblRuta);
    fila->addWidget(txtRuta, 1);
    fila->addWidget(cmdRuta);
    auto *botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdSalir);
    auto *v = new QVBoxLayout(this);
    v->addLayout(fila);
    v->addSpacing(12);
    v->addLayout(botones);

    connect(cmdRuta, &QPushButton::clicked, this, &frmRespaldarBase::Ruta);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmRespaldarBase::Aceptar);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
}

void frmRespaldarBase::Ruta()
{
    txtRuta->setText(logica.RutaElegida(PideRuta(logica.RutaInicial())));
}

void frmRespaldarBase::Aceptar()
{
    const QString destino = logica.Destino(txtRuta->text());
    const QString rechazo = logica.DestinoRechazado(destino);
    if (!rechazo.isEmpty()) {
        AvisoHerramienta(ctx_).Informa(rechazo, QStringLiteral("Respaldos VELMORAN"));
        txtRuta->setFocus();
        return;
    }
    // The compaction closes every window but the main one: this one goes first,
    // and the backup's messages stand over the main window.
    accept();
    logica.Respalda(destino);
}
