// The program: builds the process-wide services, runs start-up and wires the
// main window's menus to the windows of each subsystem.
#include "app/Conexiones.h"
#include "platform/InstanciaUnica.h"
#include "shell/ParamInicio.h"
#include "shell/frmInicio.h"
#include "shell/mdiPrincipal.h"
#include "shell/modPrincipal.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace {

class VentanasReales : public VentanasArranque {
public:
    VentanasReales(Contexto &ctx, mdiPrincipal &principal) : ctx_(ctx), principal_(principal) {}
    bool Login() override
    {
        frmInicio login(ctx_);
        return login.exec() == QDialog::Accepted;
    }
    bool ParamInicio() override { return MuestraParamInicio(ctx_, &principal_, false); }

private:
    Contexto &ctx_;
    mdiPrincipal &principal_;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VELMORAN"));
    QApplication::setOrganizationName(QStringLiteral("VELMORAN"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));

    QTranslator traductor;
    if (traductor.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traductor);

    MensajesQt mensajes;
    Ajustes ajustes;
    Reloj reloj;
    Contexto ctx(QApplication::applicationDirPath(), mensajes, ajustes, reloj);
    InstanciaUnica instancia;
    mdiPrincipal principal(ctx);
    VentanasReales ventanas(ctx, principal);
    ConectaCaptura(ctx, principal);
    ConectaConsultas(ctx, principal);
    ConectaReportes(ctx, principal);
    ConectaHerramientas(ctx, principal);
    ConectaCatalogos(ctx, principal);

    const QSize pantalla = QApplication::primaryScreen() ? QApplication::primaryScreen()->size() : QSize(1024, 768);
    if (!Main(ctx, instancia, principal, ventanas, pantalla))
        return 0;
    return app.exec();
}
