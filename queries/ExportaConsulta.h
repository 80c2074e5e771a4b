#pragma once

#include "platform/ExportaTabla.h"

#include <QString>

class Contexto;
class DialogoArchivos;

// The result view's export ("Guardar", a double click or Enter in its grid):
// the whole export table to a new file of the format chosen in the generator.
//
// The file dialog starts in Datos with the name "DB1"; a name without the
// format's extension gets it (".mdb" and ".xls" become ".db" and ".xlsx"),
// after a question when the user typed another extension. The working
// database, its template and a file in use are refused before anything is
// asked; an existing file is replaced only after a Yes. The .db file's
// table is named after the file, the workbook's sheet is ExcelTabla, the dBase
// file is its own table. The old file stays whole until the new one is
// complete. Success says how many rows went where; a failure says why.
// True when the file was written (the view then closes).
bool ExportaConsulta(Contexto &ctx, DialogoArchivos &dialogo, FormatoExportacion formato, const QString &tabla);

// The chosen path with the format's extension.
QString RutaConExtension(const QString &elegida, FormatoExportacion formato);
