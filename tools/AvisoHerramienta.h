#pragma once

#include "platform/BaseDatos.h"

#include <QString>

class Contexto;

inline const QString TituloHerramientas = QStringLiteral("Herramientas VELMORAN");

// Progress and failure of a data tool that runs at once from the menu: stage
// texts in the message panel (repainted at once, as no event loop runs
// meanwhile), a beep between stages, and the failure in a message box.
class AvisoHerramienta {
public:
    explicit AvisoHerramienta(const Contexto &ctx) : ctx_(ctx) {}
    void Panel(const QString &texto) const;
    void Etapa(const QString &texto) const;     // beep, then the text
    // Empties the panel and shows the error, titled "Herramientas VELMORAN".
    void Falla(const ErrorBD &e) const;

private:
    const Contexto &ctx_;
};
