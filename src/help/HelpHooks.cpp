#include "HelpHooks.h"

#include "FavWindowHooks.h"
#include "HelpMenu.h"
#include "TFrmAbout.h"
#include "TFrmFav.h"
#include "UpdateCheck.h"
#include "VideoPageHooks.h"

#include <QDate>
#include <QLocale>

void installHelpHooks() {
    FavWindowHooks& hooks = favWindowHooks();
    hooks.popupHelp = [](TFrmFav* main, QPoint globalPos) { HelpMenu::of(main)->popup(globalPos); };
    hooks.updateTrigger = [](TFrmFav* main) { UpdateTrigger(main, ShortDateText(QLocale(), QDate::currentDate())); };
    hooks.afterMainWindow.append([](TFrmFav* main) {
        // Lives as long as the main window, hidden until "About".
        auto* box = new TFrmAbout;
        QObject::connect(main, &QObject::destroyed, box, [box] { delete box; });
        HelpMenu::setAboutBox(box);
    });
    installVideoPageHooks();
}
