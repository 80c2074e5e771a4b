#include "app/Arranque.h"
#include "app/Conexiones.h"
#include "platform/IdiomaQt.h"
#include "shell/ParamInicio.h"
#include "shell/frmInicio.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

void PreparaAplicacion()
{
    QApplication::setApplicationName(QStringLiteral("VELMORAN"));
    QApplication::setOrganizationName(QStringLiteral("VELMORAN"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    PreparaIdiomaQt();
}

bool VentanasReales::Login()
{
    frmInicio login(ctx_);
    return login.exec() == QDialog::Accepted;
}

bool VentanasReales::ParamInicio()
{
    return MuestraParamInicio(ctx_, &principal_, false);
}

void ConectaSubsistemas(Contexto &ctx, mdiPrincipal &principal)
{
    ConectaCaptura(ctx, principal);
    ConectaConsultas(ctx, principal);
    ConectaReportes(ctx, principal);
    ConectaHerramientas(ctx, principal);
    ConectaCatalogos(ctx, principal);
}
