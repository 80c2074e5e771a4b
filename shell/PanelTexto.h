#pragma once

#include <QLabel>

// A status-bar panel whose text may be longer than its room: it takes the
// room the bar gives it and never pushes the panels beside it, and a text too
// long is shown shortened (see TextoAjustado). text() keeps the whole text.
class PanelTexto : public QLabel {
public:
    using QLabel::QLabel;

    // The text as it is shown at the panel's present width.
    QString TextoMostrado() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    QRect Caja() const;
};

// `texto` within `ancho` pixels of `fm`. A text that fits stays whole.
// Otherwise the count that ends it ("registros 143,360 de 300,000" keeps
// "143,360 de 300,000") stays whole: first the folders of a path in it are
// shortened in their middle ("/home/…/Datos/" keeps the file name), then the
// whole path in its middle, and last what is left before the count loses its
// end.
QString TextoAjustado(const QString &texto, const QFontMetrics &fm, int ancho);
