#pragma once

#include "shell/Contexto.h"

class mdiPrincipal;

// Applying new start parameters: check the boxes, reconnect to the database of
// that state and year (offering to create it from the empty template when it
// is missing), and save the parameters only after a successful open.
class ParamInicio {
public:
    enum class Resultado { Abierta, EstadoInvalido, AnoInvalido, NoAbierta };

    explicit ParamInicio(Contexto &ctx) : ctx_(ctx) {}

    // The leave-box checks, with their messages; used again by Aceptar.
    bool ValidaEstado(const QString &texto) const;
    bool ValidaAno(const QString &texto) const;
    // The state code with a leading zero for 1 to 9.
    static QString FormatoEstado(const QString &texto);

    Resultado AplicaParamInicio(const QString &estado, const QString &ano);

    // True while no database is open because the open failed or the user
    // declined to create it; Cancelar then ends the program.
    bool ParamInicioPendiente = false;

private:
    bool Reconecta(QString *error);
    bool CreaBaseVacia(const QString &archivo);
    Contexto &ctx_;
};

// Reads the start parameters from the settings store with their start-up
// defaults ("36" and "2004"; a value of blanks counts as missing).
void LeeParamInicio(Contexto &ctx);

// Shows the start-parameter window modally, after closing every child window.
// False when the program must end (Cancelar while no database is open).
bool MuestraParamInicio(Contexto &ctx, mdiPrincipal *principal, bool pendiente);
