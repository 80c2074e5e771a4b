#include "shell/PanelTexto.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyle>

QString TextoAjustado(const QString &texto, const QFontMetrics &fm, int ancho)
{
    if (fm.horizontalAdvance(texto) <= ancho)
        return texto;
    static const QRegularExpression cuenta(QStringLiteral("\\s\\d[\\d,.]*(?: de \\d[\\d,.]*)?\\s*$"));
    const QRegularExpressionMatch m = cuenta.match(texto);
    const QString cola = m.hasMatch() ? texto.mid(m.capturedStart()) : QString();
    QString cabeza = texto.left(texto.size() - cola.size());

    // A path starts at a slash that begins a word; its folders end at the
    // last slash, its file name at the next blank or closing punctuation.
    static const QRegularExpression inicioRuta(QStringLiteral("(?:^|\\s)/"));
    static const QRegularExpression nombre(QStringLiteral("^[^\\s]*?(?=[:;,.]?(?:\\s|$))"));
    const QRegularExpressionMatch r = inicioRuta.match(cabeza);
    if (r.hasMatch()) {
        const qsizetype desde = r.capturedEnd() - 1, hasta = cabeza.lastIndexOf(QLatin1Char('/')) + 1;
        const qsizetype fin = hasta + nombre.match(cabeza.mid(hasta)).capturedLength();
        auto acorta = [&](qsizetype hastaParte) {
            const QString antes = cabeza.left(desde), despues = cabeza.mid(hastaParte);
            const int libre = ancho - fm.horizontalAdvance(antes + despues + cola);
            const QString parte = fm.elidedText(cabeza.mid(desde, hastaParte - desde), Qt::ElideMiddle, libre);
            return antes + (parte.isEmpty() ? QStringLiteral("…") : parte) + despues;
        };
        // The folders first, keeping the file's name; then the whole path.
        for (const qsizetype hastaParte : {hasta, fin}) {
            if (hastaParte - desde <= 1)
                continue;
            const QString acortada = acorta(hastaParte);
            if (fm.horizontalAdvance(acortada + cola) <= ancho)
                return acortada + cola;
            if (hastaParte == fin)
                cabeza = acortada;
        }
    }
    const int anchoCola = fm.horizontalAdvance(cola);
    if (anchoCola >= ancho)
        return fm.elidedText(cabeza + cola, Qt::ElideRight, ancho);
    return fm.elidedText(cabeza, Qt::ElideRight, ancho - anchoCola) + cola;
}

QRect PanelTexto::Caja() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QString PanelTexto::TextoMostrado() const
{
    return TextoAjustado(text(), fontMetrics(), Caja().width());
}

QSize PanelTexto::sizeHint() const
{
    // The bar shares its room by the panels' stretch, whatever the text.
    return minimumSizeHint();
}

QSize PanelTexto::minimumSizeHint() const
{
    const int marco = 2 * margin() + frameWidth() * 2;
    return QSize(fontMetrics().averageCharWidth() * 4 + marco, QLabel::minimumSizeHint().height());
}

void PanelTexto::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    drawFrame(&p);
    style()->drawItemText(&p, Caja(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), TextoMostrado(), foregroundRole());
}
