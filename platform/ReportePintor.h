#pragma once

#include "platform/ReporteMaqueta.h"

#include <QStringList>
#include <memory>

class DialogoArchivos;
class Mensajes;
class QPagedPaintDevice;
class QPrintDialog;
class QPrinter;
class QWidget;

// The one paint routine of every report: draws the page model onto a paged
// device (print preview, printer or PDF) whose page is the document's paper,
// painted from the paper's corner (full page, no margins).
void PintaReporte(const DocumentoReporte &doc, QPagedPaintDevice &dispositivo);

// Gives a printer the document's paper and orientation, painted full page.
void PreparaImpresora(QPrinter &impresora, const DocumentoReporte &doc);

// Writes the document as a PDF file, replacing `ruta` only once it is complete.
// Throws ErrorReporte when the file cannot be written or may not be: the
// files of `protegidos` and the databases open in this program are refused
// as every export refuses them.
void GuardaPdf(const DocumentoReporte &doc, const QString &ruta, const QStringList &protegidos = {});

// Qt's print dialog for `impresora`, offering the printers only: no way to
// name a file, and nothing in it lists a folder.
std::unique_ptr<QPrintDialog> DialogoImpresion(QPrinter &impresora, QWidget *padre);

// What the preview borrows to save a PDF: the messages, the file dialog (none:
// the real one), the folder it starts in and the files never to replace.
struct SalidaReporte {
    Mensajes &mensajes;
    DialogoArchivos *dialogo = nullptr;
    QString carpeta;
    QStringList protegidos;
};

// The print preview, modal: from it the user prints to a printer
// ("Imprimir...") or saves the report as PDF through the program's file dialog
// ("Guardar PDF..."). Only the pages in sight are painted.
void MuestraVistaPrevia(const DocumentoReporte &doc, const SalidaReporte &salida, QWidget *padre);
