#include "app/Conexiones.h"
#include "capture/frmRegistro.h"
#include "platform/DialogoArchivos.h"
#include "queries/EjecutaGenConsultas.h"
#include "queries/frmGenConsultas.h"
#include "queries/frmTabla.h"
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
        frmGenConsultas *generador = AbreGenConsultas(ctx, dialogoArchivos, OrigenConsulta::Hoja, &principal);
        generador->PonEjecucion([&ctx](frmGenConsultas &v) { EjecutaGenConsultas(ctx, dialogoArchivos, v); });
    };
    consultasHoja.VerTabla = [&ctx](frmRegistro &hoja) {
        AbreTabla(ctx, hoja.Registro(),
                  [&ctx](QWidget *padre) { AbreGenConsultasModal(ctx, dialogoArchivos, padre); }, &hoja);
    };
}
