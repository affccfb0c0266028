#include "TYoutb.h"

#include "AppIcon.h"
#include "AppState.h"
#include "ProductSite.h"
#include "UserInfo.h"

#include <QApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWebEngineView>

namespace {
// The inside of a 389 x 459 window with a frame and a caption.
constexpr QSize kClientSize(381, 425);
} // namespace

TYoutb::TYoutb(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Youtb"));
    setWindowTitle(QStringLiteral("Youtube Downloader"));
    setWindowIcon(PinletIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    FormCreate();
}

void TYoutb::FormCreate() {
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TYoutb::showPage() {
    if (!isVisible())
        show();
    raise();
    activateWindow();
}

void TYoutb::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TYoutb::FormShow() {
    if (!m_webBrowser1) {
        // The browser engine refuses to start as root unless its sandbox is off.
        if (runningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        m_webBrowser1 = new QWebEngineView(this);
        m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
        m_webBrowser1->setGeometry(3, 3, 374, 414);
        m_webBrowser1->setAccessibleName(QStringLiteral("Video download page"));
        m_webBrowser1->show();
    }
    m_webBrowser1->load(QUrl::fromEncoded(videoPageAddress(appState().VideoUrl).toUtf8()));
}
