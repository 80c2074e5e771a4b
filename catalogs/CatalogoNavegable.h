#pragma once

#include "events/ConjuntoEventos.h"
#include "lookups/ListaSeleccion.h"

#include <QString>
#include <QVariantList>
#include <QVector>
#include <functional>

class Contexto;

// What a catalog window reads and how its search boxes filter it.
struct DatosCatalogo {
    QString consulta;          // the whole catalog in its order; fixed text of the code
    QString tituloMensajes;    // title of the window's message boxes, the no-match one included
    QVector<CajaBusqueda> cajas;
    ReglasBusqueda reglas;     // a blank box always drops the filter
    // A search box changed over a catalog without rows beeps and says so in
    // the message panel instead of searching.
    bool avisaSinFilas = false;
};

// "No hay registros para buscar......."
QString TextoSinFilas();

// A catalog read in full, browsed and searched in memory, without widgets:
// the toolbar's moves with their beeps at the ends, the search as the user
// types with the remembered row and the no-match message, and the refresh.
// Nothing here writes to the catalog, and no typed text reaches SQL.
class CatalogoNavegable {
public:
    CatalogoNavegable(Contexto &ctx, DatosCatalogo datos);

    // Reads every row of the catalog's statement, or of another one that
    // yields the same columns (its text made by the code, its values bound).
    // On a failure tells why and leaves the catalog empty; returns false. The
    // boxes keep their texts and the rows come unfiltered, the first one current.
    bool Carga(const ConsultaSQL &consulta = {});

    const DatosCatalogo &Datos() const { return datos_; }
    // Another catalog for the next Carga (the one window of the coded catalogs).
    void PonConsulta(const QString &consulta, const QString &tituloMensajes);
    const ListaSeleccion &Lista() const { return lista_; }
    QString TextoActual(int columna) const { return lista_.TextoActual(columna); }
    QString TextoCaja(int indice) const { return busqueda_.Texto(indice); }

    // A row chosen in the grid.
    void PonActual(int fila);
    // Toolbar buttons 1 to 4; beeps at the ends and, for 1 and 4, on no rows.
    void Mueve(int boton);
    // Search box `indice` now holds `texto`. Reports SinCoincidencia after
    // "No se encontro ningun registro...." has been shown.
    BusquedaSeleccion::Resultado Busca(int indice, const QString &texto);
    // Button 7: empties the boxes and drops the filter as a box turned blank does.
    void Refresca();
    // The text a box takes of what was typed or pasted (see BusquedaSeleccion).
    QString Acepta(int indice, const QString &texto, bool *rechazo) const
    {
        return busqueda_.AceptaTexto(indice, texto, rechazo);
    }

    // Runs after every change: `filas` when the rows shown (or the box texts)
    // changed, false when only the current row did.
    std::function<void(bool filas)> alCambiar;

private:
    void Avisa(bool filas) const;

    Contexto &ctx_;
    DatosCatalogo datos_;
    ListaSeleccion lista_;
    BusquedaSeleccion busqueda_;
};
