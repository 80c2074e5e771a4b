#include "app/Conexiones.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"
#include "tools/Compacta.h"
#include "tools/frmBitacora.h"
#include "tools/frmEnvio.h"
#include "tools/frmRecive.h"
#include "tools/frmRespaldarBase.h"

#include <QApplication>

void ConectaHerramientas(Contexto &ctx, mdiPrincipal &principal)
{
    ConectaTablas(ctx, principal);
    // When the database cannot be opened again the user picks one in the
    // start-parameter window; cancelling there ends the program.
    const auto compacta = [&ctx, &principal] {
        return CompactaBaseDatos(ctx, &principal, [&ctx, &principal] {
            if (!MuestraParamInicio(ctx, &principal, true))
                QApplication::exit(0);
        });
    };
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 0, [&ctx, &principal, compacta] {
        frmRespaldarBase ventana(ctx, compacta, &principal);
        ventana.exec();
    });
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 1, compacta);
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 3, [&ctx, &principal] {
        frmEnvio ventana(ctx, &principal);
        ventana.exec();
    });
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 4, [&ctx, &principal] {
        frmRecive ventana(ctx, &principal);
        ventana.exec();
    });
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 5, [&ctx, &principal] {
        frmBitacora ventana(ctx, &principal);
        ventana.exec();
    });
}
