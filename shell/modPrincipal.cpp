#include "shell/modPrincipal.h"

#include "platform/CursorOcupado.h"
#include "platform/InstanciaUnica.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QDir>

QString ImagenFondo(const QString &carpetaPrograma, const QSize &pantalla)
{
    const bool grande = pantalla.width() >= 1024 && pantalla.height() >= 768;
    return QDir(carpetaPrograma).filePath(grande ? QStringLiteral("RECURSOS/TELMORIX1024.jpg")
                                                 : QStringLiteral("RECURSOS/TELMORIX800.jpg"));
}

bool Main(Contexto &ctx, InstanciaUnica &instancia, mdiPrincipal &principal, VentanasArranque &ventanas,
          const QSize &pantalla)
{
    if (!instancia.Adquiere()) {
        ctx.mensajes.Informa(QStringLiteral("La aplicacion VELMORAN ya se encuentra activa"), QStringLiteral("VELMORAN"));
        return false;
    }
    principal.tmrMDI()->stop();
    principal.tmrMDI()->setInterval(0);

    // Every failed open sends the user to the start-parameter window; the
    // program never goes on without an open database.
    for (;;) {
        LeeParamInicio(ctx);
        try {
            CursorOcupado reloj;
            ctx.ConexionBD.Abre(ctx.ArchivoBD);
            break;
        } catch (const ErrorBD &) {
            ctx.mensajes.Informa(QStringLiteral("El nombre de la Base de Datos es incorrecto\n"
                                                "por favor ingrese el nombre correcto "),
                                 QStringLiteral("Parámetros del sistema"));
            if (!ventanas.ParamInicio())
                return false;
            if (ctx.ConexionBD.EstaAbierta())
                break;
        }
    }

    principal.PonFondo(ImagenFondo(ctx.CarpetaPrograma, pantalla));
    if (!ventanas.Login()) {
        ctx.ConexionBD.Cierra();
        return false;
    }
    principal.MuestraEstadoAno();
    ctx.EscribePanel(QStringLiteral("Bienvenidos al Sistema VELMORAN"));
    principal.tmrMDI()->setInterval(20000);
    principal.tmrMDI()->start();
    principal.show();
    return true;
}
