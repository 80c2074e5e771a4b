#pragma once

#include "platform/ReporteMaqueta.h"
#include "platform/ReportePintor.h"

#include <QString>
#include <functional>

class Contexto;

// Shows a finished catalog print (the window: the print preview, from which
// the user prints or saves a PDF).
using MuestraDocumento = std::function<void(const DocumentoReporte &)>;

// Catalog printing: the print of a catalog window's report ("rptCatEstados"
// ... "rptCatalogos"), as the windows' print button asks for it, laid out from
// the working database through its definition in Reportes/ and handed to
// `muestra`. A print starts from fresh named texts: nothing of a statistical
// report reaches it. A print that cannot be produced says why, in a box
// titled with the catalog's title, and returns false; an unknown report says
// so. No filter of a catalog window reaches the print. "rptCatalogos" is the
// coded catalog on show, from the work table TMPCATALOGO (Codigo,
// Descripcion) that its window fills; `catalogo` (the window's caption)
// reaches the definition as the plain named text "Catalogo".
bool ImprimeReporteCatalogo(Contexto &ctx, const QString &reporte, const QString &catalogo,
                            const MuestraDocumento &muestra);

// What the previews of reports and catalogs save their PDFs with: the
// program's messages and file dialog, starting in the program folder, never
// over the working database or the template.
SalidaReporte SalidaDeReportes(Contexto &ctx);
