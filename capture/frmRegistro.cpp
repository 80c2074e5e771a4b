#include "capture/frmRegistro.h"

#include "capture/ManejadorRegistro.h"
#include "capture/TecladoHoja.h"
#include "platform/CursorOcupado.h"
#include "shell/BarraDatos.h"
#include "shell/CamposVentana.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace {

// Sizes of the sheet in pixels (twips / 15).
constexpr int AnchoHoja = 809;    // 12135 twips
constexpr int AltoBarra = 36;     // 540: the least; the captions' font may ask for more
constexpr int AnchoTab = 804;     // 12060
constexpr int AltoTab = 588;      // 8820
constexpr int AltoCampo = 20;

// Colours written &HBBGGRR in the design, as RGB.
const QColor ColorDescripcion(192, 192, 255);   // &HFFC0C0: description labels and lists
const QColor ColorDiaSemana(255, 128, 0);       // &H80FF
const QColor ColorTituloMarco(0, 0, 192);       // &HC00000
const QColor ColorSeparador(0, 0, 128);         // &H800000

void PonColor(QWidget *w, QPalette::ColorRole rol, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(rol, color);
    w->setPalette(p);
}

// The button-shadow colour of a disabled field or list.
QColor ColorDeshabilitado()
{
    return QGuiApplication::palette().color(QPalette::Dark);
}

QIcon FlechaDerecha()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(8, 6), QPointF(8, 2), QPointF(14, 8), QPointF(8, 14),
                             QPointF(8, 10), QPointF(2, 10)}));
    p.end();
    return QIcon(pm);
}

bool TeclaNavegacion(int tecla)
{
    return tecla == Qt::Key_Home || tecla == Qt::Key_End || tecla == Qt::Key_Up || tecla == Qt::Key_Down
           || tecla == Qt::Key_PageUp || tecla == Qt::Key_PageDown;
}

bool EsEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// Items of a check list that wrap within the list's width: the view does
// not give its width to the size of an item, so the item would keep one line.
class DelegadoLista : public QStyledItemDelegate {
public:
    explicit DelegadoLista(QListWidget *lista) : QStyledItemDelegate(lista), lista_(lista) {}
    QSize sizeHint(const QStyleOptionViewItem &opcion, const QModelIndex &indice) const override
    {
        QStyleOptionViewItem o(opcion);
        // The width left with the scroll bar shown, so that showing it wraps nothing anew.
        o.rect.setWidth(lista_->width() - 2 * lista_->frameWidth() - lista_->verticalScrollBar()->sizeHint().width());
        return QStyledItemDelegate::sizeHint(o, indice);
    }

private:
    QListWidget *lista_;
};

// Focus stops that are not text fields, by the sheet's numbering.
constexpr int ParadaFecha[2] = {24, 2};
constexpr int ParadaLista[5] = {6, 30, 32, 48, 54};

} // namespace

frmRegistro::frmRegistro(Contexto &ctx, QWidget *padre)
    : QWidget(padre), ctx_(ctx), registro_(std::make_unique<HojaRegistro>(ctx))
{
    Construye();
}

frmRegistro::frmRegistro(Contexto &ctx, const ListasSeleccion &listas, QWidget *padre)
    : QWidget(padre), ctx_(ctx), registro_(std::make_unique<HojaRegistro>(ctx, listas))
{
    Construye();
}

frmRegistro::~frmRegistro()
{
    // The controls and their handlers go before the sheet state they talk to.
    const QObjectList hijos = children();
    for (QObject *hijo : hijos)
        delete hijo;
}

HojaDatos &frmRegistro::Hoja()
{
    return registro_->hoja;
}

VidaRegistro &frmRegistro::Vida()
{
    return registro_->vida;
}

bool frmRegistro::Capturando() const
{
    return registro_->hoja.EnAlta || registro_->hoja.EnCambio;
}

// ---------------------------------------------------------------------------
// Building

void frmRegistro::Construye()
{
    setObjectName(QStringLiteral("frmRegistro"));
    setWindowTitle(TituloHojaRegistro());
    setFocusPolicy(Qt::StrongFocus);
    QFont letra(QStringLiteral("DejaVu Sans Condensed"));
    letra.setPixelSize(11);
    setFont(letra);
    // Fields in a closed frame stay readable, as on the paper form.
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(40, 40, 40));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(40, 40, 40));
    setPalette(p);

    ConstruyeBarra();
    // The tab control under the bar, the window around both.
    setFixedSize(AnchoHoja, barra_->height() + AltoTab + 1);
    tab_ = new QTabWidget(this);
    tab_->setObjectName(QStringLiteral("SSTab1"));
    tab_->setGeometry(2, barra_->height(), AnchoTab, AltoTab);
    auto *pagina1 = new QWidget;
    auto *pagina2 = new QWidget;
    tab_->addTab(pagina1, QStringLiteral("HOJA DE REGISTRO 1"));
    tab_->addTab(pagina2, QStringLiteral("HOJA DE REGISTRO 2"));
    ConstruyePagina1(pagina1);
    ConstruyePagina2(pagina2);
    for (const auto &[campo, consejo] : {std::pair{23, "CLUES"}, {29, "Paterno"}, {30, "Materno"}, {31, "Nombre(s)"},
                                         {80, "Código"}, {81, "Médico Tratante"}})
        txt_.value(campo)->setToolTip(QString::fromUtf8(consejo));
    // Enter presses the focused button, as Space does: a clerk who moves with
    // Enter turns the page and adds a diagnosis without leaving the keys.
    for (QPushButton *b : {cambiar_[0], cambiar_[1], agrega_, modifica_, borra_})
        b->setAutoDefault(true);

    teclado_ = new TecladoHoja(registro_->reglas, registro_->hoja, ctx_.mensajes, this);
    for (auto it = txt_.cbegin(); it != txt_.cend(); ++it)
        teclado_->Instala(it.key(), it.value());

    // Focus order: the fields by their numbers, then the other stops.
    for (auto it = txt_.cbegin(); it != txt_.cend(); ++it)
        paradas_.emplace_back(CampoDe(it.key())->tab, it.value());
    for (int i = 0; i < 2; ++i)
        paradas_.emplace_back(ParadaFecha[i], msk_[i]);
    for (int l = 0; l < 5; ++l)
        paradas_.emplace_back(ParadaLista[l], listas_[l]);
    paradas_.emplace_back(43, cambiar_[0]);
    paradas_.emplace_back(58, agrega_);
    paradas_.emplace_back(64, cambiar_[1]);
    paradas_.emplace_back(65, modifica_);
    paradas_.emplace_back(67, borra_);
    paradas_.emplace_back(68, tab_);
    paradas_.emplace_back(95, grid_);
    std::sort(paradas_.begin(), paradas_.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < paradas_.size(); ++i)
        setTabOrder(paradas_[i - 1].second, paradas_[i].second);

    Conecta();
    for (int l = 0; l < 5; ++l)
        MuestraLista(ListaHoja(l));
    MuestraHabilitacion();
    MuestraBarra();
}

void frmRegistro::ConstruyeBarra()
{
    barra_ = new BarraDatos(TitulosBarraCompleta(), this);
    barra_->setIconSize(QSize(16, 16));
    barra_->setFocusPolicy(Qt::NoFocus);
    // A small font keeps the bar near its designed height.
    QFont letra = barra_->font();
    letra.setPointSizeF(7);
    barra_->setFont(letra);
    barra_->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; margin: 0px; }"));
    static const char *const consejos[13] = {"Primero", "Anterior", "Siguiente", "Último", "Altas de registros",
                                             "Cambios de Registros", "Refrescar", "Grabar Movimiento",
                                             "Cancelar Movimiento", "Buscar", "Bajas de registros", "Imprimir",
                                             "Cerrar"};
    for (int pos = 1; pos <= 13; ++pos)
        barra_->Boton(pos)->setToolTip(QString::fromUtf8(consejos[pos - 1]));

    menuBuscar_ = new QMenu(this);
    menuBuscar_->setObjectName(QStringLiteral("mnuBuscar"));
    const QStringList items = {QStringLiteral("Filtrar"), QStringLiteral("Quitar Filtro"),
                               QStringLiteral("Ver Tabla"), QStringLiteral("Exportar")};
    for (int i = 0; i < items.size(); ++i) {
        QAction *a = menuBuscar_->addAction(items[i]);
        a->setObjectName(QStringLiteral("mnuBuscar_%1").arg(i + 1));
        const int posicion = i + 1;
        connect(a, &QAction::triggered, this, [this, posicion] { MenuBuscar(posicion); });
    }
    QAction *buscar = barra_->Boton(10);
    buscar->setMenu(menuBuscar_);
    if (auto *boton = qobject_cast<QToolButton *>(barra_->widgetForAction(buscar))) {
        boton->setPopupMode(QToolButton::InstantPopup);
        // Room for the caption beside the drop-down arrow.
        boton->setMinimumWidth(boton->fontMetrics().horizontalAdvance(buscar->text()) + 24);
    }
    AsignaImagenes(*barra_, 0);
    // As high as a picture with its caption beneath needs, so that no
    // caption loses its dots or descenders.
    barra_->setGeometry(0, 0, AnchoHoja, qMax(AltoBarra, barra_->sizeHint().height()));
}

// One row of the sheet's layout: a control, in pixels inside its frame.
struct frmRegistro::Pieza {
    enum Tipo {
        // Captions: aligned left, right, at the bottom; small under a field; the bold sign between two fields;
        // the weekday box. One with an index other than 0 is lblDatos(indice), which the sheet rewrites.
        Rotulo, RotuloDerecha, RotuloAbajo, Pie, Separador, DiaSemana,
        Texto,         // txtDatos(indice)
        Descripcion,   // lblDatos(indice): the description of a code
        Fecha,         // mskDatos(indice)
        Lista,         // the check list ListaHoja(indice); texto is its name
        // Rows of several controls, the box being their first one's:
        Fila,          // right-aligned caption, txtDatos(indice) anchoCampo wide and, when
                       // anchoDescripcion is given, its description, 2 pixels apart
        Encima,        // the same with the caption (the box) above the field and its description
        Hora,          // hours and minutes of a time of day: txtDatos(indice) and (indice + 1)
        Estancia       // the same for a length of time
    } tipo;
    int indice;
    int x, y, ancho, alto;
    const char *texto = "";
    int anchoCampo = 0, anchoDescripcion = 0;
};

QGroupBox *frmRegistro::CreaMarco(QWidget *padre, Marco marco, const char *titulo, const char *nombre,
                                  const QRect &caja, std::initializer_list<Pieza> piezas)
{
    auto *g = new QGroupBox(QString::fromUtf8(titulo), padre);
    g->setObjectName(QString::fromUtf8(nombre));
    g->setGeometry(caja);
    for (QPalette::ColorGroup grupo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QPalette p = g->palette();
        p.setColor(grupo, QPalette::WindowText, ColorTituloMarco);
        g->setPalette(p);
    }
    marcos_.insert(marco, g);
    Coloca(g, piezas);
    return g;
}

void frmRegistro::Coloca(QWidget *padre, std::initializer_list<Pieza> piezas)
{
    for (const Pieza &p : piezas) {
        switch (p.tipo) {
        case Pieza::Fila:
        case Pieza::Encima: ColocaFila(padre, p); break;
        case Pieza::Hora:
        case Pieza::Estancia: ColocaTiempo(padre, p); break;
        case Pieza::Texto:
        case Pieza::Fecha: CreaCaja(padre, p); break;
        case Pieza::Descripcion: CreaDescripcion(padre, p); break;
        case Pieza::Lista: CreaLista(padre, p); break;
        default: CreaRotulo(padre, p); break;
        }
    }
}

// A caption, its field and the field's description, in one row or with the caption above.
void frmRegistro::ColocaFila(QWidget *padre, const Pieza &p)
{
    const bool encima = p.tipo == Pieza::Encima;
    const int xCampo = encima ? p.x : p.x + p.ancho + 2;
    const int yCampo = encima ? p.y + p.alto : p.y;
    Coloca(padre, {{encima ? Pieza::Rotulo : Pieza::RotuloDerecha, 0, p.x, p.y, p.ancho, p.alto, p.texto},
                   {Pieza::Texto, p.indice, xCampo, yCampo, p.anchoCampo, AltoCampo}});
    if (p.anchoDescripcion > 0)
        Coloca(padre, {{Pieza::Descripcion, p.indice, xCampo + p.anchoCampo + 2, yCampo, p.anchoDescripcion, AltoCampo}});
}

// Hours and minutes side by side, the sign between them, their captions beneath.
void frmRegistro::ColocaTiempo(QWidget *padre, const Pieza &p)
{
    const bool hora = p.tipo == Pieza::Hora;
    const int yPie = p.y + p.alto + 1;
    Coloca(padre, {{Pieza::Texto, p.indice, p.x, p.y, p.ancho, p.alto},
                   {Pieza::Separador, 0, p.x + p.ancho + 1, p.y, 8, p.alto, hora ? ":" : "-"},
                   {Pieza::Texto, p.indice + 1, p.x + p.ancho + 10, p.y, p.ancho, p.alto},
                   {Pieza::Pie, 0, p.x, yPie, 32, 12, hora ? "Hora" : "Horas"},
                   {Pieza::Pie, 0, p.x + 30, yPie, 40, 12, "Minutos"}});
}

// txtDatos(indice) with its field's length and alignment, or the date box
// mskDatos(indice); what the user types goes to the sheet state.
void frmRegistro::CreaCaja(QWidget *padre, const Pieza &p)
{
    const bool fecha = p.tipo == Pieza::Fecha;
    const int indice = p.indice;
    auto *e = new QLineEdit(padre);
    e->setObjectName((fecha ? QStringLiteral("mskDatos_%1") : QStringLiteral("txtDatos_%1")).arg(indice));
    e->setGeometry(p.x, p.y, p.ancho, p.alto);
    if (fecha) {
        e->setInputMask(QStringLiteral("00/00/0000;_"));
        e->installEventFilter(this);
        msk_[indice] = e;
    } else {
        const CampoHoja *c = CampoDe(indice);
        e->setMaxLength(c->largo);
        e->setAlignment(c->derecha ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        e->setDragEnabled(false);
        txt_.insert(indice, e);
    }
    e->setContextMenuPolicy(Qt::NoContextMenu);
    PonColor(e, QPalette::Base, Qt::white);
    connect(e, &QLineEdit::textEdited, this, [this, fecha, indice, e](const QString &t) {
        if (mostrando_)
            return;
        if (fecha)
            registro_->hoja.PonFecha(indice, e->displayText());
        else
            registro_->hoja.PonTexto(indice, t);
    });
}

// lblDatos(indice): a sunken box for the description of a code.
void frmRegistro::CreaDescripcion(QWidget *padre, const Pieza &p)
{
    auto *l = new QLabel(padre);
    l->setObjectName(QStringLiteral("lblDatos_%1").arg(p.indice));
    l->setGeometry(p.x, p.y, p.ancho, p.alto);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAutoFillBackground(true);
    l->setIndent(2);
    PonColor(l, QPalette::Window, ColorDescripcion);
    PonColor(l, QPalette::WindowText, QGuiApplication::palette().color(QPalette::WindowText));
    lbl_.insert(p.indice, l);
}

// The check list ListaHoja(indice); its ticks go to the sheet state.
void frmRegistro::CreaLista(QWidget *padre, const Pieza &p)
{
    const ListaHoja lista = ListaHoja(p.indice);
    auto *l = new QListWidget(padre);
    l->setObjectName(QString::fromUtf8(p.texto));
    l->setGeometry(p.x, p.y, p.ancho, p.alto);
    l->setTabKeyNavigation(false);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // An item longer than the list's width wraps onto more lines.
    l->setWordWrap(true);
    l->setItemDelegate(new DelegadoLista(l));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    PonColor(l, QPalette::Base, ColorDescripcion);
    l->installEventFilter(this);
    listas_[p.indice] = l;
    connect(l, &QListWidget::itemChanged, this, [this, lista, l](QListWidgetItem *item) {
        if (!mostrando_)
            registro_->hoja.Marca(lista, l->row(item), item->checkState() == Qt::Checked);
    });
}

// The captions, aligned by kind in the enumeration's order; one with an
// index is lblDatos(indice), which the sheet rewrites.
void frmRegistro::CreaRotulo(QWidget *padre, const Pieza &p)
{
    static const Qt::Alignment alineacion[] = {
        Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignVCenter, Qt::AlignLeft | Qt::AlignBottom,
        Qt::AlignLeft | Qt::AlignTop, Qt::AlignCenter, Qt::AlignCenter};
    auto *l = new QLabel(QString::fromUtf8(p.texto), padre);
    l->setGeometry(p.x, p.y, p.ancho, p.alto);
    l->setAlignment(alineacion[p.tipo]);
    l->setWordWrap(p.alto > AltoCampo);
    PonColor(l, QPalette::WindowText, Qt::black);
    QFont f = l->font();
    if (p.tipo == Pieza::Pie) {
        f.setPixelSize(9);
        l->setFont(f);
    } else if (p.tipo == Pieza::Separador) {
        f.setBold(true);
        l->setFont(f);
        PonColor(l, QPalette::WindowText, ColorSeparador);
    } else if (p.tipo == Pieza::DiaSemana) {
        l->setObjectName(QStringLiteral("lblDatos_%1").arg(p.indice));
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
        l->setAutoFillBackground(true);
        PonColor(l, QPalette::Window, ColorDiaSemana);
    }
    if (p.indice != 0 || p.tipo == Pieza::DiaSemana)
        lbl_.insert(p.indice, l);
}

void frmRegistro::ConstruyePagina1(QWidget *pagina)
{
    using P = Pieza;
    CreaMarco(pagina, Marco::Clues, "", "frmClues", {4, 2, 790, 56}, {
        {P::Fila, 22, 8, 8, 40, 20, "Folio :", 70},
        {P::Fila, 23, 130, 8, 48, 20, "CLUES :", 96},
        {P::Descripcion, 28, 280, 8, 500, 20},
        {P::RotuloDerecha, 0, 8, 31, 112, 20, "Fecha de Atención :"},
        {P::Fecha, 1, 122, 31, 76, 20},
        {P::RotuloDerecha, 0, 210, 31, 90, 20, "Mes Estadístico :"},
        {P::Descripcion, 1, 302, 31, 160, 20},
    });

    QGroupBox *afectado = CreaMarco(pagina, Marco::Afectado, "Datos del Afectado", "frmAfectado", {4, 60, 790, 236}, {
        {P::Fila, 29, 8, 18, 52, 20, "Paterno :", 190},
        {P::Fila, 30, 258, 18, 54, 20, "Materno :", 190},
        {P::Fila, 31, 510, 18, 64, 20, "Nombre(s) :", 206},
        {P::Rotulo, 0, 8, 42, 180, 16, "Derechohabiencia :"},
        {P::Lista, int(ListaHoja::Derechohabiencia), 8, 58, 210, 98, "lstDerechohabiencia"},
        {P::Fila, 32, 222, 44, 64, 20, "CURP :", 140},
        {P::RotuloDerecha, 23, 222, 68, 64, 20, "Afiliación :"},
        {P::Texto, 33, 288, 68, 86, 20},
        {P::Separador, 0, 375, 68, 8, 20, "-"},
        {P::Texto, 34, 384, 68, 24, 20},
        {P::RotuloDerecha, 22, 222, 92, 64, 20, "Expediente :"},
        {P::Texto, 35, 288, 92, 110, 20},
        {P::Fila, 36, 436, 44, 120, 20, "Edad :", 32},
        {P::Texto, 37, 592, 44, 18, 20},
        {P::Descripcion, 37, 612, 44, 170, 20},
        {P::Fila, 38, 436, 66, 120, 20, "Sexo :", 20, 202},
        {P::Fila, 39, 436, 88, 120, 20, "Embarazada :", 20, 202},
        {P::Fila, 40, 436, 110, 120, 20, "Sabe Leer y Escribir :", 20, 202},
        {P::Fila, 41, 436, 132, 120, 20, "Escolaridad :", 20, 202},
    });

    CreaMarco(afectado, Marco::Domicilio, "Domicilio de Ocurrencia", "frmDomicilio", {8, 160, 774, 70}, {
        {P::Fila, 42, 4, 18, 36, 20, "Calle :", 156},
        {P::Fila, 43, 200, 18, 88, 20, "Entre Calle Uno :", 116},
        {P::Fila, 44, 408, 18, 88, 20, "Entre Calle Dos :", 116},
        {P::Fila, 45, 616, 18, 48, 20, "Colonia :", 100},
        // The descriptions share what the captions and codes leave of the row.
        {P::Fila, 46, 4, 42, 46, 20, "Entidad :", 24, 165},
        {P::Fila, 47, 247, 42, 56, 20, "Municipio :", 30, 160},
        {P::Fila, 48, 499, 42, 55, 20, "Localidad :", 36, 174},
    });

    QGroupBox *evento = CreaMarco(pagina, Marco::Evento, " Datos del Evento", "frmEvento", {4, 298, 750, 262}, {
        // Left column.
        {P::Rotulo, 0, 8, 18, 104, 20, "Fecha de Ocurrencia:"},
        {P::Fecha, 0, 114, 18, 76, 20},
        {P::Rotulo, 8, 8, 42, 230, 16, "Hora de Ocurrencia (00:00 -- 23:59)"},
        {P::Hora, 49, 8, 58, 24, 20},
        {P::DiaSemana, 0, 96, 58, 120, 20},
        {P::Fila, 51, 8, 94, 138, 20, "Fué día Festivo :", 20, 126},
        {P::Fila, 52, 8, 116, 138, 20, "Discapacidad Preexistente :", 20, 126},
        {P::Fila, 53, 8, 138, 138, 20, "Intencionalidad :", 20, 126},
        {P::Rotulo, 0, 8, 162, 288, 16, "Especificar el (los) tipo(s) de violencia(s):"},
        {P::Lista, int(ListaHoja::TipoViolencia), 8, 178, 288, 78, "lstTipoViolencia"},
        // Middle column: the site and the agent with their captions above,
        // so that their descriptions have the column's width.
        {P::RotuloAbajo, 0, 302, 14, 206, 28, "Para Caso de Violencia o Evento Autoinfligido :"},
        {P::Texto, 54, 302, 44, 20, 20},
        {P::Descripcion, 54, 324, 44, 184, 20},
        {P::RotuloAbajo, 0, 302, 66, 206, 28, "Se Sospecha que el Paciente estaba bajo los Efectos de :"},
        {P::Lista, int(ListaHoja::PacienteEfectos), 302, 96, 206, 88, "lstPacienteEfectos"},
        {P::Encima, 55, 302, 186, 206, 14, "Sitio de Ocurrencia:", 24, 180},
        {P::Encima, 56, 302, 222, 206, 14, "Agente de la Lesión:", 24, 180},
    });
    // Right column.
    CreaMarco(evento, Marco::Accidente, "Si la causa fué Accidente de Vehículo de Motor", "frmAccidente",
              {512, 12, 234, 92}, {
        // Each caption as wide as its text, the last one above its field, so
        // that the descriptions have the rest of the frame.
        {P::Fila, 57, 2, 16, 82, 20, "El lesionado es :", 20, 124},
        {P::Fila, 58, 2, 38, 134, 20, "Uso Equipo de Seguridad :", 20, 72},
        {P::Encima, 59, 4, 60, 226, 14, "Qué Equipo de Seguridad utilizó :", 20, 204},
    });
    Coloca(evento, {
        {P::Encima, 60, 512, 106, 234, 14, "Área Anatómica de Mayor Gravedad :", 24, 208},
        {P::Encima, 61, 512, 142, 234, 14, "Consecuencia Resultante de Mayor Gravedad :", 24, 208},
        {P::Rotulo, 0, 512, 180, 160, 20, "Recibió Atención Prehospitalaria"},
        {P::Texto, 62, 674, 180, 20, 20},
        {P::Descripcion, 62, 696, 180, 50, 20},
        {P::Rotulo, 34, 512, 204, 234, 16, "Tiempo de traslado a la Unidad Hospitalaria"},
        {P::Estancia, 63, 512, 220, 24, 20},
    });

    cambiar_[0] = new QPushButton(pagina);
    cambiar_[0]->setObjectName(QStringLiteral("cmdCambiar_0"));
}

void frmRegistro::ConstruyePagina2(QWidget *pagina)
{
    using P = Pieza;
    CreaMarco(pagina, Marco::Agresor, "Agresor", "frmAgresor", {4, 2, 790, 124}, {
        {P::Fila, 65, 8, 20, 80, 20, "Agresor :", 20, 240},
        {P::Fila, 66, 8, 44, 80, 20, "Edad :", 34},
        {P::Rotulo, 0, 128, 44, 40, 20, "Años"},
        {P::Fila, 67, 8, 68, 80, 20, "Sexo :", 20, 240},
        {P::Fila, 68, 8, 92, 80, 20, "Parentesco :", 20, 240},
        {P::Rotulo, 0, 400, 16, 380, 16, "Se Sospecha que fué bajo los Efectos de :"},
        {P::Lista, int(ListaHoja::AgresorEfectos), 400, 32, 382, 86, "lstAgresorEfectos"},
    });

    QGroupBox *atencion = CreaMarco(pagina, Marco::Atencion, "Atención", "frmAtencion", {4, 128, 790, 376}, {
        {P::Rotulo, 0, 8, 20, 196, 20, "Hora de Atención (00:00 -- 23:59)"},
        {P::Hora, 69, 206, 20, 24, 20},
        {P::RotuloDerecha, 0, 8, 58, 120, 20, "Servicio de Atención :"},
        {P::Descripcion, 71, 130, 58, 300, 20},
        {P::Texto, 71, 434, 58, 20, 20},
        {P::Rotulo, 21, 8, 84, 290, 30, "Si fue atendido en urgencias, escriba el tiempo de estancia en el servicio"},
        {P::Estancia, 72, 304, 88, 24, 20},
        // The care types as wide as their longest item; the referral and the
        // destination reach left under the emergency time for their descriptions.
        {P::Rotulo, 0, 492, 16, 290, 16, "Tipo de Atención :"},
        {P::Lista, int(ListaHoja::TipoAtencion), 492, 32, 290, 96, "lstTipoAtencion"},
        {P::Fila, 74, 282, 134, 170, 20, "Usuario referido por :", 20, 306},
        {P::Fila, 75, 282, 158, 170, 20, "Destino después de la Atención :", 24, 302},
        {P::Rotulo, 0, 8, 190, 240, 20, "Diagnósticos finales en orden de importancia :"},
        {P::Texto, 76, 250, 190, 44, 20},
        {P::Descripcion, 76, 296, 190, 486, 20},
    });
    grid_ = new QTableWidget(0, 2, atencion);
    grid_->setObjectName(QStringLiteral("grdAfecciones"));
    grid_->setGeometry(8, 214, 560, 82);
    grid_->setHorizontalHeaderLabels({QStringLiteral("NUMAFEC"), QStringLiteral("AFECCION")});
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->verticalHeader()->setVisible(false);
    // NUMAFEC hidden; AFECCION 300 twips per character of its caption.
    grid_->setColumnHidden(0, true);
    grid_->setColumnWidth(1, 160);
    agrega_ = new QPushButton(QStringLiteral("Agregar"), atencion);
    agrega_->setObjectName(QStringLiteral("cmdAgregaAfec"));
    agrega_->setGeometry(576, 214, 90, 24);
    modifica_ = new QPushButton(QStringLiteral("Modificar"), atencion);
    modifica_->setObjectName(QStringLiteral("cmdModificaAfec"));
    modifica_->setGeometry(576, 243, 90, 24);
    borra_ = new QPushButton(QStringLiteral("Borrar"), atencion);
    borra_->setObjectName(QStringLiteral("cmdBorraAfec"));
    borra_->setGeometry(576, 272, 90, 24);
    Coloca(atencion, {
        {P::Fila, 77, 8, 302, 170, 20, "Reselección Afección Principal :", 44, 556},
        {P::Fila, 78, 8, 326, 170, 20, "Causa externa :", 44, 556},
        {P::Fila, 79, 8, 350, 170, 20, "Se dió aviso al Ministerio Público :", 20, 200},
    });

    CreaMarco(pagina, Marco::Responsable, "Responsable", "frmResponsable", {4, 508, 750, 50}, {
        {P::Fila, 80, 8, 20, 150, 20, "Responsable de la Atención :", 20, 200},
        {P::RotuloDerecha, 24, 386, 20, 50, 20, "Nombre :"},
        {P::Texto, 81, 438, 20, 300, 20},
    });

    cambiar_[1] = new QPushButton(pagina);
    cambiar_[1]->setObjectName(QStringLiteral("cmdCambiar_1"));
    // Both page buttons at the lower right of their page: 555 by 405 twips.
    for (QPushButton *b : cambiar_) {
        b->setGeometry(758, 530, 37, 27);
        b->setIcon(FlechaDerecha());
        b->setToolTip(QStringLiteral("Siguiente sección"));
        b->installEventFilter(this);
    }
}

std::vector<QWidget *> frmRegistro::OrdenDeFoco() const
{
    std::vector<QWidget *> orden;
    for (const auto &p : paradas_)
        orden.push_back(p.second);
    return orden;
}

// ---------------------------------------------------------------------------
// Wiring and mirrors

void frmRegistro::Conecta()
{
    HojaDatos &hoja = registro_->hoja;
    VidaRegistro &vida = registro_->vida;
    connect(&hoja, &HojaDatos::TextoCambiado, this, &frmRegistro::MuestraTexto);
    connect(&hoja, &HojaDatos::FechaModificada, this, &frmRegistro::MuestraFecha);
    connect(&hoja, &HojaDatos::EtiquetaCambiada, this, &frmRegistro::MuestraEtiqueta);
    connect(&hoja, &HojaDatos::HabilitacionCambiada, this, &frmRegistro::MuestraHabilitacion);
    connect(&hoja, &HojaDatos::ListaRecargada, this, &frmRegistro::MuestraLista);
    connect(&hoja, &HojaDatos::MarcaCambiada, this, &frmRegistro::MuestraMarca);
    connect(&hoja, &HojaDatos::PaginaCambiada, this, &frmRegistro::MuestraPagina);
    connect(&hoja, &HojaDatos::TituloCambiado, this, &QWidget::setWindowTitle);
    connect(&hoja, &HojaDatos::AfeccionesCambiadas, this, &frmRegistro::MuestraAfecciones);
    connect(&hoja, &HojaDatos::PideFoco, this, [this](int i) {
        if (const CampoHoja *c = CampoDe(i))
            PonFoco(txt_.value(i), PaginaDe(c->marco));
    });
    connect(&hoja, &HojaDatos::PideFocoFecha, this, [this](int i) { PonFoco(msk_[i], 0); });
    connect(&hoja, &HojaDatos::PideFocoLista, this, [this](ListaHoja l) {
        const bool pagina2 = l == ListaHoja::AgresorEfectos || l == ListaHoja::TipoAtencion;
        PonFoco(listas_[int(l)], pagina2 ? 1 : 0);
    });

    connect(&vida, &VidaRegistro::BarraCambiada, this, &frmRegistro::MuestraBarra);
    connect(&vida, &VidaRegistro::PideCierre, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });
    vida.AbreSeleccionClues = [this] {
        if (registro_->listas.Clues)
            registro_->listas.Clues(this);
    };

    connect(barra_, &BarraDatos::BotonPulsado, this, [this](int pos) { registro_->vida.BotonPulsado(pos); });
    connect(tab_, &QTabWidget::currentChanged, this, [this](int pagina) {
        if (!mostrando_)
            registro_->hoja.PonPagina(pagina);
    });
    tab_->tabBar()->installEventFilter(this);
    tab_->installEventFilter(this);
    for (int i = 0; i < 2; ++i)
        connect(cambiar_[i], &QPushButton::clicked, this, [this, i] { registro_->vida.Cambiar(i); });

    // A click can arrive before the leave check of the field it left has run:
    // that check runs first, and a refusal (the field takes the focus back)
    // stops the button, so that no unchecked code enters the list.
    auto revisado = [this](QPushButton *boton) {
        if (!teclado_->SalidaPendiente())
            return true;
        teclado_->RevisaSalida();
        return QApplication::focusWidget() == boton;
    };
    connect(agrega_, &QPushButton::clicked, this, [this, revisado] {
        if (revisado(agrega_))
            registro_->diagnosticos.Agrega();
    });
    connect(modifica_, &QPushButton::clicked, this, [this, revisado] {
        if (revisado(modifica_))
            registro_->diagnosticos.Modifica(grid_->currentRow());
    });
    connect(borra_, &QPushButton::clicked, this, [this] { registro_->diagnosticos.Borra(grid_->currentRow()); });
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int fila) {
        if (!mostrando_ && fila >= 0)
            registro_->diagnosticos.FilaElegida(fila);
    });

    teclado_->Cancelar = [this] { registro_->vida.BotonPulsado(9); };
    // Ctrl+G saves on the key press, in whatever order a fast typist lets go
    // of the keys, from any control of the sheet.
    auto *grabar = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    grabar->setContext(Qt::WidgetWithChildrenShortcut);
    connect(grabar, &QShortcut::activated, this, [this] { registro_->vida.AtajoGrabar(); });
    teclado_->TeclaAbajo = [this](QKeyEvent *e) { registro_->vida.Mueve_Registros(e->key()); };
}

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

void frmRegistro::MuestraBarra()
{
    const VidaRegistro &vida = registro_->vida;
    HabilitaBotones(vida.ModoBarra(), *barra_);
    // With no event there is nothing to edit or delete.
    if (vida.ModoBarra() == 2 && !vida.HayEventos()) {
        barra_->Boton(6)->setEnabled(false);
        barra_->Boton(11)->setEnabled(false);
    }
    // Filtering needs events to filter; the query windows need their wiring.
    const bool navegando = vida.ModoBarra() == 2;
    const QList<QAction *> items = menuBuscar_->actions();
    items[0]->setEnabled(navegando && consultas_.Filtrar && vida.HayEventos());
    items[1]->setEnabled(navegando);
    items[2]->setEnabled(navegando && bool(consultas_.VerTabla));
    items[3]->setEnabled(navegando && bool(consultas_.Exportar));
    MuestraHabilitacion();
}

void frmRegistro::PonConsultas(const ConsultasHoja &consultas)
{
    consultas_ = consultas;
    MuestraBarra();
}

void frmRegistro::MenuBuscar(int posicion)
{
    const VidaRegistro &vida = registro_->vida;
    if (vida.ModoBarra() != 2)
        return;
    if (posicion == 1 && consultas_.Filtrar && vida.HayEventos())
        consultas_.Filtrar(*this);
    else if (posicion == 3 && consultas_.VerTabla)
        consultas_.VerTabla(*this);
    else if (posicion == 4 && consultas_.Exportar)
        consultas_.Exportar(*this);
    else
        registro_->vida.MenuBuscar(posicion);
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

// ---------------------------------------------------------------------------
// Keys and focus

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

// ---------------------------------------------------------------------------

void RecargaHojaRegistro(QMdiArea &area)
{
    for (QMdiSubWindow *sub : area.subWindowList())
        if (auto *hoja = qobject_cast<frmRegistro *>(sub->widget()))
            hoja->Vida().Recarga();
}

frmRegistro *AbreHojaRegistro(Contexto &ctx, QMdiArea &area, const ConsultasHoja &consultas)
{
    for (QMdiSubWindow *sub : area.subWindowList())
        if (auto *hoja = qobject_cast<frmRegistro *>(sub->widget())) {
            // Brought forward and loaded again on every event, unless the
            // user keeps the capture in progress.
            area.setActiveSubWindow(sub);
            if (hoja->Vida().Reabre())
                hoja->SSTab1()->setFocus();
            return hoja;
        }
    frmRegistro *hoja;
    QMdiSubWindow *sub;
    {
        CursorOcupado ocupado;
        hoja = new frmRegistro(ctx);
        sub = area.addSubWindow(hoja, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        hoja->PonConsultas(consultas);
        hoja->Vida().Abre();
    }
    sub->setFixedSize(sub->sizeHint());
    sub->show();
    hoja->SSTab1()->setFocus();
    return hoja;
}
