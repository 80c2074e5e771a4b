#pragma once

#include "catalogs/CatalogoNavegable.h"
#include "lookups/VentanaSeleccion.h"

#include <QMap>
#include <QWidget>
#include <functional>

class BarraDatos;
class Contexto;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;

// Prints a catalog through its report ("rptCatEstados"); `catalogo` is the
// caption the coded catalogs' report shows, empty for the others.
using ImpresionCatalogo = std::function<void(const QString &reporte, const QString &catalogo)>;

// The shared catalog child window: the 13-button toolbar, one tab holding
// the read-only grid over the whole catalog, the search boxes of the frame
// `fraBuscar` and the record boxes that show the current row. The state lives
// in CatalogoNavegable; the window mirrors it. It writes nothing.
class VentanaCatalogo : public QWidget {
    Q_OBJECT
public:
    struct Diseno {
        QString nombre;             // frmCatEstados ...
        QString titulo;             // caption
        QString prefijoPosicion;    // when set, the caption after a move: prefix, position, " de ", count
        QString tituloGrid;
        QString pestana;
        DatosCatalogo datos;        // statement and search boxes
        QVector<CajaBusqueda> registro;   // record boxes: the column each shows and its key set
        bool marcoRegistro = false; // the record boxes stand in a disabled frame `fraDatos`
        int porFilaRegistro = 0;    // boxes per row of the layout; 0: all in one row
        int porFilaBusqueda = 0;
        QVector<VentanaSeleccion::Columna> columnas;   // grid columns by result column; further ones hidden
        QVector<int> ordenGrid;     // result columns in the grid's order; empty: as read
        int imagenes = 0;           // AsignaImagenes mode
        bool ubicaYRelee = true;   // placed at a third of the area's free room; read anew when reopened
        int focoTrasRestablecer = -1;   // box focused after a failed or emptied search; -1 the changed one
        bool enterTabula = false;   // Enter in a search box moves on (else it beeps)
        bool escCierraGrid = false; // Esc in the grid closes the window
        QString reporte;            // the catalog's print
        int ancho = 0, alto = 0;    // designed client area, twips
    };

    VentanaCatalogo(Contexto &ctx, Diseno diseno, ImpresionCatalogo imprime, QWidget *padre = nullptr);

    // Reads the catalog anew, unfiltered, from its first row; the boxes keep
    // their texts. False after its message when it could not be read.
    bool Carga();
    CatalogoNavegable &Catalogo() { return catalogo_; }

    // Toolbar buttons by position.
    void Boton(int posicion);

    QSize sizeHint() const override;

    QLineEdit *txtDatos(int indice) const { return rejilla_->Caja(indice); }
    QLabel *lblDatos(int indice) const { return etiquetas_.value(indice); }
    QTableView *dbgDatos() const { return grid_; }
    BarraDatos *tbrDatos() const { return barra_; }
    QTabWidget *SSTab1() const { return pestanas_; }

protected:
    // Button 12. Failures reach the toolbar's handler as ErrorBD.
    virtual void Imprime();
    void PonTitulo(const QString &titulo, const QString &pestana);

    Contexto &ctx_;
    Diseno diseno_;
    ImpresionCatalogo imprime_;

private:
    QLineEdit *NuevaCaja(const CajaBusqueda &c, bool busqueda);
    void Muestra(bool filas);
    void ConfiguraGrid();
    void CambiaCaja(int indice, const QString &texto);
    bool TeclaEnCaja(int indice, QKeyEvent *tecla);
    bool TeclaEnGrid(QKeyEvent *tecla);
    void MuestraPosicion();
    bool EsBusqueda(int indice) const;

    CatalogoNavegable catalogo_;
    BarraDatos *barra_;
    QTabWidget *pestanas_;
    QLabel *tituloGrid_;
    RejillaSeleccion *rejilla_;
    QTableView *grid_;
    QGroupBox *fraBuscar_;
    QGroupBox *fraDatos_ = nullptr;
    QMap<int, QLabel *> etiquetas_;
};

// Places a child window in the main window's area: its left edge at the
// `parte`-th of the free width, its top at that of the free height.
void UbicaVentana(QWidget *ventana, int parte);
// Closes a child window with the frame that holds it.
void CierraVentana(QWidget *ventana);
