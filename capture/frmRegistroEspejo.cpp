// The window's mirror of the sheet state: texts, dates, labels, enabled
// states, list ticks, the diagnosis grid and the page shown.
#include "capture/frmRegistroComun.h"

#include "capture/ManejadorRegistro.h"
#include "capture/TecladoHoja.h"
#include "shell/CamposVentana.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

using namespace PantallaHoja;

void frmRegistro::MuestraTexto(int indice)
{
    QLineEdit *e = txt_.value(indice);
    const CampoHoja *c = CampoDe(indice);
    if (!e || !c)
        return;
    // A stored value longer than the field (a nine-digit folio from another
    // installation) is shown whole; the field's own limit holds for typing.
    const QString texto = registro_->hoja.Texto(indice);
    e->setMaxLength(qMax(c->largo, int(texto.size())));
    Refleja(e, e->text(), texto);
}

void frmRegistro::MuestraFecha(int indice)
{
    if (QLineEdit *e = mskDatos(indice))
        Refleja(e, e->displayText(), registro_->hoja.Fecha(indice));
}

void frmRegistro::Refleja(QLineEdit *e, const QString &mostrado, const QString &texto)
{
    if (mostrado == texto)
        return;
    mostrando_ = true;
    TecladoHoja::MuestraTexto(e, texto);
    mostrando_ = false;
}

void frmRegistro::MuestraEtiqueta(int indice)
{
    // Captions that share an index with no description keep their text.
    static const int captions[] = {8, 21, 22, 23, 24, 34};
    if (std::find(std::begin(captions), std::end(captions), indice) != std::end(captions))
        return;
    if (QLabel *l = lbl_.value(indice)) {
        l->setText(registro_->hoja.Etiqueta(indice));
        // Long descriptions are cut by the box's width; the tip reads whole.
        l->setToolTip(l->text());
    }
}

void frmRegistro::MuestraHabilitacion()
{
    const HojaDatos &hoja = registro_->hoja;
    const bool conFoco = isAncestorOf(QApplication::focusWidget());
    for (auto it = marcos_.cbegin(); it != marcos_.cend(); ++it)
        it.value()->setEnabled(hoja.MarcoHabilitado(it.key()));
    for (auto it = txt_.cbegin(); it != txt_.cend(); ++it) {
        const bool si = hoja.CampoHabilitado(it.key());
        if (it.value()->isEnabledTo(it.value()->parentWidget()) == si)
            continue;
        if (si)
            ActivaCampo(it.value());
        else
            DesactivaCampo(it.value());
    }
    for (int l = 0; l < 5; ++l) {
        QListWidget *lista = listas_[l];
        const bool si = hoja.ListaHabilitada(ListaHoja(l));
        if (lista->isEnabledTo(lista->parentWidget()) == si)
            continue;
        lista->setEnabled(si);
        PonColor(lista, QPalette::Base, si ? ColorDescripcion : ColorDeshabilitado());
    }
    // Frames closed at the end of a capture take the focus with them: the tab
    // control gets it back, so that the keys browse the events at once.
    if (conFoco && !isAncestorOf(QApplication::focusWidget()))
        tab_->setFocus(Qt::OtherFocusReason);
}

namespace {

void PonMarcas(QListWidget *l, const QList<ElementoLista> &elementos, int desde, int hasta)
{
    // A tick the view hears of lays the whole list out again once it has
    // been painted, and paints it a second time: the ticks are set with the
    // model quiet and the list repainted once. The sheet's handling of a
    // tick is not run for what it shows itself.
    {
        const QSignalBlocker quieto(l->model());
        for (int i = desde; i < hasta; ++i)
            l->item(i)->setCheckState(elementos.value(i).marcado ? Qt::Checked : Qt::Unchecked);
    }
    l->viewport()->update();
}

} // namespace

void frmRegistro::MuestraLista(ListaHoja lista)
{
    QListWidget *l = listas_[int(lista)];
    if (!l)
        return;
    const QList<ElementoLista> &elementos = registro_->hoja.Elementos(lista);
    mostrando_ = true;
    // The same catalog read again (every event read refills the lists):
    // the items stay and only their ticks change, as the list looks once
    // cleared and refilled, scrolled to its top with no item chosen.
    bool iguales = l->count() == elementos.size();
    for (int i = 0; iguales && i < l->count(); ++i)
        iguales = l->item(i)->text() == elementos[i].texto;
    if (iguales) {
        PonMarcas(l, elementos, 0, l->count());
        l->setCurrentItem(nullptr);
        l->clearSelection();
        l->scrollToTop();
        mostrando_ = false;
        return;
    }
    l->clear();
    for (const ElementoLista &e : elementos) {
        auto *item = new QListWidgetItem(e.texto, l);
        // Long descriptions are cut by the list's width; the tip reads whole.
        item->setToolTip(e.texto);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(e.marcado ? Qt::Checked : Qt::Unchecked);
    }
    mostrando_ = false;
}

void frmRegistro::MuestraMarca(ListaHoja lista, int fila)
{
    QListWidget *l = listas_[int(lista)];
    if (!l->item(fila))
        return;
    PonMarcas(l, registro_->hoja.Elementos(lista), fila, fila + 1);
}

void frmRegistro::MuestraAfecciones()
{
    const QList<FilaAfeccion> &filas = registro_->hoja.Afecciones();
    mostrando_ = true;
    grid_->setRowCount(int(filas.size()));
    for (int f = 0; f < filas.size(); ++f) {
        grid_->setItem(f, 0, new QTableWidgetItem(QString::number(filas[f].numafec)));
        grid_->setItem(f, 1, new QTableWidgetItem(filas[f].afeccion));
    }
    // Rebuilt, the grid stands on its first row, whose code the entry field
    // shows: "Modificar" and "Borrar" act on that row until another is chosen.
    grid_->setCurrentCell(filas.isEmpty() ? -1 : 0, 1);
    mostrando_ = false;
}

void frmRegistro::MuestraPagina(int pagina)
{
    if (tab_->currentIndex() == pagina)
        return;
    // A page turned by the sheet (a rule, the validation, a page button)
    // takes the focus off the page as no move of the user's, so the field
    // that had it is not checked as left. A Tab across the pages is the
    // user's own move, and its leave check stands.
    QWidget *foco = QApplication::focusWidget();
    if (!tabulando_ && foco && tab_->currentWidget()->isAncestorOf(foco))
        tab_->setFocus(Qt::OtherFocusReason);
    mostrando_ = true;
    cambiandoPagina_ = true;
    tab_->setCurrentIndex(pagina);
    cambiandoPagina_ = false;
    mostrando_ = false;
}

void frmRegistro::PonFoco(QWidget *control, int pagina)
{
    if (!control)
        return;
    registro_->hoja.PonPagina(pagina);
    if (control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}
