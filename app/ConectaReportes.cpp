#include "app/Conexiones.h"
#include "reports/frmReportes.h"
#include "shell/mdiPrincipal.h"

void ConectaReportes(Contexto &ctx, mdiPrincipal &principal)
{
    principal.AsignaAccion(QStringLiteral("mnuReportes"), 0, [&ctx, &principal] { MuestraReportes(ctx, &principal); });
}
