#pragma once

#include "catalogs/CatalogoNavegable.h"
#include "catalogs/VentanaCatalogo.h"

#include <QMap>
#include <QWidget>
#include <functional>

class BarraDatos;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class frmCatListaDetallada;

// "&Buscar": opens the filter window on CATCIE10, which hands the statement
// of the causes it found back to the list (ActualizaListaDetallada).
using BusquedaCIE10 = std::function<void(frmCatListaDetallada &lista)>;

// The ICD-10 catalog one cause at a time: code, name, the sex it applies to,
// the age limits with their units (the letters named in full beside them)
// and the asterisk mark. Nothing here can be changed.
class frmCatListaDetallada : public QWidget {
    Q_OBJECT
public:
    frmCatListaDetallada(Contexto &ctx, ImpresionCatalogo imprime, BusquedaCIE10 busca, QWidget *padre = nullptr);

    // Shows the causes of the statement (the filter window's, made by the
    // code with its values bound; the whole catalog without one), from the
    // first. The move buttons follow the count.
    void ActualizaListaDetallada(const ConsultaSQL &lista = {});

    CatalogoNavegable &Catalogo() { return catalogo_; }
    void Boton(int posicion);

    // Boxes 0 and 2 to 6 are line boxes, 1 the tall name box.
    QLineEdit *txtDatos(int indice) const { return cajas_.value(indice); }
    QPlainTextEdit *txtNombre() const { return nombre_; }
    QLabel *lblDatos(int indice) const { return etiquetas_.value(indice); }
    QCheckBox *chkTipo() const { return asterisco_; }
    QPushButton *cmdAceptar() const { return cmdTabla_; }
    QPushButton *cmdBuscar() const { return cmdBuscar_; }
    BarraDatos *tbrDatos() const { return barra_; }
    QTabWidget *SSTab1() const { return pestanas_; }

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void Muestra();
    QLineEdit *Caja(int indice, int largo);
    QLabel *Letra(int indice);

    Contexto &ctx_;
    ImpresionCatalogo imprime_;
    BusquedaCIE10 busca_;
    CatalogoNavegable catalogo_;
    BarraDatos *barra_;
    QTabWidget *pestanas_;
    QMap<int, QLineEdit *> cajas_;
    QPlainTextEdit *nombre_;
    QMap<int, QLabel *> etiquetas_;
    QGroupBox *fraCausa_;
    QCheckBox *asterisco_;
    QPushButton *cmdTabla_;
    QPushButton *cmdBuscar_;
};

// The letters named in full: sex "A", "M", "F"; age units "A", "M", "D", "H".
// Any other text, in any other case, names nothing.
QString NombreSexo(const QString &letra);
QString NombreUnidadEdad(const QString &letra);
