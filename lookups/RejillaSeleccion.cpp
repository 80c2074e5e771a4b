#include "lookups/RejillaSeleccion.h"

#include "lookups/VentanaSeleccion.h"
#include "platform/Mensajes.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <algorithm>

RejillaSeleccion::RejillaSeleccion(const ListaSeleccion &lista, const QVector<ColumnaSeleccion> &columnas,
                                   const QString &nombreGrid, QObject *padre)
    : QObject(padre)
{
    grid_ = new QTableView;
    grid_->setObjectName(nombreGrid);
    modelo_ = new ModeloSeleccion(lista, this);
    QStringList titulos;
    for (const ColumnaSeleccion &c : columnas)
        titulos << c.titulo;
    modelo_->PonTitulos(titulos);
    grid_->setModel(modelo_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);   // nothing typed reaches the rows
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->installEventFilter(this);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &i) {
        if (!sincronizando_)
            emit FilaElegida(i.isValid() ? i.row() : -1);
    });
}

void RejillaSeleccion::AgregaCaja(int indice, QLineEdit *caja)
{
    caja->installEventFilter(this);
    cajas_.insert(indice, caja);
}

void RejillaSeleccion::PasaFoco(const QVector<CajaBusqueda> &orden, int indice) const
{
    for (int i = 0; i < orden.size(); ++i) {
        if (orden[i].indice != indice)
            continue;
        QWidget *siguiente = i + 1 < orden.size() ? static_cast<QWidget *>(cajas_.value(orden[i + 1].indice)) : grid_;
        siguiente->setFocus(Qt::TabFocusReason);
        return;
    }
}

void RejillaSeleccion::Recarga()
{
    sincronizando_ = true;
    modelo_->Recarga();
    sincronizando_ = false;
}

void RejillaSeleccion::EscribeCajas(const QVector<CajaBusqueda> &orden, const std::function<QString(int)> &texto) const
{
    for (const CajaBusqueda &c : orden) {
        QLineEdit *caja = cajas_.value(c.indice);
        const QString t = texto(c.indice);
        if (caja->text() != t) {
            const QSignalBlocker bloqueo(caja);
            caja->setText(t);
        }
    }
}

void RejillaSeleccion::MuestraActual(const ListaSeleccion &lista)
{
    sincronizando_ = true;
    const int fila = lista.Actual();
    if (fila >= 0) {
        const int columna = std::max(0, grid_->currentIndex().column());
        const QModelIndex i = modelo_->index(fila, grid_->isColumnHidden(columna) ? 0 : columna);
        grid_->setCurrentIndex(i);
        grid_->scrollTo(i);
    } else {
        grid_->selectionModel()->clear();
    }
    sincronizando_ = false;
}

bool RejillaSeleccion::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == grid_ && evento->type() == QEvent::KeyPress)
        return teclaEnGrid && teclaEnGrid(static_cast<QKeyEvent *>(evento));
    for (auto it = cajas_.cbegin(); it != cajas_.cend(); ++it) {
        if (objeto != it.value())
            continue;
        if (evento->type() == QEvent::KeyPress)
            return teclaEnCaja && teclaEnCaja(it.key(), static_cast<QKeyEvent *>(evento));
        if (evento->type() == QEvent::FocusIn && seleccionaAlEntrar && EntraElUsuario(evento))
            QTimer::singleShot(0, it.value(), &QLineEdit::selectAll);
        break;
    }
    return false;
}

QString TituloPosicion(const QString &prefijo, const ListaSeleccion &lista)
{
    return prefijo + QString::number(lista.Actual() + 1) + QStringLiteral(" de ") + QString::number(lista.Cantidad());
}

bool MueveLista(ListaSeleccion &lista, int boton, Mensajes &mensajes)
{
    bool seMovio = true;
    switch (boton) {
    case 1: seMovio = lista.Primero(); break;
    case 2: seMovio = lista.Anterior(); break;
    case 3: seMovio = lista.Siguiente(); break;
    case 4: seMovio = lista.Ultimo(); break;
    default: return false;
    }
    if (!seMovio)
        mensajes.Beep();
    return true;
}
