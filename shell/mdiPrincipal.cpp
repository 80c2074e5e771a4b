#include "shell/mdiPrincipal.h"

#include "shell/PanelTexto.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>

namespace {

struct ItemCatalogo {
    int indice;
    const char *titulo;
    const char *tabla;
    const char *columna;
    const char *tituloVentana;
};

// The coded catalogs of the Catalogos menu: caption, table, code column, window title.
const ItemCatalogo ItemsCatalogo[] = {
    {5, "&Tipos de Unidades", "cTipoUnidad", "CodTipoUnidad", "Tipo de Unidad"},
    {10, "Derechohabiencia", "cDerechohabiencia", "CodDerechohabiencia", "Derechohabiencia"},
    {11, "Escolaridad", "cEscolaridad", "CodEscolaridad", "Escolaridad"},
    {12, "Intencionalidad", "cIntencionalidad", "CodIntencionalidad", "Intencionalidad"},
    {13, "Tipo de Violencia", "cTipoViolencia", "CodTipoViolencia", "Tipo de Violencia"},
    {14, "Sitio de Ocuerrencia", "cSitio", "CodSitio", "Sitio de Ocurrencia"},
    {15, "Agente de la Lesión", "cAgente", "CodAgente", "Agente de la Lesión"},
    {16, "Área Anatomica de Mayor Gravedad", "cArea", "CodArea", "Área Anatomica de Mayor Gravedad"},
    {17, "Consecuencia Resultante de Mayor Gravedad", "cConsecuencia", "CodConsecuencia",
     "Consecuencia Resultante de Mayor Gravedad"},
    {18, "Parentesco con el Afectado", "cParentesco", "CodParentesco", "Parentesco con el Afectado"},
    {19, "Servicio de Atención", "cServicio", "CodServicio", "Servicio de Atención"},
    {20, "Tipo de Atención", "cTipoAtencion", "CodTipoAtencion", "Tipo de Atención"},
    {21, "Usuario Referido por..", "cReferido", "CodReferido", "Usuario Referido por"},
    {22, "Destino Después de la Atención", "cDestino", "CodDestino", "Destino Después de la Atención"},
};

QString Clave(const QString &arreglo, int indice)
{
    return arreglo + QLatin1Char(':') + QString::number(indice);
}

} // namespace

QString TextoEstadoAno(const BaseDatos &bd, const QString &estado, const QString &ano)
{
    try {
        const QVariant d = bd.Valor(QStringLiteral("SELECT Descripcion FROM cEstados WHERE CodEstado = ?"), {estado});
        if (d.isValid())
            return d.toString() + QStringLiteral(" - ") + ano;
    } catch (const ErrorBD &) {
        // Without the catalog the year alone still tells which database is open.
    }
    return ano;
}

mdiPrincipal::mdiPrincipal(Contexto &ctx, QWidget *padre)
    : QMainWindow(padre), ctx_(ctx), area_(new QMdiArea(this)), tmrMDI_(new QTimer(this)), reloj_(new QTimer(this))
{
    setObjectName(QStringLiteral("mdiPrincipal"));
    setWindowTitle(QStringLiteral("Sistema VELMORAN"));
    setCentralWidget(area_);
    resize(1024, 740);
    CreaMenus();
    CreaBarraEstado();

    // Stopped during start-up; start-up sets 20 s once the main window is ready.
    tmrMDI_->setInterval(0);
    connect(tmrMDI_, &QTimer::timeout, this, [this] { paneles_[0]->clear(); });
    ctx_.PanelMensajes = [this](const QString &t) { paneles_[0]->setText(t); };
    // Long work would leave the timer overdue and its text wiped the moment the
    // work ends: it waits meanwhile and counts its 20 seconds from the end.
    ctx_.TrabajoLargo = [tmr = QPointer<QTimer>(tmrMDI_)](bool empieza) {
        if (!tmr)
            return;
        if (empieza)
            tmr->stop();
        else if (tmr->interval() > 0)
            tmr->start();
    };
}

QAction *mdiPrincipal::Agrega(QMenu *menu, const QString &arreglo, int indice, const QString &titulo)
{
    QAction *a = titulo == QLatin1String("-") ? menu->addSeparator() : menu->addAction(titulo);
    if (!a->isSeparator())
        a->setEnabled(false);
    a->setObjectName(QStringLiteral("%1_%2").arg(arreglo).arg(indice));
    items_.insert(Clave(arreglo, indice), a);
    return a;
}

void mdiPrincipal::CreaMenus()
{
    QMenuBar *mb = menuBar();

    QMenu *archivo = mb->addMenu(QStringLiteral("&Archivo"));
    archivo->setObjectName(QStringLiteral("mnuArchivo"));
    QAction *salir = Agrega(archivo, QStringLiteral("mnuArch"), 10, QStringLiteral("&Salir"));
    salir->setEnabled(true);
    connect(salir, &QAction::triggered, this, &QWidget::close);

    QMenu *cat = mb->addMenu(QStringLiteral("&Catalogos"));
    cat->setObjectName(QStringLiteral("mnuCatalogos"));
    const QList<QPair<int, QString>> fijos = {
        {0, QStringLiteral("&Estados")},        {1, QStringLiteral("&Jurisdicciones")},
        {2, QStringLiteral("&Municipios")},     {3, QStringLiteral("&Localidades")},
        {4, QStringLiteral("-")},               {6, QStringLiteral("&CLUES")},
        {7, QStringLiteral("-")},               {8, QStringLiteral("Lista &Detallada CIE10")},
        {9, QStringLiteral("-")},               {23, QStringLiteral("-")},
    };
    // Menu order follows the indexes.
    QMap<int, QString> titulos;
    for (const auto &f : fijos)
        titulos.insert(f.first, f.second);
    for (const ItemCatalogo &i : ItemsCatalogo)
        titulos.insert(i.indice, QString::fromUtf8(i.titulo));
    for (auto it = titulos.cbegin(); it != titulos.cend(); ++it)
        Agrega(cat, QStringLiteral("mnuCat"), it.key(), it.value());

    QMenu *capt = mb->addMenu(QStringLiteral("Ca&ptura"));
    capt->setObjectName(QStringLiteral("mnuActual"));
    Agrega(capt, QStringLiteral("mnuCapt"), 0, QStringLiteral("&Hoja de Atención por Violencia y/o Lesión"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));

    QAction *rep = mb->addAction(QStringLiteral("&Reportes"));
    rep->setObjectName(QStringLiteral("mnuReportes"));
    rep->setEnabled(false);
    items_.insert(Clave(QStringLiteral("mnuReportes"), 0), rep);

    QMenu *herr = mb->addMenu(QStringLiteral("&Herramientas"));
    herr->setObjectName(QStringLiteral("mnuHerramientas"));
    const QString h = QStringLiteral("mnuHerra");
    Agrega(herr, h, 0, QStringLiteral("&Respaldar Base de Datos"));
    Agrega(herr, h, 1, QStringLiteral("Compactar y Restaurar &Base de Datos"));
    Agrega(herr, h, 2, QStringLiteral("-"));
    Agrega(herr, h, 3, QStringLiteral("&Envío"));
    Agrega(herr, h, 4, QStringLiteral("Re&cepción"));
    Agrega(herr, h, 5, QStringLiteral("&Bitácora"));
    Agrega(herr, h, 8, QStringLiteral("-"));
    QMenu *param = herr->addMenu(QStringLiteral("&Parámetros de Inicio"));
    param->setObjectName(QStringLiteral("mnuHerra_10"));
    Agrega(param, QStringLiteral("mnuParaIni"), 0, QStringLiteral("&Estado y Año"));
    Agrega(herr, h, 12, QStringLiteral("-"));
    Agrega(herr, h, 13, QStringLiteral("Genera &Tabla Dinámica VELMORAN"));
    QMenu *completa = herr->addMenu(QStringLiteral("Generar Tabla &Completa"));
    completa->setObjectName(QStringLiteral("mnuHerra_14"));
    Agrega(completa, QStringLiteral("mnuTablaExcel"), 16, QStringLiteral("E&xcel"));
    Agrega(completa, QStringLiteral("mnuTabla"), 17, QStringLiteral("-"));
    Agrega(completa, QStringLiteral("mnuTablaAcces"), 18, QStringLiteral("A&ccess"));
}

void mdiPrincipal::CreaBarraEstado()
{
    const char *iniciales[4] = {"Mensajes del XOLT", "Entidad", "", ""};
    for (int i = 0; i < 4; ++i) {
        // The message panel takes long stage texts of every tool: shortened
        // to its room, they leave the state and year whole beside them.
        paneles_[i] = i == 0 ? new PanelTexto(QString::fromUtf8(iniciales[i]), this)
                             : new QLabel(QString::fromUtf8(iniciales[i]), this);
        paneles_[i]->setObjectName(QStringLiteral("stbMDI_%1").arg(i + 1));
        paneles_[i]->setMargin(2);
    }
    paneles_[2]->setToolTip(QStringLiteral("Fecha del Sistema"));
    paneles_[3]->setToolTip(QStringLiteral("Hora del Sistema"));
    // Panel 2 as wide as its text, panel 1 the rest of the room.
    statusBar()->addWidget(paneles_[0], 1);
    statusBar()->addWidget(paneles_[1]);
    statusBar()->addPermanentWidget(paneles_[2]);
    statusBar()->addPermanentWidget(paneles_[3]);

    auto refresca = [this] {
        const QDateTime ahora = ctx_.reloj.Ahora();
        paneles_[2]->setText(ahora.toString(QStringLiteral("dd/MM/yyyy")));
        paneles_[3]->setText(ahora.toString(QStringLiteral("hh:mm")));
    };
    refresca();
    connect(reloj_, &QTimer::timeout, this, refresca);
    reloj_->start(1000);
}

QAction *mdiPrincipal::Item(const QString &arreglo, int indice) const
{
    return items_.value(Clave(arreglo, indice), nullptr);
}

void mdiPrincipal::AsignaAccion(const QString &arreglo, int indice, std::function<void()> accion)
{
    QAction *a = Item(arreglo, indice);
    if (!a)
        return;
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, accion] {
        // A database error must not escape into the event loop, which would end the program.
        try {
            accion();
        } catch (const ErrorBD &e) {
            ctx_.mensajes.Informa(QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion(),
                                  windowTitle());
        }
    });
}

void mdiPrincipal::AsignaCargaCatalogo(std::function<void(const QString &, const QString &, const QString &)> carga)
{
    for (const ItemCatalogo &i : ItemsCatalogo) {
        const QString tabla = QString::fromUtf8(i.tabla), columna = QString::fromUtf8(i.columna),
                      titulo = QString::fromUtf8(i.tituloVentana);
        AsignaAccion(QStringLiteral("mnuCat"), i.indice, [carga, tabla, columna, titulo] { carga(tabla, columna, titulo); });
    }
}

QLabel *mdiPrincipal::Panel(int n) const
{
    return n >= 1 && n <= 4 ? paneles_[n - 1] : nullptr;
}

void mdiPrincipal::MuestraEstadoAno()
{
    paneles_[1]->setText(TextoEstadoAno(ctx_.ConexionBD, ctx_.EstadoActual, ctx_.AnoActual));
}

void mdiPrincipal::PonFondo(const QString &imagen)
{
    QPixmap pm;
    tieneFondo_ = QFileInfo::exists(imagen) && pm.load(imagen);
    if (tieneFondo_)
        area_->setBackground(QBrush(pm));
}

bool mdiPrincipal::CierraVentanasHijas(Cierre cierre)
{
    bool todas = true;
    const auto hijas = area_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = hijas.crbegin(); it != hijas.crend(); ++it)
        if (!(*it)->close()) {
            todas = false;
            if (cierre == Cierre::HastaUnaNegativa)
                break;
        }
    return todas;
}

void mdiPrincipal::closeEvent(QCloseEvent *e)
{
    // A child window that stays open (the user keeps a capture) keeps the program open.
    if (!CierraVentanasHijas()) {
        e->ignore();
        return;
    }
    ctx_.ConexionBD.Cierra();
    e->accept();
}
