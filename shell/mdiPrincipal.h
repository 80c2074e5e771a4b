#pragma once

#include "shell/Contexto.h"

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMdiArea>
#include <QTimer>
#include <functional>

// The main window: the child-window area, the menu bar, the four status-bar
// panels and the 20-second timer that empties the message panel. Items whose
// window is not given an action stay disabled.
class mdiPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit mdiPrincipal(Contexto &ctx, QWidget *padre = nullptr);

    QMdiArea *Area() const { return area_; }
    // A menu item by its array and index ("mnuCat", 5), or nullptr.
    QAction *Item(const QString &arreglo, int indice) const;
    // Gives a menu item its action and enables it. A database error the action
    // lets through is shown as "<number> - <description>" under the window's title.
    void AsignaAccion(const QString &arreglo, int indice, std::function<void()> accion);
    // The opener of the coded-catalog window (table, code column, title); the
    // fourteen catalog items are enabled once it is set.
    void AsignaCargaCatalogo(std::function<void(const QString &, const QString &, const QString &)> carga);

    QLabel *Panel(int n) const;   // 1 to 4
    QTimer *tmrMDI() const { return tmrMDI_; }

    // Panel 2: the state's description, " - " and the year.
    void MuestraEstadoAno();
    // The background picture; a missing file leaves none.
    void PonFondo(const QString &imagen);
    bool TieneFondo() const { return tieneFondo_; }
    // Closes the child windows, the top one first; the main window stays.
    // False when one refused (a capture the user chose to keep): with
    // HastaUnaNegativa the others then stay open too (the program does not
    // quit), with Todas every other window is closed all the same (a tool
    // that closes the database).
    enum class Cierre { HastaUnaNegativa, Todas };
    bool CierraVentanasHijas(Cierre cierre = Cierre::HastaUnaNegativa);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void CreaMenus();
    void CreaBarraEstado();
    QAction *Agrega(QMenu *menu, const QString &arreglo, int indice, const QString &titulo);

    Contexto &ctx_;
    QMdiArea *area_;
    QTimer *tmrMDI_;
    QTimer *reloj_;
    QLabel *paneles_[4] = {};
    QMap<QString, QAction *> items_;
    bool tieneFondo_ = false;
};

// The text of panel 2 for a state and year: the description from cEstados,
// " - " and the year; the year alone when the state is not in the catalog.
QString TextoEstadoAno(const BaseDatos &bd, const QString &estado, const QString &ano);
