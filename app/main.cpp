// The program: builds the process-wide services, wires the main window's
// menus to every subsystem's windows and runs start-up.
#include "app/Arranque.h"
#include "app/Conexiones.h"
#include "platform/InstanciaUnica.h"
#include "shell/mdiPrincipal.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PreparaAplicacion();

    MensajesQt mensajes;
    Ajustes ajustes;
    Reloj reloj;
    Contexto ctx(QApplication::applicationDirPath(), mensajes, ajustes, reloj);
    InstanciaUnica instancia;
    mdiPrincipal principal(ctx);
    VentanasReales ventanas(ctx, principal);
    ConectaSubsistemas(ctx, principal);

    const QSize pantalla = QApplication::primaryScreen() ? QApplication::primaryScreen()->size() : QSize(1024, 768);
    if (!Main(ctx, instancia, principal, ventanas, pantalla))
        return 0;
    return app.exec();
}
