#pragma once

#include <QDialog>

// The about box: made once at start, shown again by every "About"; closing only hides it.
class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent = nullptr);
    void FormCreate();
    // Shows the box without making it modal and brings it to the front.
    void showBox();
    // The homepage link: opens the product's web site in the default browser.
    void Label6Click();

    // The picture down the left side.
    static QPixmap productPicture(QSize size);
};
