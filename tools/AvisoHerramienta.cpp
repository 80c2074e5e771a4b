#include "tools/AvisoHerramienta.h"

#include "shell/Contexto.h"

#include <QCoreApplication>

void AvisoHerramienta::Panel(const QString &texto) const
{
    ctx_.EscribePanel(texto);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void AvisoHerramienta::Etapa(const QString &texto) const
{
    ctx_.mensajes.Beep();
    Panel(texto);
}

void AvisoHerramienta::Falla(const ErrorBD &e) const
{
    Panel(QString());
    // Errors of our own (files, workbook) carry no engine number.
    const QString texto = e.Numero() < 0 ? e.Descripcion()
                                         : QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion();
    ctx_.mensajes.Informa(texto, TituloHerramientas);
}
