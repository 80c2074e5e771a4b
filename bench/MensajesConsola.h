#pragma once

#include "platform/Mensajes.h"

#include <QString>
#include <cstdio>
#include <functional>

// Messages go to the terminal: a bench has nobody to answer. Questions get
// `responde`'s answer when it is set (and are not printed), else yes.
class MensajesConsola : public Mensajes {
public:
    void Muestra(const QString &texto, Icono, const QString &titulo) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(titulo), qPrintable(texto));
        ultimo = texto;
    }
    bool Pregunta(const QString &texto, Icono i, const QString &titulo) override
    {
        if (responde)
            return responde(texto);
        Muestra(texto, i, titulo);
        return true;
    }
    void Beep() override {}

    std::function<bool(const QString &)> responde;
    QString ultimo;   // the last message shown
};
