#include "catalogs/frmCatListaDetallada.h"

#include "lookups/modSeleccionaCatalogos.h"
#include "platform/CursorOcupado.h"
#include "queries/CriteriosConsulta.h"
#include "shell/BarraDatos.h"
#include "shell/Contexto.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString TituloLista = QStringLiteral("Catálogo de Lista Detallada");

DatosCatalogo DatosListaDetallada()
{
    DatosCatalogo d;
    // The filter window's statement over every cause.
    d.consulta = SentenciaListaCIE10({QStringLiteral("(1 = 1)"), {}, QString(), {}}).sql;
    d.tituloMensajes = TituloLista;
    return d;
}

QFrame *Linea()
{
    auto *l = new QFrame;
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

} // namespace

QString NombreSexo(const QString &letra)
{
    if (letra == QLatin1String("A"))
        return QStringLiteral("AMBOS");
    if (letra == QLatin1String("M"))
        return QStringLiteral("MASCULINO");
    if (letra == QLatin1String("F"))
        return QStringLiteral("FEMENINO");
    return QString();
}

QString NombreUnidadEdad(const QString &letra)
{
    if (letra == QLatin1String("A"))
        return QStringLiteral("AÑOS");
    if (letra == QLatin1String("M"))
        return QStringLiteral("MESES");
    if (letra == QLatin1String("D"))
        return QStringLiteral("DIAS");
    if (letra == QLatin1String("H"))
        return QStringLiteral("HORAS");
    return QString();
}

frmCatListaDetallada::frmCatListaDetallada(Contexto &ctx, ImpresionCatalogo imprime, BusquedaCIE10 busca,
                                           QWidget *padre)
    : QWidget(padre), ctx_(ctx), imprime_(std::move(imprime)), busca_(std::move(busca)),
      catalogo_(ctx, DatosListaDetallada())
{
    setObjectName(QStringLiteral("frmCatListaDetallada"));
    setWindowTitle(QStringLiteral("Lista Detallada"));

    barra_ = new BarraDatos(TitulosBarraCompleta(), this);
    AsignaImagenes(*barra_, 0);
    // Only moving, refreshing, printing and closing act here.
    for (int pos : {5, 6, 8, 9, 10, 11})
        barra_->Boton(pos)->setEnabled(false);
    barra_->Boton(12)->setEnabled(bool(imprime_));
    connect(barra_, &BarraDatos::BotonPulsado, this, &frmCatListaDetallada::Boton);

    pestanas_ = new QTabWidget;
    pestanas_->setObjectName(QStringLiteral("SSTab1"));
    auto *pagina = new QWidget;
    pestanas_->addTab(pagina, QStringLiteral("LISTA DETALLADA"));
    auto *capaPag = new QVBoxLayout(pagina);

    auto rotulo = [](const QString &t) {
        auto *l = new QLabel(t);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };

    cmdTabla_ = new QPushButton(ImagenTB(15), QStringLiteral("&Tabla"));
    cmdTabla_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdBuscar_ = new QPushButton(ImagenTB(11), QStringLiteral("&Buscar"));
    cmdBuscar_->setObjectName(QStringLiteral("cmdBuscar"));
    cmdBuscar_->setEnabled(bool(busca_));
    connect(cmdTabla_, &QPushButton::clicked, this, [this] { MuestraListadet(ctx_, nullptr, ListadetTabla, this); });
    connect(cmdBuscar_, &QPushButton::clicked, this, [this] {
        if (busca_)
            busca_(*this);
    });

    auto *fila0 = new QHBoxLayout;
    fila0->addWidget(rotulo(QStringLiteral("Clave :")));
    fila0->addWidget(Caja(0, 4));
    fila0->addStretch(1);
    fila0->addWidget(cmdTabla_);
    fila0->addWidget(cmdBuscar_);
    capaPag->addLayout(fila0);

    auto *fila1 = new QHBoxLayout;
    auto *rotNombre = rotulo(QStringLiteral("Descripción :"));
    rotNombre->setAlignment(Qt::AlignRight | Qt::AlignTop);
    fila1->addWidget(rotNombre);
    nombre_ = new QPlainTextEdit;
    nombre_->setObjectName(QStringLiteral("txtDatos_1"));
    nombre_->setReadOnly(true);
    nombre_->setTabChangesFocus(true);
    nombre_->setFixedSize(Twips(6225), Twips(1230));
    nombre_->installEventFilter(this);
    fila1->addWidget(nombre_);
    fila1->addStretch(1);
    capaPag->addLayout(fila1);
    capaPag->addWidget(Linea());

    auto *fila2 = new QHBoxLayout;
    fila2->addWidget(rotulo(QStringLiteral("Sexo :")));
    fila2->addWidget(Caja(2, 1));
    fila2->addWidget(Letra(8));
    fila2->addStretch(1);
    capaPag->addLayout(fila2);

    auto *fila3 = new QHBoxLayout;
    fila3->addWidget(rotulo(QStringLiteral("Rango de Edad :")));
    fila3->addWidget(rotulo(QStringLiteral("De :")));
    fila3->addWidget(Caja(3, 3));
    fila3->addWidget(Caja(4, 1));
    fila3->addWidget(Letra(5));
    fila3->addSpacing(12);
    fila3->addWidget(rotulo(QStringLiteral("A :")));
    fila3->addWidget(Caja(5, 3));
    fila3->addWidget(Caja(6, 1));
    fila3->addWidget(Letra(7));
    fila3->addStretch(1);
    capaPag->addLayout(fila3);
    capaPag->addWidget(Linea());

    fraCausa_ = new QGroupBox;
    fraCausa_->setObjectName(QStringLiteral("fraCausa"));
    auto *capaCausa = new QHBoxLayout(fraCausa_);
    asterisco_ = new QCheckBox(QStringLiteral("Asterisco"));
    asterisco_->setObjectName(QStringLiteral("chkTipo_5"));
    capaCausa->addWidget(asterisco_);
    capaCausa->addStretch(1);
    fraCausa_->setEnabled(false);   // shows the mark; cannot change it
    capaPag->addWidget(fraCausa_);
    capaPag->addStretch(1);

    auto *capa = new QVBoxLayout(this);
    capa->setMenuBar(barra_);
    capa->addWidget(pestanas_, 1);
    setMinimumWidth(barra_->sizeHint().width());
    setFocusProxy(cmdTabla_);

    catalogo_.alCambiar = [this](bool) { Muestra(); };
}

QLineEdit *frmCatListaDetallada::Caja(int indice, int largo)
{
    auto *caja = new QLineEdit;
    caja->setObjectName(QStringLiteral("txtDatos_%1").arg(indice));
    caja->setReadOnly(true);
    caja->setFixedWidth(caja->fontMetrics().horizontalAdvance(QString(largo + 1, QLatin1Char('W'))) + 10);
    caja->installEventFilter(this);
    cajas_.insert(indice, caja);
    return caja;
}

QLabel *frmCatListaDetallada::Letra(int indice)
{
    auto *l = new QLabel;
    l->setObjectName(QStringLiteral("lblDatos_%1").arg(indice));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(255, 224, 192));   // &H00C0E0FF
    l->setPalette(p);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("MASCULINO")) + 16);
    etiquetas_.insert(indice, l);
    return l;
}

void frmCatListaDetallada::ActualizaListaDetallada(const ConsultaSQL &lista)
{
    catalogo_.Carga(lista);
    const bool hayFilas = catalogo_.Lista().Cantidad() > 0;
    for (int pos = 1; pos <= 4; ++pos)
        barra_->Boton(pos)->setEnabled(hayFilas);
}

void frmCatListaDetallada::Muestra()
{
    for (auto it = cajas_.cbegin(); it != cajas_.cend(); ++it) {
        it.value()->setText(catalogo_.TextoActual(it.key()));
        it.value()->setCursorPosition(0);
    }
    nombre_->setPlainText(catalogo_.TextoActual(1));
    asterisco_->setChecked(catalogo_.TextoActual(7) == QLatin1String("1"));
    etiquetas_.value(8)->setText(NombreSexo(cajas_.value(2)->text()));
    etiquetas_.value(5)->setText(NombreUnidadEdad(cajas_.value(4)->text()));
    etiquetas_.value(7)->setText(NombreUnidadEdad(cajas_.value(6)->text()));
}

void frmCatListaDetallada::Boton(int posicion)
{
    try {
        switch (posicion) {
        case 1: case 2: case 3: case 4:
            catalogo_.Mueve(posicion);
            break;
        case 7: {
            CursorOcupado ocupado;
            ctx_.EscribePanel(QStringLiteral("Actualizando, espere por favor......"));
            ActualizaListaDetallada();   // the whole catalog again, without a query's condition
            ctx_.EscribePanel(QString());
            break;
        }
        case 12:
            if (imprime_)
                imprime_(QStringLiteral("rptCatListaDet"), QString());
            break;
        case 13:
            CierraVentana(this);
            break;
        default:
            break;
        }
    } catch (const ErrorBD &e) {
        ctx_.mensajes.Informa(e.Descripcion(), TituloLista);
    }
}

bool frmCatListaDetallada::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::FocusIn && EntraElUsuario(evento)) {
        if (auto *caja = qobject_cast<QLineEdit *>(objeto))
            QTimer::singleShot(0, caja, &QLineEdit::selectAll);
        else if (objeto == nombre_)
            QTimer::singleShot(0, nombre_, &QPlainTextEdit::selectAll);
    }
    return QWidget::eventFilter(objeto, evento);
}
