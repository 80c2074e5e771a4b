#pragma once

#include "platform/Mensajes.h"

#include <cstdio>

// Messages go to the terminal: a bench has nobody to answer.
class MensajesConsola : public Mensajes {
public:
    void Muestra(const QString &texto, Icono, const QString &titulo) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(titulo), qPrintable(texto));
    }
    bool Pregunta(const QString &texto, Icono i, const QString &titulo) override
    {
        Muestra(texto, i, titulo);
        return true;
    }
    void Beep() override {}
};
