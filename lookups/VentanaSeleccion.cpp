#include "lookups/VentanaSeleccion.h"

#include "lookups/CamposDestino.h"
#include "platform/BaseDatos.h"
#include "platform/CursorOcupado.h"
#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

ModeloSeleccion::ModeloSeleccion(const ListaSeleccion &lista, QObject *padre)
    : QAbstractTableModel(padre), lista_(lista)
{
}

void ModeloSeleccion::Recarga()
{
    beginResetModel();
    endResetModel();
}

int ModeloSeleccion::rowCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : lista_.Cantidad();
}

int ModeloSeleccion::columnCount(const QModelIndex &padre) const
{
    return padre.isValid() ? 0 : lista_.Columnas();
}

QVariant ModeloSeleccion::data(const QModelIndex &indice, int rol) const
{
    if (rol != Qt::DisplayRole || !indice.isValid())
        return QVariant();
    return lista_.Texto(indice.row(), indice.column());
}

QVariant ModeloSeleccion::headerData(int seccion, Qt::Orientation orientacion, int rol) const
{
    if (rol != Qt::DisplayRole)
        return QVariant();
    if (orientacion == Qt::Vertical)
        return seccion + 1;
    const QString t = titulos_.value(seccion);
    return t.isEmpty() ? lista_.NombreColumna(seccion) : t;
}

// ---------------------------------------------------------------------------

VentanaSeleccion::VentanaSeleccion(Contexto &ctx, CamposDestino *destino, int campo, Diseno diseno,
                                   QWidget *padre)
    : QDialog(padre), ctx_(ctx), destino_(destino), campo_(destino ? campo : -1),
      diseno_(std::move(diseno)),
      busqueda_(lista_, diseno_.cajas, diseno_.reglas)
{
    setModal(true);
    setWindowTitle(diseno_.titulo);

    barra_ = new BarraDatos({QStringLiteral("Primero"), QStringLiteral("Anterior"), QStringLiteral("Siguiente"),
                             QStringLiteral("Último"), QStringLiteral("-"), QStringLiteral("Aceptar"),
                             QStringLiteral("Cancelar")},
                            this);
    AsignaImagenes(*barra_, 3);   // the pick-list pictures: a check mark on Aceptar
    connect(barra_, &BarraDatos::BotonPulsado, this, &VentanaSeleccion::Boton);

    rejilla_ = new RejillaSeleccion(lista_, diseno_.columnas, diseno_.nombreGrid, this);
    rejilla_->seleccionaAlEntrar = diseno_.seleccionaAlEntrar;
    rejilla_->teclaEnCaja = [this](int indice, QKeyEvent *tecla) { return TeclaEnCaja(indice, tecla); };
    rejilla_->teclaEnGrid = [this](QKeyEvent *tecla) { return TeclaEnGrid(tecla); };
    connect(rejilla_, &RejillaSeleccion::FilaElegida, this, [this](int fila) {
        lista_.PonActual(fila);
        ActualizaTitulo();
    });
    grid_ = rejilla_->Grid();

    fraBuscar_ = new QGroupBox(QStringLiteral("Buscar por : "));
    fraBuscar_->setObjectName(QStringLiteral("fraBuscar"));
    auto *rejilla = new QGridLayout(fraBuscar_);
    int col = 0;
    for (const CajaBusqueda &c : diseno_.cajas) {
        auto *etiqueta = new QLabel(c.etiqueta);
        etiqueta->setObjectName(QStringLiteral("lblDatos_%1").arg(c.indice));
        auto *caja = new QLineEdit;
        caja->setObjectName(QStringLiteral("txtDatos_%1").arg(c.indice));
        caja->setMaxLength(c.largo);
        caja->setContextMenuPolicy(Qt::NoContextMenu);   // no paste around the key rules
        caja->setAcceptDrops(false);
        const bool descripcion = c.modo == ListaSeleccion::Coincide::Contiene;
        if (c.ancho > 0)
            caja->setMinimumWidth(Twips(c.ancho));
        if (!descripcion)   // a code box as wide as its code, or its caption
            caja->setMaximumWidth(std::max({caja->minimumWidth(), etiqueta->sizeHint().width(),
                                        caja->fontMetrics().horizontalAdvance(QString(qMin(c.largo, 14) + 2, QLatin1Char('W')))}));
        rejilla_->AgregaCaja(c.indice, caja);
        const int indice = c.indice;
        connect(caja, &QLineEdit::textChanged, this, [this, indice](const QString &t) { CambiaCaja(indice, t); });
        rejilla->addWidget(etiqueta, 0, col);
        rejilla->addWidget(caja, 1, col);
        rejilla->setColumnStretch(col, descripcion ? 1 : 0);
        ++col;
    }

    fraSeleccion_ = new QGroupBox(diseno_.marcoSeleccion);
    fraSeleccion_->setObjectName(QStringLiteral("fraSeleccion"));
    grid_->verticalHeader()->setResizeContentsPrecision(200);   // the rows measured for a column's width
    connect(grid_, &QTableView::doubleClicked, this, [this] { AsignaDatos(); });
    auto *capaSel = new QVBoxLayout(fraSeleccion_);
    capaSel->addWidget(grid_);

    auto *capa = new QVBoxLayout(this);
    capa->setMenuBar(barra_);
    if (diseno_.pestana.isEmpty()) {
        capa->addWidget(fraBuscar_);
        capa->addWidget(fraSeleccion_, 1);
    } else {
        pestanas_ = new QTabWidget;
        pestanas_->setObjectName(QStringLiteral("SSTab1"));
        auto *pagina = new QWidget;
        auto *capaPag = new QVBoxLayout(pagina);
        capaPag->addWidget(fraSeleccion_, 1);
        capaPag->addWidget(fraBuscar_);
        pestanas_->addTab(pagina, diseno_.pestana);
        capa->addWidget(pestanas_, 1);
    }
    if (diseno_.botones) {
        auto *fila = new QHBoxLayout;
        fila->addStretch();
        const QStringList textos = {QStringLiteral("&Aceptar"), QStringLiteral("&Cancelar")};
        for (int i = 0; i < textos.size(); ++i) {
            auto *b = new QPushButton(textos[i]);
            b->setObjectName(QStringLiteral("cmdDatos_%1").arg(i));
            b->setAutoDefault(false);
            fila->addWidget(b);
            cmdDatos_ << b;
        }
        cmdDatos_[0]->setDefault(true);
        connect(cmdDatos_[0], &QPushButton::clicked, this, [this] { AsignaDatos(); });
        connect(cmdDatos_[1], &QPushButton::clicked, this, &QDialog::reject);
        capa->addLayout(fila);
    }
    // Never so narrow that a toolbar button ("Cancelar") hides behind the overflow arrow.
    setMinimumWidth(barra_->sizeHint().width());
    if (diseno_.ancho > 0 && diseno_.alto > 0)
        resize(Twips(diseno_.ancho), Twips(diseno_.alto));
    if (!diseno_.cajas.isEmpty())
        Caja(diseno_.cajas.first().indice)->setFocus();
}

bool VentanaSeleccion::CargaFilas(const QString &sql, const QVariantList &valores, const QString &tituloError,
                                  const QString &mensajeVacio, const QString &tituloVacio)
{
    bool fallo = false;
    QString falla;
    {
        CursorOcupado ocupado;
        try {
            lista_.Carga(ctx_.ConexionBD, sql, valores);
        } catch (const ErrorBD &e) {
            fallo = true;
            falla = e.Descripcion();
        }
    }
    if (fallo) {
        MuestraFallaLectura(falla, tituloError);
        return false;
    }
    if (lista_.Total() == 0 && !mensajeVacio.isEmpty()) {
        ctx_.mensajes.Informa(mensajeVacio, tituloVacio);
        return false;
    }
    rejilla_->Recarga();
    anchoValores_.clear();
    ConfiguraGrid();
    MuestraActual();
    return true;
}

void VentanaSeleccion::MuestraFallaLectura(const QString &motivo, const QString &titulo)
{
    ::MuestraFallaLectura(ctx_.mensajes, motivo, titulo);
}

void VentanaSeleccion::ConfiguraGrid()
{
    for (int c = 0; c < diseno_.columnas.size(); ++c)
        if (diseno_.columnas[c].ancho > 0)
            AnchoColumna(c, diseno_.columnas[c].ancho, diseno_.columnas[c].recorta);
}

void VentanaSeleccion::AnchoColumna(int columna, int twips, bool recorta)
{
    if (recorta) {
        grid_->setColumnWidth(columna, qMax(Twips(twips), grid_->horizontalHeader()->sectionSizeHint(columna)));
        return;
    }
    // Measured once per reading: a search that resets shows the same rows again.
    auto ancho = anchoValores_.constFind(columna);
    if (ancho == anchoValores_.cend()) {
        grid_->resizeColumnToContents(columna);   // caption and values
        ancho = anchoValores_.insert(columna, grid_->columnWidth(columna));
    }
    grid_->setColumnWidth(columna, qMax(Twips(twips), *ancho));
}

void VentanaSeleccion::AsignaDatos()
{
    if (lista_.Actual() < 0) {   // nothing current (an empty list, a type-ahead that found nothing)
        ctx_.mensajes.Beep();
        return;
    }
    if (destino_ && campo_ >= 0) {
        destino_->PonTexto(campo_, lista_.TextoActual(diseno_.columnaCodigo));
        DespuesDeAsignar();
    }
    accept();
}

void VentanaSeleccion::Boton(int posicion)
{
    if (posicion == 6)
        AsignaDatos();
    else if (posicion == 7)
        reject();
    else if (MueveLista(lista_, posicion, ctx_.mensajes))
        MuestraActual();
}

void VentanaSeleccion::CambiaCaja(int indice, const QString &texto)
{
    const BusquedaSeleccion::Resultado r = busqueda_.Cambia(indice, texto);
    if (r != BusquedaSeleccion::Resultado::Nada) {
        rejilla_->Recarga();
        if (r != BusquedaSeleccion::Resultado::Filtrada) {
            ConfiguraGrid();
            rejilla_->EscribeCajas(diseno_.cajas, [this](int i) { return busqueda_.Texto(i); });
        }
        MuestraActual();
        if (r == BusquedaSeleccion::Resultado::SinCoincidencia)
            ctx_.mensajes.Informa(diseno_.reglas.textoSinCoincidencia, diseno_.reglas.tituloSinCoincidencia);
    }
    QLineEdit *caja = Caja(indice);
    caja->setFocus();
    if (diseno_.tabulaAlLlenar && caja->text().trimmed().size() == caja->maxLength())
        rejilla_->PasaFoco(diseno_.cajas, indice);
}

void VentanaSeleccion::MuestraActual()
{
    rejilla_->MuestraActual(lista_);
    ActualizaTitulo();
}

void VentanaSeleccion::ActualizaTitulo()
{
    if (diseno_.prefijoPosicion.isEmpty())
        return;
    setWindowTitle(TituloPosicion(diseno_.prefijoPosicion, lista_));
}

bool EntraElUsuario(QEvent *evento)
{
    const Qt::FocusReason r = static_cast<QFocusEvent *>(evento)->reason();
    return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason;
}

bool VentanaSeleccion::TeclaEnCaja(int indice, QKeyEvent *tecla)
{
    switch (tecla->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (diseno_.enterCaja == EnterEnCaja::Elige)
            AsignaDatos();
        else
            rejilla_->PasaFoco(diseno_.cajas, indice);
        return true;
    case Qt::Key_Escape:
        if (diseno_.escCaja != EscEnCaja::Rechaza)
            reject();
        if (diseno_.escCaja != EscEnCaja::Cierra)
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
    const QString texto = tecla->text();
    // Pasting (Ctrl+V, Shift+Insert) would bring in text that no key rule saw.
    if (tecla->matches(QKeySequence::Paste)) {
        ctx_.mensajes.Beep();
        return true;
    }
    if (texto.isEmpty())
        return false;   // moves and other keys that type nothing
    if (tecla->modifiers() & Qt::ControlModifier) {
        ctx_.mensajes.Beep();
        return true;
    }
    bool rechazo = false;
    const QString aceptado = busqueda_.AceptaTexto(indice, texto, &rechazo);
    if (rechazo)
        ctx_.mensajes.Beep();
    if (!aceptado.isEmpty())
        Caja(indice)->insert(aceptado);
    return true;
}

bool VentanaSeleccion::TeclaEnGrid(QKeyEvent *tecla)
{
    if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
        AsignaDatos();
        return true;
    }
    const QString texto = tecla->text();
    if (texto.isEmpty() || !texto.at(0).isPrint())
        return false;   // moves, Esc (the dialog cancels) and the like
    if (diseno_.tecleoEnGrid && texto.at(0).isDigit()) {
        lista_.BuscaPrefijo(0, texto.left(1));
        MuestraActual();
        grid_->setFocus();
    }
    return true;   // no jumping by typed letters
}
