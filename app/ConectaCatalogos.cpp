#include "app/Conexiones.h"
#include "catalogs/modCatalogos.h"
#include "platform/ReportePintor.h"
#include "queries/modVisData.h"
#include "reports/modReportes.h"
#include "shell/mdiPrincipal.h"

#include <malloc.h>
#include <memory>

void ConectaCatalogos(Contexto &ctx, mdiPrincipal &principal)
{
    auto servicios = std::make_shared<ServiciosCatalogos>();
    servicios->BuscaCIE10 = [&ctx](frmCatListaDetallada &lista) {
        MuestraConsultaCIE10(ctx, [&lista](const ConsultaSQL &filtro) { lista.ActualizaListaDetallada(filtro); }, &lista);
    };
    servicios->Imprime = [&ctx, &principal](const QString &reporte, const QString &catalogo) {
        ImprimeReporteCatalogo(ctx, reporte, catalogo,
                               [&ctx, &principal](const DocumentoReporte &doc) {
                                   MuestraVistaPrevia(doc, SalidaDeReportes(ctx), &principal);
                               });
        malloc_trim(0);   // the many small pages of a large catalog go back to the system once it is closed
    };
    QMdiArea &area = *principal.Area();
    using Cargador = VentanaCatalogo *(*)(Contexto &, QMdiArea &, const ServiciosCatalogos &);
    const QList<QPair<int, Cargador>> cargadores = {
        {0, CargaCatEstados}, {1, CargaCatJurisd}, {2, CargaCatMpos}, {3, CargaCatLocalidades}, {6, CargaCatCLUES}};
    for (const auto &[indice, carga] : cargadores)
        principal.AsignaAccion(QStringLiteral("mnuCat"), indice,
                               [&ctx, &area, servicios, carga = carga] { carga(ctx, area, *servicios); });
    principal.AsignaAccion(QStringLiteral("mnuCat"), 8,
                           [&ctx, &area, servicios] { CargaListaDetallada(ctx, area, *servicios); });
    principal.AsignaCargaCatalogo([&ctx, &area, servicios](const QString &tabla, const QString &campo,
                                                           const QString &titulo) {
        CargaCatalogo(ctx, area, *servicios, tabla, campo, titulo);
    });
}
