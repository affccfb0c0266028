#pragma once

#include <QMenu>
#include <QPointer>

class TFrmAbout;
class TFrmFav;

// The Help popup of the main window's toolbar: help file, mail to support, updater, about box.
class HelpMenu : public QMenu {
    Q_OBJECT
public:
    explicit HelpMenu(TFrmFav* mainWindow);

    // The main window's Help menu, made on first use.
    static HelpMenu* of(TFrmFav* mainWindow);
    // The about box that "About" shows (made at start, after the main window).
    static void setAboutBox(TFrmAbout* box);
    static TFrmAbout* aboutBox();

    // The user guide in the program folder, whatever the current folder is.
    static QString helpFilePath();
    static void Contents1Click();
    static void Update1Click();
    static void CheckforUpdates1Click();
    static void About1Click();
};
