#pragma once

#include "catalogs/VentanaCatalogo.h"

// The one window of the coded answer catalogs: whichever of them the menu
// chose, its code as text ("Codigo") and its description.
class frmCatalogos : public VentanaCatalogo {
    Q_OBJECT
public:
    frmCatalogos(Contexto &ctx, ImpresionCatalogo imprime, QWidget *padre = nullptr);

    // Shows the catalog of the table ("cEscolaridad"), its code column and
    // title: caption "Catálogo de " and the title, the tab the title in upper
    // case. False, after its message, when the table is not a coded catalog
    // or cannot be read.
    bool Abre(const QString &tabla, const QString &campo, const QString &titulo);
    // The table on show (the window's Tag).
    QString Tabla() const { return tabla_; }

protected:
    // Prints the whole catalog through the work table TMPCATALOGO, whatever
    // the search boxes hold; the table is dropped again also on failure.
    void Imprime() override;

private:
    QString tabla_;
    QString columna_;
};
