#include "queries/frmGenConsultas.h"

#include "platform/Mensajes.h"
#include "queries/PanelCriterio.h"
#include "shell/Contexto.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmGenConsultas::frmGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, OrigenConsulta origen, QWidget *padre)
    : QDialog(padre), ctx_(ctx), dialogo_(dialogo), origen_(origen)
{
    setObjectName(QStringLiteral("frmGenConsultas"));
    setWindowTitle(QStringLiteral("Generador de Consultas"));
    panel_ = new PanelCriterio(ctx, origen, true, QStringLiteral("Criteria:"), this);

    lstOrigen = new QListWidget(this);
    lstOrigen->setObjectName(QStringLiteral("lstOrigen"));
    lstOrigen->addItems(EntradasCampos(origen));
    lstOrigen->setCurrentRow(0);
    lstSeleccion = new QListWidget(this);
    lstSeleccion->setObjectName(QStringLiteral("lstSeleccion"));
    auto *flechas = new QVBoxLayout;
    flechas->addStretch();
    const char *textos[4] = {">", ">>", "<", "<<"};
    for (int i = 0; i < 4; ++i) {
        cmdSeleccion[i] = new QPushButton(QLatin1String(textos[i]), this);
        cmdSeleccion[i]->setObjectName(QStringLiteral("cmdSeleccion_%1").arg(i));
        cmdSeleccion[i]->setAutoDefault(false);
        cmdSeleccion[i]->setFixedWidth(40);
        flechas->addWidget(cmdSeleccion[i]);
        connect(cmdSeleccion[i], &QPushButton::clicked, this, [this, i] { Selecciona(i); });
    }
    flechas->addStretch();

    Frame1 = new QGroupBox(QStringLiteral(" Formato "), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *formatos = new QVBoxLayout(Frame1);
    const char *nombres[3] = {"Access", "Excel", "Dbase"};
    for (int i = 0; i < 3; ++i) {
        optFormato[i] = new QRadioButton(QLatin1String(nombres[i]), Frame1);
        optFormato[i]->setObjectName(QStringLiteral("optFormato_%1").arg(i));
        formatos->addWidget(optFormato[i]);
    }
    optFormato[0]->setChecked(true);

    auto boton = [this](const QString &texto, const QString &nombre) {
        auto *b = new QPushButton(texto, this);
        b->setObjectName(nombre);
        b->setAutoDefault(false);
        return b;
    };
    cmdRunQuery = boton(QStringLiteral("&Ejecutar"), QStringLiteral("cmdRunQuery"));
    cmdRunQuery->setEnabled(false);
    cmdEdicion[0] = boton(QStringLiteral("&Grabar"), QStringLiteral("cmdEdicion_0"));
    cmdEdicion[1] = boton(QStringLiteral("Ca&rgar"), QStringLiteral("cmdEdicion_1"));
    cmdClose = boton(QStringLiteral("&Cerrar"), QStringLiteral("cmdClose"));

    auto *listas = new QGridLayout;
    auto *disponibles = new QLabel(QStringLiteral("Campos Disponibles"), this);
    disponibles->setObjectName(QStringLiteral("lblLabels_4"));
    auto *seleccionados = new QLabel(QStringLiteral("Campos Seleccionados"), this);
    seleccionados->setObjectName(QStringLiteral("lblLabels_5"));
    listas->addWidget(disponibles, 0, 0);
    listas->addWidget(seleccionados, 0, 2);
    listas->addWidget(lstOrigen, 1, 0);
    listas->addLayout(flechas, 1, 1);
    listas->addWidget(lstSeleccion, 1, 2);
    auto *derecha = new QVBoxLayout;
    derecha->addWidget(Frame1);
    derecha->addStretch();
    derecha->addWidget(cmdRunQuery);
    derecha->addWidget(cmdEdicion[0]);
    derecha->addWidget(cmdEdicion[1]);
    derecha->addWidget(cmdClose);
    listas->addLayout(derecha, 1, 3);

    auto *capas = new QVBoxLayout(this);
    capas->addLayout(listas, 1);
    capas->addWidget(panel_);
    resize(720, 560);

    connect(cmdRunQuery, &QPushButton::clicked, this, [this] {
        if (ejecuta_)
            ejecuta_(*this);
    });
    connect(cmdEdicion[0], &QPushButton::clicked, this, &frmGenConsultas::GrabaConsulta);
    connect(cmdEdicion[1], &QPushButton::clicked, this, &frmGenConsultas::CargaConsulta);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList frmGenConsultas::Seleccion() const
{
    QStringList elegidos;
    for (int i = 0; i < lstSeleccion->count(); ++i)
        elegidos << lstSeleccion->item(i)->text();
    return elegidos;
}

int frmGenConsultas::Formato() const
{
    for (int i = 0; i < 3; ++i)
        if (optFormato[i]->isChecked())
            return i;
    return 0;
}

DatosConsulta frmGenConsultas::Datos() const
{
    DatosConsulta d = panel_->Datos();
    d.tipo = Formato();
    d.seleccion = Seleccion();
    return d;
}

void frmGenConsultas::PonEjecucion(const std::function<void(frmGenConsultas &)> &ejecuta)
{
    ejecuta_ = ejecuta;
    cmdRunQuery->setEnabled(bool(ejecuta_));
}

void frmGenConsultas::Selecciona(int indice)
{
    const QString titulo = QStringLiteral("Genera Consultas");
    switch (indice) {
    case 0: {
        QListWidgetItem *actual = lstOrigen->currentItem();
        if (!actual)
            return;
        if (Seleccion().contains(actual->text(), Qt::CaseInsensitive)) {
            ctx_.mensajes.Informa(QStringLiteral("Ya agrego este campo: ") + actual->text(), titulo);
            return;
        }
        lstSeleccion->addItem(actual->text());
        if (lstOrigen->currentRow() < lstOrigen->count() - 1)
            lstOrigen->setCurrentRow(lstOrigen->currentRow() + 1);
        break;
    }
    case 1:
        lstSeleccion->clear();
        for (int i = 0; i < lstOrigen->count(); ++i)
            lstSeleccion->addItem(lstOrigen->item(i)->text());
        lstOrigen->setCurrentRow(lstOrigen->count() - 1);
        break;
    case 2:
        if (!lstSeleccion->currentItem() || !lstSeleccion->currentItem()->isSelected()) {
            ctx_.mensajes.Informa(QStringLiteral("No ha seleccionado nungún campo"), titulo);
            return;
        }
        delete lstSeleccion->takeItem(lstSeleccion->currentRow());
        break;
    case 3: lstSeleccion->clear(); break;
    default: break;
    }
}

void frmGenConsultas::GrabaConsulta()
{
    ::GrabaConsulta(ctx_.mensajes, dialogo_, ctx_.RutaDatos, Datos(), true);
}

void frmGenConsultas::CargaConsulta()
{
    DatosConsulta datos;
    if (!::CargaConsulta(ctx_.mensajes, dialogo_, ctx_.RutaDatos, origen_, true, datos))
        return;
    if (datos.tipo >= 0 && datos.tipo <= 2)
        optFormato[datos.tipo]->setChecked(true);
    panel_->Muestra(datos);
    lstSeleccion->clear();
    lstSeleccion->addItems(datos.seleccion);
}

frmGenConsultas *AbreGenConsultas(Contexto &ctx, DialogoArchivos &dialogo, OrigenConsulta origen, QWidget *padre)
{
    static QPointer<frmGenConsultas> abierta;
    if (abierta) {
        abierta->raise();
        abierta->activateWindow();
        return abierta;
    }
    abierta = new frmGenConsultas(ctx, dialogo, origen, padre);
    abierta->setAttribute(Qt::WA_DeleteOnClose);
    abierta->show();
    return abierta;
}
