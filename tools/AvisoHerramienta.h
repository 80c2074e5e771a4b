#pragma once

#include "platform/BaseDatos.h"

#include <QString>

class Contexto;

inline const QString TituloHerramientas = QStringLiteral("Herramientas VELMORAN");

// The failure of a data tool that runs at once from the menu, in a message box.
class AvisoHerramienta {
public:
    explicit AvisoHerramienta(const Contexto &ctx) : ctx_(ctx) {}
    // Empties the panel and shows the error, titled "Herramientas VELMORAN".
    void Falla(const ErrorBD &e) const;

private:
    const Contexto &ctx_;
};
