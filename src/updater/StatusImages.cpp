#include "StatusImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
QPixmap canvas() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}
} // namespace

QIcon statusImage(int index) {
    QPixmap pix = canvas();
    QPainter g(&pix);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: { // hourglass
        g.setPen(QPen(QColor(90, 60, 20), 1.2));
        g.drawLine(QPointF(3.5, 1.5), QPointF(12.5, 1.5));
        g.drawLine(QPointF(3.5, 14.5), QPointF(12.5, 14.5));
        QPainterPath glass;
        glass.moveTo(4.5, 2);
        glass.lineTo(11.5, 2);
        glass.lineTo(8.6, 8);
        glass.lineTo(11.5, 14);
        glass.lineTo(4.5, 14);
        glass.lineTo(7.4, 8);
        glass.closeSubpath();
        g.setBrush(QColor(255, 250, 220));
        g.drawPath(glass);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(220, 170, 40));
        QPainterPath sand;
        sand.moveTo(5.6, 13.4);
        sand.lineTo(10.4, 13.4);
        sand.lineTo(8, 10.5);
        sand.closeSubpath();
        g.drawPath(sand);
        break;
    }
    case 1: { // green check mark
        QPen pen(QColor(20, 150, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        g.setPen(pen);
        g.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.2, 12.5), QPointF(13.5, 3.5)}));
        break;
    }
    case 2: { // red cross
        QPen pen(QColor(205, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap);
        g.setPen(pen);
        g.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        g.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    case 3: { // blue information sign
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(30, 90, 200));
        g.drawEllipse(QRectF(1, 1, 14, 14));
        g.setBrush(Qt::white);
        g.drawEllipse(QRectF(7, 3.2, 2.2, 2.2));
        g.drawRoundedRect(QRectF(7, 6.6, 2.2, 6.4), 0.8, 0.8);
        break;
    }
    default:
        return QIcon();
    }
    g.end();
    return QIcon(pix);
}

QPixmap sidePicture(int width, int height) {
    QPixmap pix(width, height);
    QPainter g(&pix);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(150, 195, 240));
    g.fillRect(pix.rect(), sky);
    // A down arrow into a tray: fetching and putting in place.
    const qreal cx = width / 2.0, top = height * 0.28;
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(255, 255, 255, 230));
    QPainterPath arrow;
    arrow.moveTo(cx - 12, top);
    arrow.lineTo(cx + 12, top);
    arrow.lineTo(cx + 12, top + 40);
    arrow.lineTo(cx + 28, top + 40);
    arrow.lineTo(cx, top + 72);
    arrow.lineTo(cx - 28, top + 40);
    arrow.lineTo(cx - 12, top + 40);
    arrow.closeSubpath();
    g.drawPath(arrow);
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(255, 255, 255, 230), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(QPolygonF({QPointF(cx - 40, top + 70), QPointF(cx - 40, top + 92), QPointF(cx + 40, top + 92),
                              QPointF(cx + 40, top + 70)}));
    g.end();
    return pix;
}
