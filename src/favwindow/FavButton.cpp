#include "FavButton.h"

#include <QMouseEvent>

FavButton::FavButton(qint32 id, const QString& caption, const QString& hint, const QString& link, QWidget* parent)
    : QPushButton(PlainButtonText(caption), parent), m_id(id), m_hint(hint), m_link(link) {
    setObjectName(QStringLiteral("FavBtn") + QString::number(id));
    QString tip = hint;
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setToolTip(tip);
    setToolTipDuration(60000);
    setAccessibleName(caption);
    setAccessibleDescription(tip);
    setMouseTracking(true);
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
}

void FavButton::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(this);
    QPushButton::mouseMoveEvent(event);
    // Handled here: passed on, the move would reach the box and clear what was just shown.
    event->accept();
}

QString PlainButtonText(const QString& text) {
    QString t = text;
    return t.replace(u'&', QStringLiteral("&&"));
}
