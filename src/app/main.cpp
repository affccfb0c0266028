#include "AppState.h"
#include "ErrorReport.h"
#include "FavWindowHooks.h"
#include "InstanceGuard.h"
#include "ProductInfo.h"
#include "StartUp.h"
#include "TFrmFav.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    InstanceGuard guard(product::InstanceId);
    if (guard.alreadyRunning())
        return 0;
    return runPinlet(app, guard);
}
