#pragma once

#include "capture/ConsultasHoja.h"
#include "events/HojaDatos.h"

#include <QMap>
#include <QWidget>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class BarraDatos;
class Contexto;
class HojaRegistro;
struct ListasSeleccion;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMdiArea;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;
class ReglasCampos;
class TecladoHoja;
class VidaRegistro;

// The capture sheet: two pages of fields over the sheet state (HojaDatos),
// which it mirrors and into which it forwards what the user types and ticks.
// The record life runs in VidaRegistro, the field rules in ReglasCampos.
class frmRegistro : public QWidget {
    Q_OBJECT
public:
    explicit frmRegistro(Contexto &ctx, QWidget *padre = nullptr);
    // With the pick-lists given (tests fake them).
    frmRegistro(Contexto &ctx, const ListasSeleccion &listas, QWidget *padre = nullptr);
    ~frmRegistro() override;

    HojaRegistro &Registro() { return *registro_; }
    HojaDatos &Hoja();
    VidaRegistro &Vida();

    // The controls by the indexes the whole system uses.
    QLineEdit *txtDatos(int indice) const { return txt_.value(indice); }
    QLabel *lblDatos(int indice) const { return lbl_.value(indice); }
    QLineEdit *mskDatos(int indice) const { return indice == 0 || indice == 1 ? msk_[indice] : nullptr; }
    QListWidget *Lista(ListaHoja lista) const { return listas_[int(lista)]; }
    QGroupBox *MarcoHoja(Marco marco) const { return marcos_.value(marco); }
    QPushButton *cmdCambiar(int indice) const { return indice == 0 || indice == 1 ? cambiar_[indice] : nullptr; }
    QPushButton *cmdAgregaAfec() const { return agrega_; }
    QPushButton *cmdModificaAfec() const { return modifica_; }
    QPushButton *cmdBorraAfec() const { return borra_; }
    QTableWidget *grdAfecciones() const { return grid_; }
    BarraDatos *tbrDatos() const { return barra_; }
    QMenu *MenuBuscar() const { return menuBuscar_; }
    // The query windows of the "Buscar" drop-down.
    void PonConsultas(const ConsultasHoja &consultas);
    QTabWidget *SSTab1() const { return tab_; }
    // The focus stops in the sheet's order (both pages).
    std::vector<QWidget *> OrdenDeFoco() const;

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;
    // Every way of closing the sheet asks first while a capture is open.
    void closeEvent(QCloseEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;
    bool focusNextPrevChild(bool siguiente) override;

private:
    void Construye();
    void ConstruyePagina1(QWidget *pagina);
    void ConstruyePagina2(QWidget *pagina);
    void ConstruyeBarra();
    void Conecta();

    void MenuBuscar(int posicion);

    // Builders of the controls (positions in pixels inside their parent).
    struct Pieza;
    // Builds the rows of a layout table in their order.
    void Coloca(QWidget *padre, std::initializer_list<Pieza> piezas);
    // The pieces of the layout, one kind each.
    void ColocaFila(QWidget *padre, const Pieza &p);
    void ColocaTiempo(QWidget *padre, const Pieza &p);
    void CreaCaja(QWidget *padre, const Pieza &p);
    void CreaDescripcion(QWidget *padre, const Pieza &p);
    void CreaLista(QWidget *padre, const Pieza &p);
    void CreaRotulo(QWidget *padre, const Pieza &p);
    // A frame with the rows of its layout table.
    QGroupBox *CreaMarco(QWidget *padre, Marco marco, const char *titulo, const char *nombre, const QRect &caja,
                         std::initializer_list<Pieza> piezas);

    // Mirrors of the sheet state.
    void MuestraTexto(int indice);
    void MuestraFecha(int indice);
    void Refleja(QLineEdit *control, const QString &mostrado, const QString &texto);
    void MuestraEtiqueta(int indice);
    void MuestraHabilitacion();
    void MuestraLista(ListaHoja lista);
    void MuestraMarca(ListaHoja lista, int fila);
    void MuestraAfecciones();
    void MuestraBarra();
    void MuestraPagina(int pagina);
    void PonFoco(QWidget *control, int pagina);

    // Keys and focus of the date boxes, the lists and the tab control.
    bool EventoFecha(int indice, QEvent *evento);
    bool EventoLista(QListWidget *lista, QEvent *evento);
    bool Capturando() const;

    Contexto &ctx_;
    std::unique_ptr<HojaRegistro> registro_;
    TecladoHoja *teclado_ = nullptr;

    QMap<int, QLineEdit *> txt_;
    QMap<int, QLabel *> lbl_;
    QLineEdit *msk_[2] = {};
    QListWidget *listas_[5] = {};
    QMap<Marco, QGroupBox *> marcos_;
    QPushButton *cambiar_[2] = {};
    QPushButton *agrega_ = nullptr;
    QPushButton *modifica_ = nullptr;
    QPushButton *borra_ = nullptr;
    QTableWidget *grid_ = nullptr;
    BarraDatos *barra_ = nullptr;
    QMenu *menuBuscar_ = nullptr;
    ConsultasHoja consultas_;
    QTabWidget *tab_ = nullptr;
    std::vector<std::pair<int, QWidget *>> paradas_;   // focus stop number, control
    bool mostrando_ = false;          // the window is writing the state into its controls
    bool cambiandoPagina_ = false;
    bool tabulando_ = false;          // the user's Tab or Backtab is turning the page
};

// Opens the capture sheet as a child window of the area on all care events
// (one sheet at a time: a second call brings the open one forward and loads
// it again on all events, see VidaRegistro::Reabre).
frmRegistro *AbreHojaRegistro(Contexto &ctx, QMdiArea &area, const ConsultasHoja &consultas = {});
// The sheet open in the area, if any, follows what was written to the events
// meanwhile (VidaRegistro::Recarga).
void RecargaHojaRegistro(QMdiArea &area);
