#pragma once

#include <QString>

class TYoutb;

// Connects the video download page to the main window: "Download video" of a favorite's
// menu and the editor's "Download Video" open it, and it is made after the about box.
void installVideoPageHooks();
// The page window of the run; null before the main window has made it.
TYoutb* videoPage();
// Hands a link to the page and shows it.
void OpenVideoPage(const QString& url);
