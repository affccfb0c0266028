#include "HelpMenu.h"

#include "ProductSite.h"
#include "ProgramFolder.h"
#include "Shell.h"
#include "TFrmAbout.h"
#include "TFrmFav.h"
#include "UpdateCheck.h"

namespace {
QPointer<TFrmAbout> g_aboutBox;
}

HelpMenu::HelpMenu(TFrmFav* mainWindow) : QMenu(mainWindow) {
    setObjectName(QStringLiteral("PopupHelp"));
    auto add = [this](const char* name, const QString& text, void (*handler)()) {
        QAction* a = addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [handler] { handler(); });
    };
    add("Contents1", QStringLiteral("Contents"), &HelpMenu::Contents1Click);
    add("Update1", QStringLiteral("Contact"), &HelpMenu::Update1Click);
    add("CheckforUpdates1", QStringLiteral("Check for Updates"), &HelpMenu::CheckforUpdates1Click);
    add("About1", QStringLiteral("About"), &HelpMenu::About1Click);
}

HelpMenu* HelpMenu::of(TFrmFav* mainWindow) {
    if (auto* menu = mainWindow->findChild<HelpMenu*>(QStringLiteral("PopupHelp"), Qt::FindDirectChildrenOnly))
        return menu;
    return new HelpMenu(mainWindow);
}

void HelpMenu::setAboutBox(TFrmAbout* box) { g_aboutBox = box; }

TFrmAbout* HelpMenu::aboutBox() { return g_aboutBox; }

QString HelpMenu::helpFilePath() { return programFolder() + QStringLiteral("Pinlet.html"); }

void HelpMenu::Contents1Click() { Shell::instance().open(helpFilePath()); }

void HelpMenu::Update1Click() { Shell::instance().open(QStringLiteral("mailto:") + supportMail()); }

void HelpMenu::CheckforUpdates1Click() { LaunchUpdater(); }

void HelpMenu::About1Click() {
    if (!g_aboutBox)
        g_aboutBox = new TFrmAbout;
    g_aboutBox->showBox();
}
