#include "DropZoneImage.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap DropZonePicture() {
    QPixmap pixmap(48, 48);
    pixmap.fill(QColor(0x2b, 0x5f, 0x9e));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, 48);
    background.setColorAt(0, QColor(0x4a, 0x90, 0xd9));
    background.setColorAt(1, QColor(0x1f, 0x4e, 0x8c));
    p.fillRect(QRect(0, 0, 48, 48), background);
    p.setPen(QPen(QColor(0x12, 0x33, 0x5e), 2));
    p.drawRect(QRectF(1, 1, 46, 46));

    // The tray.
    QPainterPath tray;
    tray.moveTo(8, 28);
    tray.lineTo(8, 40);
    tray.lineTo(40, 40);
    tray.lineTo(40, 28);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tray);

    // The arrow dropping into it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x3d));
    QPolygonF arrow;
    arrow << QPointF(20, 6) << QPointF(28, 6) << QPointF(28, 20) << QPointF(34, 20) << QPointF(24, 32)
          << QPointF(14, 20) << QPointF(20, 20);
    p.drawPolygon(arrow);
    p.end();
    return pixmap;
}
