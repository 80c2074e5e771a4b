#include "tools/AvisoHerramienta.h"

#include "shell/Contexto.h"

void AvisoHerramienta::Falla(const ErrorBD &e) const
{
    ctx_.EscribePanel(QString());
    // Errors of our own (files, workbook) carry no engine number.
    const QString texto = e.Numero() < 0 ? e.Descripcion()
                                         : QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
    ctx_.mensajes.Informa(texto, TituloHerramientas);
}
