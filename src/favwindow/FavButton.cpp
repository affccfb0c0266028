#include "FavButton.h"

#include <QMouseEvent>

FavButton::FavButton(qint32 id, const QString& caption, const QString& hint, const QString& link, QWidget* parent)
    : QPushButton(parent), m_id(id) {
    setObjectName(QStringLiteral("FavBtn") + QString::number(id));
    setFavorite(caption, hint, link);
    setToolTipDuration(60000);
    setMouseTracking(true);
    setAutoDefault(false);
    setFocusPolicy(Qt::TabFocus);
}

void FavButton::setFavorite(const QString& caption, const QString& hint, const QString& link) {
    m_hint = hint;
    m_link = link;
    setText(PlainButtonText(caption));
    QString tip = hint;
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setToolTip(tip);
    setAccessibleName(caption);
    setAccessibleDescription(tip);
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
