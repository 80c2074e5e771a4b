#pragma once

#include "platform/ReporteMaqueta.h"

#include <QString>
#include <functional>

class Contexto;

// Shows a finished catalog print (the window: the print preview, from which
// the user prints or saves a PDF).
using MuestraDocumento = std::function<void(const DocumentoReporte &)>;

// Catalog printing. Each procedure lays its catalog out from the working
// database through its definition in Reportes/ and hands the document to
// `muestra`. A print starts from fresh named texts: nothing of a statistical
// report reaches it. A print that cannot be produced says why, in a box
// titled with the catalog's title, and returns false. No filter of a catalog
// window reaches the print.
bool ImprimeCatEstados(Contexto &ctx, const MuestraDocumento &muestra);
bool ImprimeCatJurisd(Contexto &ctx, const MuestraDocumento &muestra);
bool ImprimeCatMpos(Contexto &ctx, const MuestraDocumento &muestra);
bool ImprimeCatLocalidades(Contexto &ctx, const MuestraDocumento &muestra);
bool ImprimeCatCLUES(Contexto &ctx, const MuestraDocumento &muestra);
bool ImprimeCatListaDet(Contexto &ctx, const MuestraDocumento &muestra);
// The coded catalog on show, from the work table TMPCATALOGO (Codigo,
// Descripcion) that its window fills; `catalogo` (the window's caption)
// reaches the definition as the plain named text "Catalogo".
bool ImprimeCatalogo(Contexto &ctx, const QString &catalogo, const MuestraDocumento &muestra);

// The print of a catalog window's report ("rptCatEstados" ... "rptCatalogos"),
// as the windows' print button asks for it; an unknown report says so.
bool ImprimeReporteCatalogo(Contexto &ctx, const QString &reporte, const QString &catalogo,
                            const MuestraDocumento &muestra);
