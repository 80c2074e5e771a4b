#pragma once

#include "shell/Contexto.h"

#include <QSize>

class InstanciaUnica;
class mdiPrincipal;

// The windows start-up shows; tests hand in their own.
class VentanasArranque {
public:
    virtual ~VentanasArranque() = default;
    // The login, modal; true for an accepted login.
    virtual bool Login() = 0;
    // The start-parameter window, modal; false when the program must end.
    virtual bool ParamInicio() = 0;
};

// The background picture for a screen size in the resources folder
// (Contexto::CarpetaRecursos).
QString ImagenFondo(const QString &carpetaRecursos, const QSize &pantalla);
// The program's icon, VELMORAN.png in the resources folder.
QString ArchivoIcono(const QString &carpetaRecursos);

// The program's start-up: one instance, the subsystems' start-up work
// (Contexto::AlArrancar), the start parameters, the database of
// that state and year (sending the user to the start-parameter window while it
// cannot be opened), the login, and the main window dressed and shown.
// False when the program must end.
bool Main(Contexto &ctx, InstanciaUnica &instancia, mdiPrincipal &principal, VentanasArranque &ventanas,
          const QSize &pantalla);
