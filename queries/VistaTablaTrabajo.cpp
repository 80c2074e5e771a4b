#include "queries/VistaTablaTrabajo.h"

#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

Movimiento MueveFila(int boton, int actual, int cuenta)
{
    if (cuenta <= 0)
        return {-1, boton == 1 || boton == 4};
    switch (boton) {
    case 1: return {0, false};
    case 2: return actual <= 0 ? Movimiento{0, true} : Movimiento{actual - 1, false};
    case 3: return actual >= cuenta - 1 ? Movimiento{cuenta - 1, true} : Movimiento{actual + 1, false};
    case 4: return {cuenta - 1, false};
    default: return {actual, false};
    }
}

VistaTablaTrabajo::VistaTablaTrabajo(Contexto &ctx, const LecturaFilas &fuente, const QStringList &titulosBarra,
                                     const QString &prefijoTitulo, QWidget *padre)
    : QDialog(padre), ctx_(ctx), modelo_(ctx.ConexionBD), prefijo_(prefijoTitulo)
{
    setModal(true);
    modelo_.Carga(fuente);

    tbrDatos = new BarraDatos(titulosBarra, this);
    tbrDatos->setObjectName(QStringLiteral("tbrDatos"));
    connect(tbrDatos, &BarraDatos::BotonPulsado, this, &VistaTablaTrabajo::Pulsado);

    dbgSeleccion = new QTableView(this);
    dbgSeleccion->setObjectName(QStringLiteral("dbgSeleccion"));
    dbgSeleccion->setModel(&modelo_);
    dbgSeleccion->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgSeleccion->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgSeleccion->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgSeleccion->verticalHeader()->setDefaultSectionSize(dbgSeleccion->fontMetrics().height() + 6);
    // Each column as wide as its heading or the widest value of the first rows (up to a
    // limit), so that slot numbers and codes such as the CLUES show whole.
    const QFontMetrics medida = dbgSeleccion->fontMetrics();
    const int muestra = qMin(modelo_.rowCount(), 50);
    for (int c = 0; c < modelo_.columnCount(); ++c) {
        int ancho = medida.horizontalAdvance(modelo_.Nombre(c));
        for (int r = 0; r < muestra; ++r)
            ancho = qMax(ancho, qMin(280, medida.horizontalAdvance(modelo_.index(r, c).data().toString())));
        dbgSeleccion->setColumnWidth(c, qMax(60, ancho + 24));
    }
    // Numbers past the first rows (a seven-digit folio further down, after a
    // sort) widen their column as they come into sight: every digit shows.
    connect(dbgSeleccion->verticalScrollBar(), &QScrollBar::valueChanged, this, &VistaTablaTrabajo::AnchoNumeros);
    connect(&modelo_, &QAbstractItemModel::layoutChanged, this, &VistaTablaTrabajo::AnchoNumeros, Qt::QueuedConnection);
    dbgSeleccion->installEventFilter(this);
    connect(dbgSeleccion, &QTableView::doubleClicked, this, [this] { DobleClic(); });
    connect(dbgSeleccion->selectionModel(), &QItemSelectionModel::currentChanged, this, &VistaTablaTrabajo::ActualizaTitulo);
    connect(&modelo_, &QAbstractItemModel::layoutChanged, this, &VistaTablaTrabajo::ActualizaTitulo);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(tbrDatos);
    cuerpo_ = new QVBoxLayout;
    cuerpo_->setContentsMargins(6, 0, 6, 0);
    layout->addLayout(cuerpo_, 1);

    if (Cuenta() > 0)
        dbgSeleccion->setCurrentIndex(modelo_.index(0, 0));
    ActualizaTitulo();
}

VistaTablaTrabajo::~VistaTablaTrabajo() = default;

void VistaTablaTrabajo::AnchoNumeros()
{
    // Only rows in sight, and none when the grid shows none: closing takes the
    // grid's model away and resets its scroll bar, and a table of 300,000 rows
    // would otherwise be read whole at the close.
    if (dbgSeleccion->model() != &modelo_)
        return;
    const int alto = dbgSeleccion->viewport()->height();
    const int primera = dbgSeleccion->rowAt(0);
    if (alto <= 0 || primera < 0)
        return;
    int ultima = dbgSeleccion->rowAt(alto - 1);
    if (ultima < 0)   // the rows end above the bottom of the grid
        ultima = Cuenta() - 1;
    largoNumeros_.resize(modelo_.columnCount());
    // The cell is painted inside its grid line.
    const int rejilla = dbgSeleccion->showGrid() ? 1 : 0;
    for (int c = 0; c < modelo_.columnCount(); ++c) {
        int ancho = dbgSeleccion->columnWidth(c);
        for (int r = primera; r <= ultima; ++r) {
            const QVariant v = modelo_.Valor(r, c);
            const int tipo = v.typeId();
            if (tipo != QMetaType::LongLong && tipo != QMetaType::Int && tipo != QMetaType::Double)
                continue;
            // Digits are all of one width: a number no longer than one already
            // fitted fits, and each scroll step measures only what is new.
            const int largo = int(v.toString().size());
            if (largo <= largoNumeros_[c])
                continue;
            largoNumeros_[c] = largo;
            ancho = qMax(ancho, dbgSeleccion->sizeHintForIndex(modelo_.index(r, c)).width() + rejilla);
        }
        if (ancho > dbgSeleccion->columnWidth(c))
            dbgSeleccion->setColumnWidth(c, ancho);
    }
}

void VistaTablaTrabajo::showEvent(QShowEvent *evento)
{
    QDialog::showEvent(evento);
    AnchoNumeros();
}

void VistaTablaTrabajo::resizeEvent(QResizeEvent *evento)
{
    QDialog::resizeEvent(evento);
    AnchoNumeros();
}

int VistaTablaTrabajo::Actual() const
{
    return dbgSeleccion->currentIndex().isValid() ? dbgSeleccion->currentIndex().row() : -1;
}

void VistaTablaTrabajo::ActualizaTitulo()
{
    setWindowTitle(prefijo_ + QString::number(Actual() + 1) + QStringLiteral(" de ") + QString::number(Cuenta()));
}

void VistaTablaTrabajo::Pulsado(int posicion)
{
    if (posicion < 1 || posicion > 4) {
        Boton(posicion);
        return;
    }
    const Movimiento m = MueveFila(posicion, Actual(), Cuenta());
    if (m.beep)
        ctx_.mensajes.Beep();
    if (m.fila >= 0) {
        const int columna = qMax(0, dbgSeleccion->currentIndex().column());
        dbgSeleccion->setCurrentIndex(modelo_.index(m.fila, columna));
    }
}

bool VistaTablaTrabajo::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == dbgSeleccion && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        if (tecla == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (EnterExporta())
                DobleClic();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void VistaTablaTrabajo::done(int resultado)
{
    // The grid lets its work table go before the table is dropped.
    dbgSeleccion->setModel(nullptr);
    modelo_.Cierra();
    QDialog::done(resultado);
}
