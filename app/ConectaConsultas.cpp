#include "app/Conexiones.h"
#include "capture/frmRegistro.h"
#include "platform/DialogoArchivos.h"
#include "queries/frmGenConsultas.h"
#include "queries/modVisData.h"
#include "shell/mdiPrincipal.h"

namespace {

// The query windows of the capture sheet's "Buscar" drop-down.
ConsultasHoja consultasHoja;
DialogoArchivosQt dialogoArchivos;

} // namespace

const ConsultasHoja &ConsultasDeLaHoja()
{
    return consultasHoja;
}

void ConectaConsultas(Contexto &ctx, mdiPrincipal &principal)
{
    consultasHoja.Filtrar = [&ctx](frmRegistro &hoja) {
        MuestraConsulta(ctx, dialogoArchivos, DestinoFiltro{&hoja.Registro(), {}}, &hoja);
    };
    consultasHoja.Exportar = [&ctx, &principal](frmRegistro &) {
        AbreGenConsultas(ctx, dialogoArchivos, OrigenConsulta::Hoja, &principal);
    };
}
