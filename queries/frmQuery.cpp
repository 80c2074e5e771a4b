#include "queries/frmQuery.h"

#include "queries/ArchivoConsulta.h"
#include "queries/PanelCriterio.h"
#include "shell/Contexto.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmQuery::frmQuery(Contexto &ctx, DialogoArchivos &dialogo, const DestinoFiltro &destino, QWidget *padre)
    : QDialog(padre), ctx_(ctx), dialogo_(dialogo), destino_(destino)
{
    setObjectName(QStringLiteral("frmQuery"));
    setWindowTitle(QStringLiteral("Generador de Consultas"));
    panel_ = new PanelCriterio(ctx, destino.Origen(), false, QStringLiteral("Criterio: "), this);
    panel_->PonCriterio(ctx.CriterioConsulta);

    auto boton = [this](const QString &texto, const QString &nombre) {
        auto *b = new QPushButton(texto, this);
        b->setObjectName(nombre);
        b->setAutoDefault(false);
        return b;
    };
    ejecutar_ = boton(QStringLiteral("&Ejecutar"), QStringLiteral("cmdRunQuery"));
    edicion_[0] = boton(QStringLiteral("&Grabar"), QStringLiteral("cmdEdicion_0"));
    edicion_[1] = boton(QStringLiteral("Ca&rgar"), QStringLiteral("cmdEdicion_1"));
    cerrar_ = boton(QStringLiteral("&Cerrar"), QStringLiteral("cmdClose"));

    auto *botones = new QHBoxLayout;
    botones->addWidget(ejecutar_);
    botones->addStretch();
    botones->addWidget(edicion_[0]);
    botones->addWidget(edicion_[1]);
    botones->addWidget(cerrar_);
    auto *capas = new QVBoxLayout(this);
    capas->addWidget(panel_);
    capas->addLayout(botones);
    resize(640, 380);

    connect(ejecutar_, &QPushButton::clicked, this, [this] {
        if (EjecutaFiltro(ctx_, panel_->Criterio(), destino_))
            accept();
    });
    connect(edicion_[0], &QPushButton::clicked, this, &frmQuery::GrabaConsulta);
    connect(edicion_[1], &QPushButton::clicked, this, &frmQuery::CargaConsulta);
    connect(cerrar_, &QPushButton::clicked, this, &QDialog::reject);
}

void frmQuery::done(int resultado)
{
    ctx_.CriterioConsulta = panel_->Criterio();
    QDialog::done(resultado);
}

void frmQuery::GrabaConsulta()
{
    DatosConsulta datos = panel_->Datos();
    datos.tipo = TipoFiltro;
    ::GrabaConsulta(ctx_.mensajes, dialogo_, ctx_.RutaDatos, datos, false);
}

void frmQuery::CargaConsulta()
{
    DatosConsulta datos;
    if (::CargaConsulta(ctx_.mensajes, dialogo_, ctx_.RutaDatos, panel_->Origen(), false, datos))
        panel_->Muestra(datos);
}
