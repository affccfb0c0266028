#include "StartUp.h"

#include "AppState.h"
#include "BrowserAddress.h"
#include "CaptureHooks.h"
#include "ErrorReport.h"
#include "FavWindowHooks.h"
#include "HelpHooks.h"
#include "InstanceGuard.h"
#include "OptionsHooks.h"
#include "ProductInfo.h"
#include "QuitSignals.h"
#include "TFrmFav.h"

#include <QApplication>
#include <QSessionManager>

bool StartHiddenRequested(const QStringList& arguments) {
    return arguments.size() > 1 && arguments.at(1).contains(QLatin1String("min"), Qt::CaseInsensitive);
}

int runPinlet(QApplication& app, InstanceGuard& guard) {
    QApplication::setApplicationName(product::Name);
    QApplication::setApplicationDisplayName(product::Name);
    QApplication::setDesktopFileName(QStringLiteral("pinlet"));
    QApplication::setQuitOnLastWindowClosed(false);
    setErrorReportCaption(product::Name);
    appState().startHidden = StartHiddenRequested(QApplication::arguments());
    installCaptureHooks();
    installOptionsHooks();
    installHelpHooks();

    TFrmFav mainWindow;
    QObject::connect(&guard, &InstanceGuard::restoreRequested, &mainWindow, [&mainWindow] {
        mainWindow.ShowMainWindow();
        // A modal dialog of this copy is its last active window: it comes to the front.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });
    // The end of the desktop session, SIGTERM and SIGINT end the loop and save nothing.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &mainWindow, [&mainWindow] { mainWindow.EndSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainWindow, [&mainWindow](QSessionManager&) {
        mainWindow.EndSession();
    });
    if (!appState().startHidden)
        mainWindow.show();
    for (const auto& create : favWindowHooks().afterMainWindow)
        create(&mainWindow);
    // Browsers build their accessible trees only once asked; ask now, not at the first Ctrl+D.
    PrepareBrowserAddress();
    return app.exec();
}
