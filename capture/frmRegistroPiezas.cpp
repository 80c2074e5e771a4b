// The sheet's layout builder: the rows of a layout table made into frames,
// captions, fields, descriptions and check lists.
#include "capture/frmRegistroComun.h"

#include "capture/ManejadorRegistro.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QStyledItemDelegate>

using namespace PantallaHoja;

namespace {

// Colours written &HBBGGRR in the design, as RGB.
const QColor ColorDiaSemana(255, 128, 0);       // &H80FF
const QColor ColorTituloMarco(0, 0, 192);       // &HC00000
const QColor ColorSeparador(0, 0, 128);         // &H800000

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

} // namespace

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
