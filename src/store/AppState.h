#pragma once

#include "FavoriteRecord.h"

#include <QString>
#include <QStringList>

// The hand-over state that the windows share. One object for the run; tests start each case
// from a fresh one with resetAppState().
struct AppState {
    FavoriteRecord CurrentFavorite;
    QStringList CategoryList;
    QString DroppedFile;
    QString PresetCategoryName;
    bool CategoryCreated = false;
    QString VideoUrl;
    bool NewWindowMode = false;
    int CurrentCategoryIndex = 0;
    int HotKeyAtom = 0;
    // The layout values and button width that AddFavoriteButton used last; 0 until the first button.
    int lastQuantityPerLine = 0;
    int lastCaptionLength = 0;
    int lastB2BHeight = 0;
    int lastB2BWidth = 0;
    int lastButtonWidth = 0;
    // Whether the program was started hidden ("min" in its first argument).
    bool startHidden = false;
};

AppState& appState();
void resetAppState();
