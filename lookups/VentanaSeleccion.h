#pragma once

#include "lookups/ListaSeleccion.h"
#include "lookups/RejillaSeleccion.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QMap>
#include <QVector>

class BarraDatos;
class CamposDestino;
class Contexto;
class QEvent;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

// Twips of the designed layouts to pixels (15 twips to a pixel at 96 dpi).
inline int Twips(int twips) { return (twips + 7) / 15; }

// For a FocusIn event: true when the user (or the program) moved the focus,
// false when it only came back after a message box or a menu closed, so that
// a box selects its text on entry but the text typed so far stays unselected.
bool EntraElUsuario(QEvent *evento);

// The grid's view of a pick-list's passing rows.
class ModeloSeleccion : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloSeleccion(const ListaSeleccion &lista, QObject *padre = nullptr);
    // Column captions; a column without one shows the result column's name.
    void PonTitulos(const QStringList &titulos) { titulos_ = titulos; }
    // The rows changed (filter, reload): the views start over.
    void Recarga();

    int rowCount(const QModelIndex &padre = QModelIndex()) const override;
    int columnCount(const QModelIndex &padre = QModelIndex()) const override;
    QVariant data(const QModelIndex &indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

private:
    const ListaSeleccion &lista_;
    QStringList titulos_;
};

// The shared modal pick-list: the short toolbar, the search boxes `txtDatos`
// in the frame `fraBuscar`, the grid `dbgSeleccion` over rows read in full,
// the moves, and the write-back of the current row's code into the field
// that asked for it.
class VentanaSeleccion : public QDialog {
    Q_OBJECT
public:
    enum class EnterEnCaja { Elige, Tabula };
    enum class EscEnCaja { Cierra, CierraConBeep, Rechaza };
    using Columna = ColumnaSeleccion;
    struct Diseno {
        QString titulo;                  // caption
        QString prefijoPosicion;         // when set, caption = prefix, position, " de ", count
        QString marcoSeleccion;          // caption of fraSeleccion
        QString pestana;                 // when set, the frames stand in a tab of that title
        QVector<CajaBusqueda> cajas;
        ReglasBusqueda reglas;
        QVector<Columna> columnas;       // by result column; further ones keep their names
        QString nombreGrid = QStringLiteral("dbgSeleccion");
        int columnaCodigo = 0;           // the column whose value is written back
        EnterEnCaja enterCaja = EnterEnCaja::Elige;
        EscEnCaja escCaja = EscEnCaja::Cierra;
        bool tecleoEnGrid = false;       // a digit in the grid jumps to the first code that begins with it
        bool seleccionaAlEntrar = false; // a box that gets the focus selects its text
        bool tabulaAlLlenar = false;     // a box filled to its length passes the focus on
        bool botones = false;            // Aceptar / Cancelar buttons (cmdDatos)
        int ancho = 0, alto = 0;         // designed size, twips
    };

    // `campo` is the index of the destination field that the choice is written
    // into; -1 (or no destination) writes nothing.
    VentanaSeleccion(Contexto &ctx, CamposDestino *destino, int campo, Diseno diseno, QWidget *padre = nullptr);

    // Writes the current row's code into the destination field and closes the
    // window; with no current row it beeps and stays open, writing nothing.
    void AsignaDatos();

    // Toolbar buttons by position: 1 to 4 move, 6 chooses, 7 cancels.
    void Boton(int posicion);

    const ListaSeleccion &Lista() const { return lista_; }
    QLineEdit *Caja(int indice) const { return rejilla_->Caja(indice); }
    QTableView *Grid() const { return grid_; }
    BarraDatos *Barra() const { return barra_; }
    QGroupBox *MarcoSeleccion() const { return fraSeleccion_; }
    QPushButton *BotonDatos(int indice) const { return cmdDatos_.value(indice); }

protected:
    // Reads every row. On a failed read shows why and returns false; on an
    // empty result with a message given shows it and returns false.
    bool CargaFilas(const QString &sql, const QVariantList &valores, const QString &tituloError,
                    const QString &mensajeVacio = QString(), const QString &tituloVacio = QString());
    // "No se pudo leer el Catálogo..." with the reason.
    void MuestraFallaLectura(const QString &motivo, const QString &titulo);
    // Runs after the rows were read and after every reset of the grid.
    virtual void ConfiguraGrid();
    // A column's designed width, widened when its caption needs more room and,
    // unless it may be cut, when its values do (the designed widths were set
    // for a narrower font, and a code cut short cannot be read).
    void AnchoColumna(int columna, int twips, bool recorta = false);
    // Runs after a code was written into the destination.
    virtual void DespuesDeAsignar() {}

    Contexto &ctx_;
    CamposDestino *destino_;
    const int campo_;
    Diseno diseno_;
    ListaSeleccion lista_;

private:
    void CambiaCaja(int indice, const QString &texto);
    bool TeclaEnCaja(int indice, QKeyEvent *tecla);
    bool TeclaEnGrid(QKeyEvent *tecla);
    void MuestraActual();
    void ActualizaTitulo();

    BusquedaSeleccion busqueda_;
    RejillaSeleccion *rejilla_;
    BarraDatos *barra_;
    QGroupBox *fraBuscar_;
    QGroupBox *fraSeleccion_;
    QTabWidget *pestanas_ = nullptr;
    QTableView *grid_;
    QVector<QPushButton *> cmdDatos_;
    QMap<int, int> anchoValores_;   // pixels the values of a code column need
};
