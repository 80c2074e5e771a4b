#include "app/Conexiones.h"
#include "catalogs/modCatalogos.h"
#include "shell/mdiPrincipal.h"

#include <memory>

void ConectaCatalogos(Contexto &ctx, mdiPrincipal &principal)
{
    // The catalog prints and the ICD-10 filter join here once their windows exist.
    auto servicios = std::make_shared<ServiciosCatalogos>();
    QMdiArea &area = *principal.Area();
    using Cargador = VentanaCatalogo *(*)(Contexto &, QMdiArea &, const ServiciosCatalogos &);
    const QList<QPair<int, Cargador>> geograficos = {
        {0, CargaCatEstados}, {1, CargaCatJurisd}, {2, CargaCatMpos}, {3, CargaCatLocalidades}, {6, CargaCatCLUES}};
    for (const auto &[indice, carga] : geograficos)
        principal.AsignaAccion(QStringLiteral("mnuCat"), indice,
                               [&ctx, &area, servicios, carga = carga] { carga(ctx, area, *servicios); });
    principal.AsignaAccion(QStringLiteral("mnuCat"), 8,
                           [&ctx, &area, servicios] { CargaListaDetallada(ctx, area, *servicios); });
    principal.AsignaCargaCatalogo([&ctx, &area, servicios](const QString &tabla, const QString &campo,
                                                           const QString &titulo) {
        CargaCatalogo(ctx, area, *servicios, tabla, campo, titulo);
    });
}
