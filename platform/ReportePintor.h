#pragma once

#include "platform/ReporteMaqueta.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;

// The one paint routine of every report: draws the page model onto a paged
// device (print preview, printer or PDF) whose page is the document's paper,
// painted from the paper's corner (full page, no margins).
void PintaReporte(const DocumentoReporte &doc, QPagedPaintDevice &dispositivo);

// Gives a printer the document's paper and orientation, painted full page.
void PreparaImpresora(QPrinter &impresora, const DocumentoReporte &doc);

// Writes the document as a PDF file, replacing `ruta` only once it is complete.
// Throws ErrorReporte when the file cannot be written.
void GuardaPdf(const DocumentoReporte &doc, const QString &ruta);

// The print preview, modal: from it the user prints or saves the report as PDF
// (through the print dialog). Only the pages in sight are painted.
void MuestraVistaPrevia(const DocumentoReporte &doc, QWidget *padre);
