#include "ButtonBox.h"

#include <QEvent>
#include <QMouseEvent>

ButtonBox::ButtonBox(int position, QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("SBOX") + QString::number(position));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("SBOXContent"));
    content->setMouseTracking(true);
    content->installEventFilter(this);
    setWidget(content);
}

void ButtonBox::fitButton(const QRect& rect, int rightMargin, int bottomMargin) {
    QWidget* c = content();
    const QSize need(rect.right() + 1 + qMax(0, rightMargin), rect.bottom() + 1 + qMax(0, bottomMargin));
    const QSize have = c->minimumSize();
    if (need.width() > have.width() || need.height() > have.height())
        c->setMinimumSize(have.expandedTo(need));
}

void ButtonBox::resetExtent() {
    m_pending.clear();
    content()->setMinimumSize(0, 0);
}

void ButtonBox::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    if (hasPending())
        emit shownWithPending(this);
}

bool ButtonBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget()) {
        if (event->type() == QEvent::MouseMove)
            emit mouseMoved(this);
        else if (event->type() == QEvent::MouseButtonDblClick &&
                 static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            emit doubleClicked(this);
            return true; // the box's own: not a double-click on the window
        }
    }
    return QScrollArea::eventFilter(watched, event);
}
