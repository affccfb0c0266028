#pragma once

#include "BrowserProbe.h"

#include <optional>

// The top-level X window of process pid whose title starts with titlePrefix, as the front-most
// browser window look-up would report it.
std::optional<BrowserWindowInfo> FindBrowserWindow(qint64 pid, const QString& titlePrefix);
