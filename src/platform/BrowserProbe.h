#pragma once

#include <QString>
#include <optional>

// The front-most web browser window of the desktop and what it shows.
struct BrowserWindowInfo {
    unsigned long window = 0; // X window id
    qint64 pid = 0;           // from _NET_WM_PID; 0 when the window does not say
    QString wmClass;          // the class part of WM_CLASS, such as "firefox-esr" or "Chromium"
    QString title;
};

// The top-most window in the X stacking order whose WM_CLASS is a known browser (Firefox,
// Firefox ESR, Chromium, Google Chrome, Brave, Microsoft Edge, Vivaldi, Opera); nothing
// without X11 or without such a window.
std::optional<BrowserWindowInfo> FrontBrowserWindow();

// The address of the page that window shows, read through the accessibility bus; empty when
// the bus, the browser's accessibility or the page is not there. Gives up after timeoutMs.
QString BrowserAddress(const BrowserWindowInfo& window, int timeoutMs = 300);
