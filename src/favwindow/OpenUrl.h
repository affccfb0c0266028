#pragma once

#include <QString>

class Shell;
class WindowReuse;

// Prepares the browser's window-reuse switch for the chosen mode. In new-window mode it also
// opens the link (the switch is off while the link is handed over and ends as it was); in
// reuse mode the caller opens it. A failing switch never stops the link: it opens once.
void OpenUrl(const QString& url, bool newWindow, WindowReuse& reuse, Shell& shell);
