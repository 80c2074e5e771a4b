#include "app/Conexiones.h"

void ConectaCatalogos(Contexto &, mdiPrincipal &)
{
}
