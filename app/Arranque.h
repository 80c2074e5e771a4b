#pragma once

#include "shell/modPrincipal.h"

class mdiPrincipal;

// The process-wide look of the program: its name, the Fusion style with its
// light palette, the Mexican Spanish locale and Qt's own texts in Spanish.
void PreparaAplicacion();

// The real start-up windows: the login and the start-parameter window.
class VentanasReales : public VentanasArranque {
public:
    VentanasReales(Contexto &ctx, mdiPrincipal &principal) : ctx_(ctx), principal_(principal) {}
    bool Login() override;
    bool ParamInicio() override;

private:
    Contexto &ctx_;
    mdiPrincipal &principal_;
};
