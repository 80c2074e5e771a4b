#include "platform/ReportePintor.h"

#include "platform/ArchivoDestino.h"
#include "platform/CursorOcupado.h"
#include "platform/DialogoArchivos.h"
#include "platform/ExportaTabla.h"
#include "platform/Mensajes.h"

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QPrinter>
#include <QScreen>

namespace {

Qt::Alignment Banderas(Alineacion a)
{
    switch (a) {
    case Alineacion::Centro: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alineacion::Derecha: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

namespace {

// Texts are black; each change of pen is written out.
void TintaNegra(QPainter &p)
{
    if (p.pen().color() != Qt::black)
        p.setPen(Qt::black);
}

// The fonts of a document on one device. Report texts are plain text where
// each character is one glyph, so a one-line text is set from the glyphs and
// advances of its characters, kept per font, instead of being shaped anew each
// time: a catalog paints hundreds of thousands of cells.
class FuentesPintura {
public:
    FuentesPintura(const DocumentoReporte &doc, const QPaintDevice &dispositivo) : k(dispositivo.logicalDpiX() / 72.0)
    {
        for (const FuenteDocumento &f : doc.fuentes) {
            QFont q(f.familia);
            q.setPointSizeF(f.puntos);
            q.setBold(f.negrita);
            q.setHintingPreference(QFont::PreferNoHinting);   // the same spacing at every resolution
            fuentes.append(q);
            Glifos g;
            g.raw = QRawFont::fromFont(q);
            g.raw.setPixelSize(f.puntos * k);
            glifos.append(g);
        }
    }

    // Sets a one-line text from its glyphs; false when one of its characters
    // needs shaping or the text is wider than its box. The texts of one font
    // wait and go out together (Suelta): a PDF writes each run with its own
    // state, so one run per change of font or fill instead of one per cell.
    bool PintaGlifos(QPainter &p, int fuente, const QString &texto, const QRectF &r, Alineacion a)
    {
        if (fuente < 0 || fuente >= glifos.size() || !glifos[fuente].raw.isValid())
            return false;
        Glifos &g = glifos[fuente];
        const qsizetype desde = indices_.size();
        indices_.resize(desde + texto.size());
        posiciones_.resize(desde + texto.size());
        auto deshace = [&] {
            indices_.resize(desde);
            posiciones_.resize(desde);
            return false;
        };
        double x = 0;
        for (int i = 0; i < texto.size(); ++i) {
            auto it = g.porCaracter.constFind(texto[i].unicode());
            if (it == g.porCaracter.cend()) {
                const QChar c = texto[i];
                QPair<quint32, double> glifo{0, 0};
                if (!c.isSurrogate() && !c.isMark()) {
                    const QList<quint32> indices = g.raw.glyphIndexesForString(QString(c));
                    if (indices.size() == 1) {
                        const QList<QPointF> avances = g.raw.advancesForGlyphIndexes(indices);
                        glifo = {indices[0], avances.value(0).x()};
                    }
                }
                it = g.porCaracter.insert(c.unicode(), glifo);
            }
            if (it->first == 0)
                return deshace();
            indices_[desde + i] = it->first;
            posiciones_[desde + i] = QPointF(x, 0);
            x += it->second;
        }
        if (x > r.width())
            return deshace();
        const double izquierda = a == Alineacion::Derecha ? r.right() - x
            : a == Alineacion::Centro ? r.left() + (r.width() - x) / 2 : r.left();
        const double base = r.top() + (r.height() - g.raw.ascent() - g.raw.descent()) / 2 + g.raw.ascent();
        for (qsizetype i = desde; i < posiciones_.size(); ++i)
            posiciones_[i] += QPointF(izquierda, base);
        if (fuente != pendiente_ && desde > 0) {   // another font: the waiting texts go first
            const QList<quint32> nuevos = indices_.mid(desde);
            const QList<QPointF> lugares = posiciones_.mid(desde);
            indices_.resize(desde);
            posiciones_.resize(desde);
            Suelta(p);
            indices_ = nuevos;
            posiciones_ = lugares;
        }
        pendiente_ = fuente;
        return true;
    }

    // Paints the texts waiting.
    void Suelta(QPainter &p)
    {
        if (indices_.isEmpty())
            return;
        TintaNegra(p);
        QGlyphRun corrida;
        corrida.setRawFont(glifos[pendiente_].raw);
        corrida.setGlyphIndexes(indices_);
        corrida.setPositions(posiciones_);
        p.drawGlyphRun(QPointF(0, 0), corrida);
        indices_.clear();
        posiciones_.clear();
    }

    const double k;
    QVector<QFont> fuentes;

private:
    struct Glifos {
        QRawFont raw;
        QHash<char16_t, QPair<quint32, double>> porCaracter;   // glyph 0: the character needs shaping
    };
    QVector<Glifos> glifos;
    QList<quint32> indices_;      // glyphs waiting, all of font pendiente_
    QList<QPointF> posiciones_;
    int pendiente_ = -1;
};

void PintaPagina(QPainter &p, const PaginaReporte &pagina, FuentesPintura &fuentes)
{
    // The model is in points; the device in its own dots.
    const double k = fuentes.k;
    auto escala = [k](const QRectF &r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    for (const ElementoPagina &e : pagina.elementos) {
        if (e.tipo == ElementoPagina::Tipo::Relleno)
            fuentes.Suelta(p);   // a fill never covers a text painted before it; rules cross no text
        switch (e.tipo) {
        case ElementoPagina::Tipo::Relleno:
            p.fillRect(escala(e.caja), QColor::fromRgba(e.color));
            break;
        case ElementoPagina::Tipo::Linea:
            if (p.pen().color().rgba() != e.color || p.pen().widthF() != 0.5 * k)   // each change of pen is written out
                p.setPen(QPen(QColor::fromRgba(e.color), 0.5 * k));
            p.drawLine(QPointF(e.caja.left() * k, e.caja.top() * k), QPointF(e.caja.right() * k, e.caja.bottom() * k));
            break;
        case ElementoPagina::Tipo::Texto: {
            const QRectF r = escala(e.caja);
            const bool renglones = e.texto.contains(QLatin1Char('\n'));
            if (!renglones && fuentes.PintaGlifos(p, e.fuente, e.texto, r, e.alineacion))
                break;
            fuentes.Suelta(p);
            TintaNegra(p);
            p.setFont(fuentes.fuentes.value(e.fuente));
            // A text wider than its cell is cut with an ellipsis, never painted over its neighbour.
            const QString t = renglones ? e.texto : QFontMetricsF(p.font(), p.device()).elidedText(e.texto, Qt::ElideRight, r.width());
            p.drawText(r, int(Banderas(e.alineacion)), t);
            break;
        }
        }
    }
    fuentes.Suelta(p);
}

} // namespace

void PintaReporte(const DocumentoReporte &doc, QPagedPaintDevice &dispositivo)
{
    QPainter p;
    if (!p.begin(&dispositivo))
        throw ErrorReporte(QStringLiteral("No se pudo iniciar la impresión del reporte"));
    p.setRenderHint(QPainter::Antialiasing);
    FuentesPintura fuentes(doc, dispositivo);
    for (int i = 0; i < doc.Paginas(); ++i) {
        if (i > 0)
            dispositivo.newPage();
        PintaPagina(p, doc.Pagina(i), fuentes);
    }
    p.end();
}

void PreparaImpresora(QPrinter &impresora, const DocumentoReporte &doc)
{
    impresora.setFullPage(true);
    impresora.setPageLayout(doc.pagina);
    impresora.setDocName(doc.titulo);
}

namespace {

// Whether the file ends as a PDF writer ends one.
bool PdfCompleto(const QString &archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 16 || !f.seek(f.size() - 16))
        return false;
    return f.read(16).trimmed().endsWith("%%EOF");
}

} // namespace

void GuardaPdf(const DocumentoReporte &doc, const QString &ruta, const QStringList &protegidos)
{
    const QString rechazo = RevisaDestino(ruta, protegidos);
    if (!rechazo.isEmpty())
        throw ErrorReporte(rechazo);
    ArchivoDestino destino(ruta);
    {
        QPdfWriter pdf(destino.RutaTemporal());
        pdf.setCreator(QStringLiteral("VELMORAN"));
        pdf.setTitle(doc.titulo);
        pdf.setResolution(72);
        pdf.setPageLayout(doc.pagina);
        PintaReporte(doc, pdf);
    }
    // The writer says nothing of a failed write: a PDF that ends short was not written whole.
    if (!PdfCompleto(destino.RutaTemporal()))
        throw ErrorReporte(DiscoLleno(destino.RutaTemporal())
                               ? TextoDiscoLleno(ruta)
                               : QStringLiteral("No se pudo escribir el archivo %1").arg(QDir::toNativeSeparators(ruta)));
    QString error;
    if (!destino.Confirma(&error))
        throw ErrorReporte(QStringLiteral("No se pudo guardar el reporte en %1: %2").arg(ruta, error));
}

std::unique_ptr<QPrintDialog> DialogoImpresion(QPrinter &impresora, QWidget *padre)
{
    // Qt's dialog gives its output-file box a completer over the user's home
    // folder that starts listing it at once, reading the files there to guess
    // their types: closing such a read of a database drops SQLite's locks on
    // it. The dialog is built while the home folder is an empty one, and the
    // completer goes before anything is shown.
    const QTemporaryDir vacia;
    if (!vacia.isValid())
        throw ErrorReporte(QStringLiteral("No se pudo preparar el diálogo de impresión: %1").arg(vacia.errorString()));
    const bool conCasa = qEnvironmentVariableIsSet("HOME");
    const QByteArray casa = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(vacia.path()));
    auto dialogo = std::make_unique<QPrintDialog>(&impresora, padre);
    if (conCasa)
        qputenv("HOME", casa);
    else
        qunsetenv("HOME");
    for (QLineEdit *caja : dialogo->findChildren<QLineEdit *>())
        if (caja->completer() && qobject_cast<QFileSystemModel *>(caja->completer()->model()))
            caja->setCompleter(nullptr);   // the box deletes the completer it owns
    qDeleteAll(dialogo->findChildren<QFileSystemModel *>());   // waits for its listing to stop
    // Files are written by "Guardar PDF...", with the refusals of every output file.
    dialogo->setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialogo;
}

namespace {

// A file name from a report's title.
QString NombrePdf(const QString &titulo)
{
    QString nombre = titulo.trimmed();
    static const QRegularExpression prohibidos(QStringLiteral("[/\\\\:*?\"<>|]"));
    nombre.replace(prohibidos, QStringLiteral("-"));
    return (nombre.isEmpty() ? QStringLiteral("Reporte") : nombre) + QStringLiteral(".pdf");
}

// "Guardar PDF...": the program's file dialog, then the refusals and the
// question every output file goes through.
void GuardaPdfElegido(const DocumentoReporte &doc, const SalidaReporte &salida, QWidget *padre)
{
    DialogoArchivosQt real(padre, QStringLiteral("pdf"));
    DialogoArchivos &dialogo = salida.dialogo ? *salida.dialogo : real;
    const QString elegida = dialogo.GuardarSinConfirmar(QStringLiteral("Guardar PDF"), salida.carpeta,
                                                        NombrePdf(doc.titulo), QStringLiteral("Archivos PDF (*.pdf)"));
    if (elegida.isEmpty())
        return;
    const QString ruta = QFileInfo(elegida).suffix().isEmpty() ? elegida + QStringLiteral(".pdf") : elegida;
    const QString rechazo = RevisaDestino(ruta, salida.protegidos);
    if (!rechazo.isEmpty())
        return salida.mensajes.Informa(rechazo, doc.titulo);
    if (QFileInfo::exists(ruta)
        && !salida.mensajes.Confirma(PreguntaReemplazo(ruta), doc.titulo))
        return;
    try {
        CursorOcupado ocupado;
        GuardaPdf(doc, ruta, salida.protegidos);
    } catch (const ErrorReporte &e) {
        return salida.mensajes.Muestra(e.Texto(), Mensajes::Icono::Exclamacion, doc.titulo);
    }
    salida.mensajes.Informa(QStringLiteral("Se guardó el reporte en el archivo:\n%1").arg(ruta), doc.titulo);
}

// "Imprimir...": to a printer only.
void ImprimeElegido(const DocumentoReporte &doc, const SalidaReporte &salida, QWidget *padre)
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        if (salida.mensajes.Confirma(QStringLiteral("No hay ninguna impresora instalada en este equipo.\n"
                                                    "¿Desea guardar el reporte como PDF?"), doc.titulo))
            GuardaPdfElegido(doc, salida, padre);
        return;
    }
    try {
        QPrinter impresora(QPrinter::HighResolution);
        PreparaImpresora(impresora, doc);
        const auto dialogo = DialogoImpresion(impresora, padre);
        if (dialogo->exec() != QDialog::Accepted)
            return;
        impresora.setOutputFileName(QString());   // a printer, never a file
        CursorOcupado ocupado;
        PintaReporte(doc, impresora);
    } catch (const ErrorReporte &e) {
        salida.mensajes.Muestra(e.Texto(), Mensajes::Icono::Exclamacion, doc.titulo);
    }
}

// The pages one under another; only those in sight are decoded and painted,
// so a preview of thousands of pages costs no more than a few.
class HojasReporte : public QWidget {
public:
    HojasReporte(const DocumentoReporte &doc, QWidget *padre) : QWidget(padre), doc_(doc), fuentes_(doc, *this)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        PonEscala(1.0);
    }

    // Pixels per point.
    double Escala() const { return escala_; }
    void PonEscala(double escala)
    {
        escala_ = qBound(0.1, escala, 8.0);
        const QSizeF papel = doc_.pagina.fullRectPoints().size() * escala_;
        ancho_ = int(papel.width());
        alto_ = int(papel.height());
        resize(ancho_ + 2 * Margen, qMax(1, doc_.Paginas()) * (alto_ + Margen) + Margen);
        update();
    }
    int Ancho() const { return ancho_; }
    // The page at the height y of this widget.
    int PaginaEn(int y) const { return qBound(0, (y - Margen) / (alto_ + Margen), qMax(0, doc_.Paginas() - 1)); }
    int Arriba(int pagina) const { return Margen + pagina * (alto_ + Margen); }

protected:
    void paintEvent(QPaintEvent *evento) override
    {
        QPainter p(this);
        p.fillRect(evento->rect(), palette().color(QPalette::Dark));
        p.setRenderHint(QPainter::Antialiasing);
        const int x = (width() - ancho_) / 2;
        const double k = fuentes_.k;
        for (int i = PaginaEn(evento->rect().top()); i < doc_.Paginas() && Arriba(i) <= evento->rect().bottom(); ++i) {
            const QRect hoja(x, Arriba(i), ancho_, alto_);
            p.fillRect(hoja, Qt::white);
            p.save();
            p.setClipRect(hoja);
            p.translate(hoja.topLeft());
            p.scale(escala_ / k, escala_ / k);
            PintaPagina(p, doc_.Pagina(i), fuentes_);
            p.restore();
        }
    }

private:
    static constexpr int Margen = 12;
    const DocumentoReporte &doc_;
    FuentesPintura fuentes_;
    double escala_ = 1;
    int ancho_ = 0, alto_ = 0;
};

} // namespace

void MuestraVistaPrevia(const DocumentoReporte &doc, const SalidaReporte &salida, QWidget *padre)
{
    QDialog vista(padre);
    vista.setWindowTitle(doc.titulo);
    auto *area = new QScrollArea;
    area->setAlignment(Qt::AlignHCenter);
    area->setBackgroundRole(QPalette::Dark);
    auto *hojas = new HojasReporte(doc, area);
    area->setWidget(hojas);
    auto *imprime = new QPushButton(QStringLiteral("Imprimir..."));
    auto *pdf = new QPushButton(QStringLiteral("Guardar PDF..."));
    auto *aleja = new QPushButton(QStringLiteral("-"));
    auto *acerca = new QPushButton(QStringLiteral("+"));
    auto *ajusta = new QPushButton(QStringLiteral("Ajustar al ancho"));
    auto *pagina = new QLabel;
    auto *cierra = new QPushButton(QStringLiteral("Cerrar"));
    auto *botones = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(imprime), static_cast<QWidget *>(pdf), static_cast<QWidget *>(aleja),
                       static_cast<QWidget *>(acerca), static_cast<QWidget *>(ajusta), static_cast<QWidget *>(pagina)})
        botones->addWidget(w);
    botones->addStretch();
    botones->addWidget(cierra);
    auto *todo = new QVBoxLayout(&vista);
    todo->addLayout(botones);
    todo->addWidget(area);

    auto muestraPagina = [&] {
        const int arriba = area->verticalScrollBar()->value();
        pagina->setText(QStringLiteral("Página %1 de %2").arg(hojas->PaginaEn(arriba + area->viewport()->height() / 3) + 1)
                            .arg(doc.Paginas()));
    };
    // A new scale keeps the page in sight.
    auto escala = [&](double nueva) {
        const double parte = double(area->verticalScrollBar()->value()) / qMax(1, hojas->height());
        hojas->PonEscala(nueva);
        area->verticalScrollBar()->setValue(int(parte * hojas->height()));
        muestraPagina();
    };
    auto alAncho = [&] {
        escala(hojas->Escala() * (area->viewport()->width() - 32) / qMax(1, hojas->Ancho()));
    };
    QObject::connect(area->verticalScrollBar(), &QScrollBar::valueChanged, &vista, muestraPagina);
    QObject::connect(aleja, &QPushButton::clicked, &vista, [&] { escala(hojas->Escala() / 1.25); });
    QObject::connect(acerca, &QPushButton::clicked, &vista, [&] { escala(hojas->Escala() * 1.25); });
    QObject::connect(ajusta, &QPushButton::clicked, &vista, alAncho);
    QObject::connect(cierra, &QPushButton::clicked, &vista, &QDialog::accept);
    QObject::connect(imprime, &QPushButton::clicked, &vista, [&] { ImprimeElegido(doc, salida, &vista); });
    QObject::connect(pdf, &QPushButton::clicked, &vista, [&] { GuardaPdfElegido(doc, salida, &vista); });

    // Sized to the screen as well: without a window manager "maximized" alone leaves a tiny window.
    if (const QScreen *pantalla = padre ? padre->screen() : QGuiApplication::primaryScreen())
        vista.resize(pantalla->availableGeometry().size());
    vista.setWindowState(vista.windowState() | Qt::WindowMaximized);
    QTimer::singleShot(0, &vista, alAncho);
    vista.exec();
}
