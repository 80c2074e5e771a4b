#include "app/Conexiones.h"

void ConectaHerramientas(Contexto &, mdiPrincipal &)
{
}
