#pragma once

#include <QList>
#include <QRect>
#include <QScrollArea>

// What a favorite button will be, kept until its page is first shown: widgets for thousands
// of favorites on pages nobody looks at would cost the start most of its time and memory.
struct PendingButton {
    qint32 id;
    QString caption;
    QString hint;
    QString link;
    QRect rect;
};

// The scrolling box of one category page. Favorite buttons stand on its content widget at
// fixed places; the content grows so that every button can be scrolled to.
class ButtonBox : public QScrollArea {
    Q_OBJECT
public:
    ButtonBox(int position, QWidget* parent);
    QWidget* content() const { return widget(); }
    // Makes room for a button at rect, with the given right and bottom margins.
    void fitButton(const QRect& rect, int rightMargin, int bottomMargin);
    void resetExtent();

    void addPending(const PendingButton& button) { m_pending.append(button); }
    bool hasPending() const { return !m_pending.isEmpty(); }
    QList<PendingButton> takePending() { return std::exchange(m_pending, {}); }

signals:
    void mouseMoved(QWidget* sender);
    void doubleClicked(QWidget* sender);
    void shownWithPending(ButtonBox* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QList<PendingButton> m_pending;
};
