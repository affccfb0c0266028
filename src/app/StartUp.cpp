#include "StartUp.h"

#include "AppState.h"
#include "ErrorReport.h"
#include "InstanceGuard.h"
#include "ProductInfo.h"
#include "TFrmFav.h"

#include <QApplication>

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

    TFrmFav mainWindow;
    QObject::connect(&guard, &InstanceGuard::restoreRequested, &mainWindow, [&mainWindow] {
        mainWindow.showNormal();
        mainWindow.raise();
        mainWindow.activateWindow();
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });
    if (!appState().startHidden)
        mainWindow.show();
    return app.exec();
}
