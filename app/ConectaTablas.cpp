#include "app/Conexiones.h"
#include "shell/Contexto.h"
#include "shell/mdiPrincipal.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

// The pivot table and the full flat table of the Herramientas menu.
void ConectaTablas(Contexto &ctx, mdiPrincipal &principal)
{
    principal.AsignaAccion(QStringLiteral("mnuHerra"), 13, [&ctx] { GeneraTablaDinamica(ctx); });
    principal.AsignaAccion(QStringLiteral("mnuTablaExcel"), 16, [&ctx] {
        ctx.TablaEnAccess = false;
        GeneraTablaCompleta(ctx);
    });
    principal.AsignaAccion(QStringLiteral("mnuTablaAcces"), 18, [&ctx] {
        ctx.TablaEnAccess = true;
        GeneraTablaCompleta(ctx);
    });
}
