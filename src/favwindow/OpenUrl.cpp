#include "OpenUrl.h"

#include "Shell.h"
#include "WindowReuse.h"

#include <exception>

void OpenUrl(const QString& url, bool newWindow, WindowReuse& reuse, Shell& shell) {
    bool opened = false;
    try {
        if (!newWindow) {
            reuse.write(1);
            return;
        }
        if (!reuse.valueExists())
            reuse.write(1);
        const bool allowed = reuse.read() != 0;
        if (allowed)
            reuse.write(0);
        opened = true;
        shell.openInNewWindow(url);
        if (allowed)
            reuse.write(1);
    } catch (const std::exception&) {
        if (newWindow && !opened)
            shell.openInNewWindow(url);
    }
}
