#include "app/Conexiones.h"
#include "capture/frmRegistro.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "tools/Compacta.h"
#include "tools/EnvioPaquete.h"
#include "tools/frmBitacora.h"
#include "tools/frmEnvio.h"
#include "tools/frmRecive.h"
#include "tools/frmRespaldarBase.h"

#include <QApplication>
#include <functional>

void ConectaHerramientas(Contexto &ctx, mdiPrincipal &principal)
{
    ConectaTablas(ctx, principal);
    // What a send, backup or reception killed before its end left in Datos
    // goes at start-up rather than at the next run into that folder.
    ctx.AlArrancar = [&ctx] { BorraRestosEnDatos(ctx.RutaDatos); };
    // When the database cannot be opened again the user picks one in the
    // start-parameter window; cancelling there ends the program.
    const auto compacta = [&ctx, &principal] {
        return CompactaBaseDatos(ctx, &principal, [&ctx, &principal] {
            if (!MuestraParamInicio(ctx, &principal, true))
                QApplication::exit(0);
        });
    };
    // A tool may write events (a reception merges them): the open capture
    // sheet then follows, as it would after a write of its own.
    const auto herramienta = [&principal](int item, const std::function<void()> &accion) {
        principal.AsignaAccion(QStringLiteral("mnuHerra"), item, [&principal, accion] {
            accion();
            RecargaHojaRegistro(*principal.Area());
        });
    };
    herramienta(0, [&ctx, &principal, compacta] {
        frmRespaldarBase ventana(ctx, compacta, &principal);
        ventana.exec();
    });
    herramienta(1, compacta);
    herramienta(3, [&ctx, &principal] {
        frmEnvio ventana(ctx, &principal);
        ventana.exec();
    });
    herramienta(4, [&ctx, &principal] {
        frmRecive ventana(ctx, &principal);
        ventana.exec();
    });
    herramienta(5, [&ctx, &principal] {
        frmBitacora ventana(ctx, &principal);
        ventana.exec();
    });
}
