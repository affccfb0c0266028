#include "TYoutb.h"

#include "AppIcon.h"
#include "AppState.h"
#include "ProductSite.h"
#include "UserInfo.h"

#include "Shell.h"
#include "WebViewModule.h"

#include <QApplication>
#include <QLibrary>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

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

bool TYoutb::createWebView() {
    // The browser engine refuses to start as root unless its sandbox is off.
    if (runningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // A code file beside the executable, whatever folder holds the data.
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/PinletWebView"));
    const auto create = reinterpret_cast<CreateWebViewFn>(module.resolve("pinlet_create_web_view"));
    m_load = reinterpret_cast<LoadWebViewFn>(module.resolve("pinlet_web_view_load"));
    if (!create || !m_load)
        return false;
    m_webBrowser1 = create(this);
    m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    m_webBrowser1->setGeometry(3, 3, 374, 414);
    m_webBrowser1->setAccessibleName(QStringLiteral("Video download page"));
    m_webBrowser1->show();
    return true;
}

void TYoutb::FormShow() {
    const QByteArray address = videoPageAddress(appState().VideoUrl).toUtf8();
    if (!m_webBrowser1 && !createWebView()) {
        // No browser engine here: the page still opens, in the user's browser.
        Shell::instance().open(QString::fromUtf8(address));
        QTimer::singleShot(0, this, &QWidget::hide);
        return;
    }
    m_load(m_webBrowser1, address.constData());
}
