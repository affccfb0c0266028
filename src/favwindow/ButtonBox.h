#pragma once

#include <QScrollArea>

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

signals:
    void mouseMoved(QWidget* sender);
    void doubleClicked(QWidget* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
