#pragma once

#include <QWidget>

class QWebEngineView;

// The video download page: the product's web site, given the video link, in a window of its
// own. Made once at start and hidden; the web view (a browser engine of several processes)
// is made only when the page is first shown.
class TYoutb : public QWidget {
    Q_OBJECT
public:
    explicit TYoutb(QWidget* parent = nullptr);
    void FormCreate();
    // Loads the page address for VideoUrl; runs each time the window goes from hidden to visible.
    void FormShow();
    // Shows the window, or only brings it to the front when it is visible already.
    void showPage();
    // Null until the page is first shown.
    QWebEngineView* webBrowser() const { return m_webBrowser1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWebEngineView* m_webBrowser1 = nullptr;
};
