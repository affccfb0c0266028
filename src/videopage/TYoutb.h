#pragma once

#include <QWidget>

// The video download page: the product's web site, given the video link, in a window of its
// own. Made once at start and hidden; the web view (a browser engine of several processes)
// is loaded and made only when the page is first shown. Without the engine, the page opens
// in the default browser instead.
class TYoutb : public QWidget {
    Q_OBJECT
public:
    explicit TYoutb(QWidget* parent = nullptr);
    void FormCreate();
    // Loads the page address for VideoUrl; runs each time the window goes from hidden to visible.
    void FormShow();
    // Shows the window, or only brings it to the front when it is visible already.
    void showPage();
    // The web view (its "title" and "url" properties tell what it shows); null until the page
    // is first shown, and when the browser engine cannot be loaded.
    QWidget* webBrowser() const { return m_webBrowser1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool createWebView();

    QWidget* m_webBrowser1 = nullptr;
    void (*m_load)(QWidget*, const char*) = nullptr;
};
