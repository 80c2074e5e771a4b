#include "app/Arranque.h"
#include "app/Conexiones.h"
#include "shell/ParamInicio.h"
#include "shell/frmInicio.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

void PreparaAplicacion()
{
    QApplication::setApplicationName(QStringLiteral("VELMORAN"));
    QApplication::setOrganizationName(QStringLiteral("VELMORAN"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));

    auto *traductor = new QTranslator(qApp);
    if (traductor->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(traductor);
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
