#pragma once

#include "lookups/CodigosCatalogo.h"
#include "lookups/VentanaSeleccion.h"

// Pick-list over one coded catalog (c<Name>: Cod<Name>, Descripcion): writes the
// chosen code into the field CampoSelCat. Type-ahead by digit in the grid.
class frmSelCat : public VentanaSeleccion {
    Q_OBJECT
public:
    // A CampoSelCat that is not a coded field of the sheet writes nothing.
    frmSelCat(Contexto &ctx, CamposDestino *destino, int CampoSelCat, QWidget *padre = nullptr);
    // Reads the catalog (a name of the fixed list, "Sexo" or "cSexo"); false,
    // after its message, when there is nothing to show.
    bool Abre(const QString &catalogo, const CodigosCatalogo &codigos = {});

protected:
    // ConfiguraGridSelCat: the code column 1000 twips, the description 3550,
    // or 5000 in a window 1500 wider for field 59 (equipment names are long).
    void ConfiguraGrid() override;

private:
    bool LeeCatalogo(const QString &catalogo, const CodigosCatalogo &codigos);

    const int campoSelCat_;
    bool ensanchada_ = false;
};
