#include "tools/AvisoHerramienta.h"

#include "shell/Contexto.h"

void AvisoHerramienta::Vuelve()
{
    // The guard's end is the writing back, with a failure of it said as a
    // closing says it.
    const VuelveAlTerminar vuelve(ctx_.ConexionBD);
}

void AvisoHerramienta::Muestra(const QString &texto, Mensajes::Icono icono, const QString &titulo)
{
    Vuelve();
    ctx_.mensajes.Muestra(texto, icono, titulo);
}

void AvisoHerramienta::Falla(const ErrorBD &e)
{
    ctx_.EscribePanel(QString());
    // Errors of our own (files, workbook) carry no engine number.
    const QString texto = e.Numero() < 0 ? e.Descripcion()
                                         : QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
    Informa(texto, TituloHerramientas);
}
