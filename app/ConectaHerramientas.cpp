#include "app/Conexiones.h"

void ConectaHerramientas(Contexto &ctx, mdiPrincipal &principal)
{
    ConectaTablas(ctx, principal);
}
