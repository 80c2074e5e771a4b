#include "catalogs/VentanaCatalogo.h"

#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

void UbicaVentana(QWidget *ventana, int parte)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(ventana->parentWidget());
    QMdiArea *area = sub ? sub->mdiArea() : nullptr;
    if (!area)
        return;
    const QSize libre = area->viewport()->size();
    sub->move(std::max(0, (libre.width() - sub->width()) / parte), std::max(0, (libre.height() - sub->height()) / parte));
}

void CierraVentana(QWidget *ventana)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(ventana->parentWidget()))
        sub->close();
    else
        ventana->close();
}

VentanaCatalogo::VentanaCatalogo(Contexto &ctx, Diseno diseno, ImpresionCatalogo imprime, QWidget *padre)
    : QWidget(padre), ctx_(ctx), diseno_(std::move(diseno)), imprime_(std::move(imprime)),
      catalogo_(ctx, diseno_.datos)
{
    setObjectName(diseno_.nombre);
    setWindowTitle(diseno_.titulo);

    barra_ = new BarraDatos(TitulosBarraCompleta(), this);
    HabilitaBotones(2, *barra_);
    AsignaImagenes(*barra_, diseno_.imagenes);
    if (!imprime_)
        barra_->Boton(12)->setEnabled(false);   // no print to call
    connect(barra_, &BarraDatos::BotonPulsado, this, &VentanaCatalogo::Boton);

    pestanas_ = new QTabWidget;
    pestanas_->setObjectName(QStringLiteral("SSTab1"));
    auto *pagina = new QWidget;
    auto *capaPag = new QVBoxLayout(pagina);
    pestanas_->addTab(pagina, diseno_.pestana);

    tituloGrid_ = new QLabel(diseno_.tituloGrid);
    tituloGrid_->setObjectName(QStringLiteral("dbgDatos_Caption"));
    tituloGrid_->setAlignment(Qt::AlignCenter);
    tituloGrid_->setFrameShape(QFrame::StyledPanel);
    tituloGrid_->setAutoFillBackground(true);
    tituloGrid_->setBackgroundRole(QPalette::Button);
    if (diseno_.tituloGrid.isEmpty())
        tituloGrid_->hide();
    capaPag->addWidget(tituloGrid_);

    rejilla_ = new RejillaSeleccion(catalogo_.Lista(), diseno_.columnas, QStringLiteral("dbgDatos"), this);
    rejilla_->teclaEnCaja = [this](int indice, QKeyEvent *tecla) { return TeclaEnCaja(indice, tecla); };
    rejilla_->teclaEnGrid = [this](QKeyEvent *tecla) { return TeclaEnGrid(tecla); };
    connect(rejilla_, &RejillaSeleccion::FilaElegida, this, [this](int fila) { catalogo_.PonActual(fila); });
    grid_ = rejilla_->Grid();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    capaPag->addWidget(grid_, 1);

    auto rejilla = [](QGroupBox *marco) {
        auto *r = new QGridLayout(marco);
        r->setHorizontalSpacing(6);
        return r;
    };
    // Label and box pairs, `porFila` to a row (0: all in one); in rows, a long
    // box takes a row of its own.
    auto coloca = [this](QGridLayout *r, const QVector<CajaBusqueda> &cajas, bool busqueda, int porFila) {
        int fila = 0, par = 0;
        for (const CajaBusqueda &c : cajas) {
            QLineEdit *caja = NuevaCaja(c, busqueda);
            const bool sola = porFila > 0 && c.largo > 11;
            if ((sola && par > 0) || (porFila > 0 && par == porFila)) {
                ++fila;
                par = 0;
            }
            r->addWidget(etiquetas_.value(c.indice), fila, 2 * par);
            r->addWidget(caja, fila, 2 * par + 1, 1, sola ? 2 * porFila - 1 : 1);
            par = sola ? porFila : par + 1;
        }
    };

    fraBuscar_ = new QGroupBox(QStringLiteral("Buscar por : "));
    fraBuscar_->setObjectName(QStringLiteral("fraBuscar"));
    coloca(rejilla(fraBuscar_), diseno_.datos.cajas, true, diseno_.porFilaBusqueda);
    capaPag->addWidget(fraBuscar_);

    QGridLayout *capaRegistro;
    if (!diseno_.marcoRegistro) {
        capaRegistro = new QGridLayout;
        capaPag->addLayout(capaRegistro);
    } else {
        fraDatos_ = new QGroupBox;
        fraDatos_->setObjectName(QStringLiteral("fraDatos"));
        capaRegistro = rejilla(fraDatos_);
        capaPag->addWidget(fraDatos_);
    }
    coloca(capaRegistro, diseno_.registro, false, diseno_.porFilaRegistro);
    if (fraDatos_)
        fraDatos_->setEnabled(false);   // shows the current row; nothing to enter

    auto *capa = new QVBoxLayout(this);
    capa->setMenuBar(barra_);
    capa->addWidget(pestanas_, 1);

    // The record boxes, then the search boxes, then the grid.
    QWidget *anterior = nullptr;
    auto encadena = [&anterior](QWidget *w) {
        if (anterior)
            setTabOrder(anterior, w);
        anterior = w;
    };
    for (const CajaBusqueda &c : diseno_.registro)
        encadena(txtDatos(c.indice));
    for (const CajaBusqueda &c : diseno_.datos.cajas)
        encadena(txtDatos(c.indice));
    encadena(grid_);

    setMinimumWidth(barra_->sizeHint().width());

    catalogo_.alCambiar = [this](bool filas) { Muestra(filas); };
    if (!diseno_.datos.cajas.isEmpty())
        setFocusProxy(txtDatos(diseno_.datos.cajas.first().indice));
}

QLineEdit *VentanaCatalogo::NuevaCaja(const CajaBusqueda &c, bool busqueda)
{
    auto *etiqueta = new QLabel(c.etiqueta);
    etiqueta->setObjectName(QStringLiteral("lblDatos_%1").arg(c.indice));
    etiqueta->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *caja = new QLineEdit;
    caja->setObjectName(QStringLiteral("txtDatos_%1").arg(c.indice));
    caja->setToolTip(c.ayuda);
    etiqueta->setBuddy(caja);
    // A box's length limits typing, not what a record box shows.
    if (busqueda)
        caja->setMaxLength(c.largo);
    else
        caja->setReadOnly(true);
    const bool larga = c.largo > 11;
    const int ancho = c.ancho > 0 ? Twips(c.ancho)
                                  : caja->fontMetrics().horizontalAdvance(QString(std::min(c.largo, 40) + 1, QLatin1Char('W')))
                                        + 12;
    caja->setMinimumWidth(larga ? std::min(ancho, 220) : ancho);
    if (!larga)
        caja->setMaximumWidth(ancho);
    rejilla_->AgregaCaja(c.indice, caja);
    if (busqueda) {
        const int indice = c.indice;
        connect(caja, &QLineEdit::textChanged, this, [this, indice](const QString &t) { CambiaCaja(indice, t); });
    }
    etiquetas_.insert(c.indice, etiqueta);
    return caja;
}

QSize VentanaCatalogo::sizeHint() const
{
    const QSize minimo = QWidget::sizeHint();
    if (diseno_.ancho <= 0 || diseno_.alto <= 0)
        return minimo;
    // The designed client area below the toolbar, never less than the layout needs.
    return QSize(Twips(diseno_.ancho), Twips(diseno_.alto) + barra_->sizeHint().height()).expandedTo(minimo);
}

bool VentanaCatalogo::Carga()
{
    const bool leido = catalogo_.Carga();
    MuestraPosicion();
    return leido;
}

void VentanaCatalogo::PonTitulo(const QString &titulo, const QString &pestana)
{
    diseno_.titulo = titulo;
    setWindowTitle(titulo);
    pestanas_->setTabText(0, pestana);
}

void VentanaCatalogo::ConfiguraGrid()
{
    QHeaderView *cab = grid_->horizontalHeader();
    const int columnas = rejilla_->Modelo()->columnCount();
    for (int c = 0; c < columnas; ++c) {
        if (c >= diseno_.columnas.size()) {
            grid_->setColumnHidden(c, true);
            continue;
        }
        const int ancho = diseno_.columnas[c].ancho;
        if (ancho > 0)
            grid_->setColumnWidth(c, std::max(Twips(ancho), cab->sectionSizeHint(c)));
    }
    for (int i = 0; i < diseno_.ordenGrid.size(); ++i)
        if (diseno_.ordenGrid[i] < columnas)
            cab->moveSection(cab->visualIndex(diseno_.ordenGrid[i]), i);
}

void VentanaCatalogo::Muestra(bool filas)
{
    const ListaSeleccion &lista = catalogo_.Lista();
    if (filas) {
        rejilla_->Recarga();
        ConfiguraGrid();
        rejilla_->EscribeCajas(diseno_.datos.cajas, [this](int i) { return catalogo_.TextoCaja(i); });
    }
    rejilla_->MuestraActual(lista);
    for (const CajaBusqueda &c : diseno_.registro) {
        QLineEdit *caja = txtDatos(c.indice);
        caja->setText(lista.TextoActual(c.columna));
        caja->setCursorPosition(0);   // a long text shows its beginning
    }
}

void VentanaCatalogo::MuestraPosicion()
{
    if (diseno_.prefijoPosicion.isEmpty())
        return;
    setWindowTitle(TituloPosicion(diseno_.prefijoPosicion, catalogo_.Lista()));
}

void VentanaCatalogo::Boton(int posicion)
{
    try {
        switch (posicion) {
        case 1: case 2: case 3: case 4:
            catalogo_.Mueve(posicion);
            MuestraPosicion();
            break;
        case 7:
            catalogo_.Refresca();
            break;
        case 12:
            if (imprime_)
                Imprime();
            break;
        case 13:
            CierraVentana(this);
            break;
        default:
            break;   // 5, 6, 10 and 11 have no action in a catalog
        }
    } catch (const ErrorBD &e) {
        ctx_.mensajes.Informa(e.Descripcion(), diseno_.datos.tituloMensajes);
        HabilitaBotones(2, *barra_);
    }
}

void VentanaCatalogo::Imprime()
{
    imprime_(diseno_.reporte, QString());
}

bool VentanaCatalogo::EsBusqueda(int indice) const
{
    return std::any_of(diseno_.datos.cajas.cbegin(), diseno_.datos.cajas.cend(),
                       [indice](const CajaBusqueda &c) { return c.indice == indice; });
}

void VentanaCatalogo::CambiaCaja(int indice, const QString &texto)
{
    QLineEdit *caja = txtDatos(indice);
    // Pasted or dropped text goes through the box's key set like typed keys.
    bool rechazo = false;
    const QString limpio = catalogo_.Acepta(indice, texto, &rechazo);
    if (limpio != texto) {
        if (rechazo)
            ctx_.mensajes.Beep();
        const int cursor = std::min(int(caja->cursorPosition()), int(limpio.size()));
        const QSignalBlocker bloqueo(caja);
        caja->setText(limpio);
        caja->setCursorPosition(cursor);
    }
    if (limpio == catalogo_.TextoCaja(indice))
        return;   // nothing of the paste was taken

    const bool sinFilas = catalogo_.Datos().avisaSinFilas && catalogo_.Lista().Cantidad() == 0;
    using R = BusquedaSeleccion::Resultado;
    const R r = catalogo_.Busca(indice, limpio);
    const bool restablecida = r == R::SinCoincidencia || r == R::Restablecida;
    QLineEdit *foco = restablecida && diseno_.focoTrasRestablecer >= 0 ? txtDatos(diseno_.focoTrasRestablecer) : caja;
    foco->setFocus();
    // A box filled to its length moves on by itself.
    if (!sinFilas && caja->text().trimmed().size() == caja->maxLength())
        rejilla_->PasaFoco(diseno_.datos.cajas, indice);
}

bool VentanaCatalogo::TeclaEnGrid(QKeyEvent *tecla)
{
    if (tecla->key() == Qt::Key_Escape && diseno_.escCierraGrid) {
        Boton(13);
        return true;
    }
    // No type-ahead in a read-only grid.
    return !tecla->text().isEmpty() && tecla->text().at(0).isPrint() && !(tecla->modifiers() & Qt::ControlModifier);
}

bool VentanaCatalogo::TeclaEnCaja(int indice, QKeyEvent *tecla)
{
    const bool busqueda = EsBusqueda(indice);
    switch (tecla->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (busqueda && diseno_.enterTabula)
            rejilla_->PasaFoco(diseno_.datos.cajas, indice);
        else
            ctx_.mensajes.Beep();
        return true;
    case Qt::Key_Escape:
        ctx_.mensajes.Beep();
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    // A paste goes through the key set before the box's length cuts it.
    if (busqueda && tecla->matches(QKeySequence::Paste)) {
        bool rechazo = false;
        const QString aceptado = catalogo_.Acepta(indice, QGuiApplication::clipboard()->text(), &rechazo);
        if (rechazo)
            ctx_.mensajes.Beep();
        txtDatos(indice)->insert(aceptado);
        return true;
    }
    const QString texto = tecla->text();
    // Moves and the control keys (copy, select all, undo).
    if (texto.isEmpty() || (tecla->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    bool rechazo = false;
    QString aceptado;
    if (busqueda) {
        aceptado = catalogo_.Acepta(indice, texto, &rechazo);
    } else {
        for (const CajaBusqueda &c : diseno_.registro)
            if (c.indice == indice)
                for (QChar ch : texto)
                    rechazo |= !AceptaTecla(c, ch);
    }
    if (rechazo)
        ctx_.mensajes.Beep();
    if (busqueda && !aceptado.isEmpty())
        txtDatos(indice)->insert(aceptado);
    return true;   // a record box is locked: an accepted key changes nothing either
}
