#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap PinletIconPixmap(int size) { return QPixmap::fromImage(PinletIconImage(size)); }

QImage PinletIconImage(int size) {
    QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    // Tile
    QLinearGradient tile(0, 0, 0, 48);
    tile.setColorAt(0, QColor(0x4a, 0x90, 0xd9));
    tile.setColorAt(1, QColor(0x23, 0x5e, 0xa8));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
    // Pin: a round head, a collar and a needle, leaning right.
    p.translate(24, 24);
    p.rotate(35);
    p.setBrush(QColor(0xe8, 0x3b, 0x3b));
    p.drawEllipse(QPointF(0, -10), 9, 9);
    p.setBrush(QColor(0xff, 0xff, 0xff, 90));
    p.drawEllipse(QPointF(-3, -13), 3, 3);
    p.setBrush(QColor(0xb0, 0x25, 0x25));
    p.drawRect(QRectF(-5, -2, 10, 4));
    p.setBrush(QColor(0xee, 0xee, 0xee));
    QPainterPath needle;
    needle.moveTo(-1.5, 2);
    needle.lineTo(1.5, 2);
    needle.lineTo(0, 19);
    needle.closeSubpath();
    p.drawPath(needle);
    p.end();
    return pm;
}

QIcon PinletIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(PinletIconPixmap(size));
    return icon;
}
