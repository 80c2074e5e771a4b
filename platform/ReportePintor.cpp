#include "platform/ReportePintor.h"

#include "platform/ArchivoDestino.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
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

void PintaReporte(const DocumentoReporte &doc, QPagedPaintDevice &dispositivo)
{
    QPainter p;
    if (!p.begin(&dispositivo))
        throw ErrorReporte(QStringLiteral("No se pudo iniciar la impresión del reporte"));
    p.setRenderHint(QPainter::Antialiasing);
    // The model is in points; the device in its own dots.
    const double k = dispositivo.logicalDpiX() / 72.0;
    QVector<QFont> fuentes;
    for (const FuenteDocumento &f : doc.fuentes) {
        QFont q(f.familia);
        q.setPointSizeF(f.puntos);
        q.setBold(f.negrita);
        fuentes.append(q);
    }
    auto escala = [k](const QRectF &r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    for (int i = 0; i < doc.Paginas(); ++i) {
        if (i > 0)
            dispositivo.newPage();
        const PaginaReporte pagina = doc.Pagina(i);
        for (const ElementoPagina &e : pagina.elementos) {
            switch (e.tipo) {
            case ElementoPagina::Tipo::Relleno:
                p.fillRect(escala(e.caja), QColor::fromRgba(e.color));
                break;
            case ElementoPagina::Tipo::Linea:
                p.setPen(QPen(QColor::fromRgba(e.color), 0.5 * k));
                p.drawLine(QPointF(e.caja.left() * k, e.caja.top() * k), QPointF(e.caja.right() * k, e.caja.bottom() * k));
                break;
            case ElementoPagina::Tipo::Texto: {
                p.setPen(Qt::black);
                p.setFont(fuentes.value(e.fuente));
                const QRectF r = escala(e.caja);
                // A text wider than its cell is cut with an ellipsis, never painted over its neighbour.
                const QString t = e.texto.contains(QLatin1Char('\n'))
                    ? e.texto : QFontMetricsF(p.font(), &dispositivo).elidedText(e.texto, Qt::ElideRight, r.width());
                p.drawText(r, int(Banderas(e.alineacion)), t);
                break;
            }
            }
        }
    }
    p.end();
}

void PreparaImpresora(QPrinter &impresora, const DocumentoReporte &doc)
{
    impresora.setFullPage(true);
    impresora.setPageLayout(doc.pagina);
    impresora.setDocName(doc.titulo);
}

void GuardaPdf(const DocumentoReporte &doc, const QString &ruta)
{
    ArchivoDestino destino(ruta);
    {
        QPdfWriter pdf(destino.RutaTemporal());
        pdf.setCreator(QStringLiteral("VELMORAN"));
        pdf.setTitle(doc.titulo);
        pdf.setResolution(600);
        pdf.setPageLayout(doc.pagina);
        PintaReporte(doc, pdf);
    }
    QString error;
    if (!destino.Confirma(&error))
        throw ErrorReporte(QStringLiteral("No se pudo guardar el reporte en %1: %2").arg(ruta, error));
}

void MuestraVistaPrevia(const DocumentoReporte &doc, QWidget *padre)
{
    QPrinter impresora(QPrinter::HighResolution);
    PreparaImpresora(impresora, doc);
    QPrintPreviewDialog vista(&impresora, padre);
    vista.setWindowTitle(doc.titulo);
    // Sized to the screen as well: without a window manager "maximized" alone leaves a tiny window.
    if (const QScreen *pantalla = padre ? padre->screen() : QGuiApplication::primaryScreen())
        vista.resize(pantalla->availableGeometry().size());
    vista.setWindowState(vista.windowState() | Qt::WindowMaximized);
    QObject::connect(&vista, &QPrintPreviewDialog::paintRequested, &vista,
                     [&doc](QPrinter *impresora) { PintaReporte(doc, *impresora); });
    vista.exec();
}
