#include "app/Conexiones.h"

void ConectaReportes(Contexto &, mdiPrincipal &)
{
}
