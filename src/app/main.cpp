#include "AppState.h"
#include "ErrorReport.h"
#include "FavWindowHooks.h"
#include "InstanceGuard.h"
#include "ProductInfo.h"
#include "StartUp.h"
#include "TFrmFav.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // The video page's web view shares its GL context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    InstanceGuard guard(product::InstanceId);
    if (guard.alreadyRunning())
        return 0;
    return runPinlet(app, guard);
}
