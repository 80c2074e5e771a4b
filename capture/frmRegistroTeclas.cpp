// The window's keys and focus: the sheet's focus order across both pages,
// the moves through the events, the date boxes and the check lists.
#include "capture/frmRegistroComun.h"

#include "capture/ManejadorRegistro.h"
#include "capture/TecladoHoja.h"
#include "shell/modGeneral.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

using namespace PantallaHoja;

namespace {

bool TeclaNavegacion(int tecla)
{
    return tecla == Qt::Key_Home || tecla == Qt::Key_End || tecla == Qt::Key_Up || tecla == Qt::Key_Down
           || tecla == Qt::Key_PageUp || tecla == Qt::Key_PageDown;
}

bool EsEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

} // namespace

bool frmRegistro::focusNextPrevChild(bool siguiente)
{
    // Along the sheet's own order, across both pages: the page of the next
    // stop is shown. A page being hidden moves the focus the usual way.
    QWidget *actual = focusWidget();
    const auto it = std::find_if(paradas_.cbegin(), paradas_.cend(),
                                 [actual](const auto &p) { return p.second == actual; });
    if (cambiandoPagina_ || !actual || !actual->isVisible() || it == paradas_.cend())
        return QWidget::focusNextPrevChild(siguiente);
    const int n = int(paradas_.size());
    int i = int(it - paradas_.cbegin());
    for (int paso = 1; paso < n; ++paso) {
        i = (i + (siguiente ? 1 : n - 1)) % n;
        QWidget *w = paradas_[size_t(i)].second;
        if (!w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (w != tab_ && tab_->isAncestorOf(w)) {
            const int pagina = tab_->widget(1)->isAncestorOf(w) ? 1 : 0;
            tabulando_ = true;
            registro_->hoja.PonPagina(pagina);
            tabulando_ = false;
        }
        w->setFocus(siguiente ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(siguiente);
}

void frmRegistro::closeEvent(QCloseEvent *evento)
{
    if (registro_->vida.PuedeCerrar())
        evento->accept();
    else
        evento->ignore();
}

void frmRegistro::keyPressEvent(QKeyEvent *evento)
{
    if (TeclaNavegacion(evento->key())) {
        registro_->vida.Mueve_Registros(evento->key());
        return;
    }
    QWidget::keyPressEvent(evento);
}

bool frmRegistro::eventFilter(QObject *objeto, QEvent *evento)
{
    for (int i = 0; i < 2; ++i)
        if (objeto == msk_[i])
            return EventoFecha(i, evento);
    for (QListWidget *l : listas_)
        if (objeto == l)
            return EventoLista(l, evento);

    const bool tabulador = objeto == tab_ || objeto == tab_->tabBar();
    const bool boton = objeto == cambiar_[0] || objeto == cambiar_[1];
    if (!tabulador && !boton)
        return QWidget::eventFilter(objeto, evento);
    auto *tecla = static_cast<QKeyEvent *>(evento);
    // The tab control moves through the events while the sheet browses.
    if (tabulador && evento->type() == QEvent::KeyPress && !Capturando() && TeclaNavegacion(tecla->key())) {
        registro_->vida.Mueve_Registros(tecla->key());
        return true;
    }
    return false;
}

bool frmRegistro::EventoFecha(int indice, QEvent *evento)
{
    QLineEdit *caja = msk_[indice];
    switch (evento->type()) {
    case QEvent::KeyPress: {
        auto *tecla = static_cast<QKeyEvent *>(evento);
        registro_->vida.Mueve_Registros(tecla->key());
        if (Capturando() && EsEnter(tecla)) {
            focusNextPrevChild(true);
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
        PonColor(caja, QPalette::Base, ColorEnfoque());
        QTimer::singleShot(0, caja, [caja] {
            if (caja->hasFocus())
                caja->selectAll();
        });
        return false;
    case QEvent::FocusOut: {
        PonColor(caja, QPalette::Base, Qt::white);
        // Checked once the focus has settled, and only when the user left the box.
        if (MovidaDelUsuario(static_cast<QFocusEvent *>(evento)->reason()))
            QTimer::singleShot(0, this, [this, indice] { registro_->fechas.SaleFecha(indice); });
        return false;
    }
    default:
        return false;
    }
}

bool frmRegistro::EventoLista(QListWidget *lista, QEvent *evento)
{
    switch (evento->type()) {
    case QEvent::KeyPress:
        if (Capturando() && EsEnter(static_cast<QKeyEvent *>(evento))) {
            focusNextPrevChild(true);
            return true;
        }
        return false;
    case QEvent::FocusIn:
        PonColor(lista, QPalette::Base, ColorEnfoque());
        return false;
    case QEvent::FocusOut:
        PonColor(lista, QPalette::Base, lista->isEnabled() ? ColorDescripcion : ColorDeshabilitado());
        return false;
    default:
        return false;
    }
}
