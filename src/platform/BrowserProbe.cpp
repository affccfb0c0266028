#include "BrowserProbe.h"

std::optional<BrowserWindowInfo> FrontBrowserWindow() { return std::nullopt; }
