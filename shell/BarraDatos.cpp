#include "shell/BarraDatos.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

BarraDatos::BarraDatos(const QStringList &titulos, QWidget *padre) : QToolBar(padre)
{
    setObjectName(QStringLiteral("tbrDatos"));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const QString &t : titulos) {
        if (t == QLatin1String("-")) {
            addSeparator();
            botones_.push_back(nullptr);
            continue;
        }
        QAction *a = addAction(t);
        const int pos = int(botones_.size()) + 1;
        a->setObjectName(QStringLiteral("tbrDatos_%1").arg(pos));
        connect(a, &QAction::triggered, this, [this, pos] { emit BotonPulsado(pos); });
        botones_.push_back(a);
    }
}

QAction *BarraDatos::Boton(int posicion) const
{
    if (posicion < 1 || posicion > int(botones_.size()))
        return nullptr;
    return botones_[size_t(posicion - 1)];
}

QStringList TitulosBarraCompleta()
{
    return {QStringLiteral("Primero"), QStringLiteral("Anterior"), QStringLiteral("Siguiente"),
            QStringLiteral("Ultimo"),  QStringLiteral("Altas"),    QStringLiteral("Cambios"),
            QStringLiteral("Refrescar"), QStringLiteral("Grabar"), QStringLiteral("Cancelar"),
            QStringLiteral("Buscar"),  QStringLiteral("Bajas"),    QStringLiteral("Imprimir"),
            QStringLiteral("Cerrar")};
}

void HabilitaBotones(int modo, BarraDatos &barra)
{
    if (modo != 1 && modo != 2)
        return;
    for (int pos = 1; pos <= 13; ++pos) {
        QAction *a = barra.Boton(pos);
        if (!a)
            continue;
        const bool deEdicion = pos == 8 || pos == 9;
        a->setEnabled(modo == 1 ? deEdicion : !deEdicion);
    }
}

void AsignaImagenes(BarraDatos &barra, int modo)
{
    static const int base[13] = {1, 2, 3, 4, 20, 19, 16, 7, 17, 11, 18, 14, 13};
    auto pon = [&barra](int pos, int imagen) {
        if (QAction *a = barra.Boton(pos))
            a->setIcon(ImagenTB(imagen));
    };
    for (int pos = 1; pos <= 13; ++pos)
        pon(pos, base[pos - 1]);
    switch (modo) {
    case 1:
        pon(7, 17);
        pon(20, 21);
        break;
    case 2:
        pon(5, 22);
        pon(7, 17);
        break;
    case 3:
        pon(6, 22);
        pon(7, 17);
        break;
    default:
        break;
    }
}

namespace {

QPolygonF Triangulo(bool derecha, qreal x0, qreal x1)
{
    return derecha ? QPolygonF({QPointF(x0, 3), QPointF(x1, 8), QPointF(x0, 13)})
                   : QPolygonF({QPointF(x1, 3), QPointF(x0, 8), QPointF(x1, 13)});
}

void Flecha(QPainter &p, const QColor &c, bool arriba)
{
    p.setBrush(c);
    p.setPen(c.darker());
    const QPolygonF f = arriba ? QPolygonF({QPointF(8, 1), QPointF(14, 8), QPointF(10, 8), QPointF(10, 15),
                                            QPointF(6, 15), QPointF(6, 8), QPointF(2, 8)})
                               : QPolygonF({QPointF(8, 15), QPointF(14, 8), QPointF(10, 8), QPointF(10, 1),
                                            QPointF(6, 1), QPointF(6, 8), QPointF(2, 8)});
    p.drawPolygon(f);
}

void Curva(QPainter &p, const QColor &c)
{
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 4, 10, 9), 30 * 16, 240 * 16);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({QPointF(12, 2), QPointF(14, 7), QPointF(9, 6)}));
}

void Pagina(QPainter &p, qreal x, qreal y)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, y, 9, 11));
}

void Tablita(QPainter &p)
{
    p.setPen(Qt::darkBlue);
    p.setBrush(QColor(230, 240, 255));
    p.drawRect(QRectF(2, 3, 12, 10));
    p.drawLine(QPointF(2, 6), QPointF(14, 6));
    p.drawLine(QPointF(2, 9.5), QPointF(14, 9.5));
    p.drawLine(QPointF(7, 3), QPointF(7, 13));
}

// The artwork of the shared image list, drawn so that no picture file is needed.
void Dibuja(QPainter &p, int n)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul(30, 80, 170);
    p.setPen(azul.darker());
    p.setBrush(azul);
    switch (n) {
    case 1: p.drawRect(QRectF(3, 3, 2, 10)); p.drawPolygon(Triangulo(false, 6, 13)); break;
    case 2: p.drawPolygon(Triangulo(false, 4, 12)); break;
    case 3: p.drawPolygon(Triangulo(true, 4, 12)); break;
    case 4: p.drawPolygon(Triangulo(true, 3, 10)); p.drawRect(QRectF(11, 3, 2, 10)); break;
    case 5: Pagina(p, 3, 2); break;
    case 6:
        Pagina(p, 3, 2);
        for (int y = 5; y <= 10; y += 2)
            p.drawLine(QPointF(5, y), QPointF(10, y));
        break;
    case 7:
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(2, 2, 12, 12));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 8, 5));
        break;
    case 8: p.setPen(QPen(Qt::black, 3)); p.drawLine(3, 3, 13, 13); p.drawLine(13, 3, 3, 13); break;
    case 9: Curva(p, QColor(40, 40, 40)); break;
    case 10: Pagina(p, 2, 1); Pagina(p, 5, 4); break;
    case 11:
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(1, 6, 6, 7));
        p.drawEllipse(QRectF(9, 6, 6, 7));
        p.drawRect(QRectF(6, 7, 4, 3));
        break;
    case 12: {
        QFont f = p.font();
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case 13:
        p.setBrush(QColor(150, 90, 40));
        p.drawRect(QRectF(3, 2, 7, 12));
        p.setPen(QPen(Qt::darkGreen, 2));
        p.drawLine(QPointF(8, 8), QPointF(15, 8));
        p.drawLine(QPointF(12, 5), QPointF(15, 8));
        p.drawLine(QPointF(12, 11), QPointF(15, 8));
        break;
    case 14:
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(1, 7, 14, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 8, 5));
        p.drawRect(QRectF(4, 11, 8, 4));
        break;
    case 15: Tablita(p); break;
    case 16: Pagina(p, 2, 2); Curva(p, QColor(0, 150, 0)); break;
    case 17: p.setPen(QPen(QColor(210, 0, 0), 3)); p.drawLine(3, 3, 13, 13); p.drawLine(13, 3, 3, 13); break;
    case 18: Flecha(p, QColor(245, 140, 0), false); break;
    case 19: Curva(p, QColor(0, 150, 0)); break;
    case 20: Flecha(p, QColor(30, 90, 220), true); break;
    case 21:
        Tablita(p);
        p.setPen(QPen(Qt::darkGreen, 2));
        p.drawLine(QPointF(9, 11), QPointF(15, 15));
        break;
    case 22:
        p.setPen(QPen(QColor(20, 70, 200), 3));
        p.drawPolyline(QPolygonF({QPointF(2, 8), QPointF(6, 13), QPointF(14, 3)}));
        break;
    default: break;
    }
}

} // namespace

QIcon ImagenTB(int n)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    Dibuja(p, n);
    p.end();
    return QIcon(pm);
}
