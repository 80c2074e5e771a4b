#include "capture/frmRegistro.h"

#include "capture/ManejadorRegistro.h"
#include "capture/TecladoHoja.h"
#include "platform/CursorOcupado.h"
#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>

namespace {

// Sizes of the sheet in pixels (twips / 15).
constexpr int AnchoHoja = 809;    // 12135 twips
constexpr int AltoBarra = 36;     // 540: the least; the captions' font may ask for more
constexpr int AnchoTab = 804;     // 12060
constexpr int AltoTab = 588;      // 8820

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

std::vector<QWidget *> frmRegistro::OrdenDeFoco() const
{
    std::vector<QWidget *> orden;
    for (const auto &p : paradas_)
        orden.push_back(p.second);
    return orden;
}

// ---------------------------------------------------------------------------
// Wiring

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
