#include "app/Conexiones.h"

void ConectaConsultas(Contexto &, mdiPrincipal &)
{
}
