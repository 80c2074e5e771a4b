#pragma once

#include <QString>

// The fields a pick-list writes its chosen code into, by the field's index.
// The capture sheet's state implements it; setting a text runs that field's
// change handling, which shows the description.
class CamposDestino {
public:
    virtual ~CamposDestino() = default;
    virtual QString Texto(int indice) const = 0;
    virtual void PonTexto(int indice, const QString &texto) = 0;
    // True when the field and its frames take input.
    virtual bool Editable(int indice) const = 0;
    // Asks the window to put the focus on the field.
    virtual void Enfoca(int indice) = 0;
};
