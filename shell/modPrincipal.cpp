#include "shell/modPrincipal.h"

#include "platform/CursorOcupado.h"
#include "platform/InstanciaUnica.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QFileInfo>

QString ImagenFondo(const QString &carpetaRecursos, const QSize &pantalla)
{
    const bool grande = pantalla.width() >= 1024 && pantalla.height() >= 768;
    return QDir(carpetaRecursos).filePath(grande ? QStringLiteral("TELMORIX1024.jpg") : QStringLiteral("TELMORIX800.jpg"));
}

QString ArchivoIcono(const QString &carpetaRecursos)
{
    return QDir(carpetaRecursos).filePath(QStringLiteral("VELMORAN.png"));
}

bool Main(Contexto &ctx, InstanciaUnica &instancia, mdiPrincipal &principal, VentanasArranque &ventanas,
          const QSize &pantalla)
{
    if (!instancia.Adquiere()) {
        ctx.mensajes.Informa(QStringLiteral("La aplicacion VELMORAN ya se encuentra activa"), QStringLiteral("VELMORAN"));
        return false;
    }
    if (ctx.AlArrancar)
        ctx.AlArrancar();
    // Every window of the program, the main one and the sheets, wears it;
    // without the file they keep the platform's own.
    if (const QString icono = ArchivoIcono(ctx.CarpetaRecursos()); QFileInfo::exists(icono))
        QApplication::setWindowIcon(QIcon(icono));
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
        } catch (const ErrorBD &e) {
            // A file that is there but does not open also says why (a folder
            // without writing, a damaged file); a missing one asks for the name.
            QString texto = QStringLiteral("El nombre de la Base de Datos es incorrecto\n"
                                           "por favor ingrese el nombre correcto ");
            if (QFileInfo::exists(ctx.ArchivoBD))
                texto += QStringLiteral("\n\n") + e.Descripcion();
            ctx.mensajes.Informa(texto, QStringLiteral("Parámetros del sistema"));
            if (!ventanas.ParamInicio())
                return false;
            if (ctx.ConexionBD.EstaAbierta())
                break;
        }
    }

    principal.PonFondo(ImagenFondo(ctx.CarpetaRecursos(), pantalla));
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
