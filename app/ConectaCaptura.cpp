#include "app/Conexiones.h"
#include "capture/frmRegistro.h"
#include "shell/ParamInicio.h"
#include "shell/mdiPrincipal.h"

#include <QApplication>

void ConectaCaptura(Contexto &ctx, mdiPrincipal &principal)
{
    principal.AsignaAccion(QStringLiteral("mnuCapt"), 0,
                           [&ctx, &principal] { AbreHojaRegistro(ctx, *principal.Area(), ConsultasDeLaHoja()); });
    principal.AsignaAccion(QStringLiteral("mnuParaIni"), 0, [&ctx, &principal] {
        if (!MuestraParamInicio(ctx, &principal, false))
            QApplication::exit(0);
    });
}
