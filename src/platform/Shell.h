#pragma once

#include <QString>
#include <QStringList>

// Hands links and files to the desktop and starts programs. Never blocks and never reports
// a failure: a link the desktop cannot open is simply not opened.
class Shell {
public:
    virtual ~Shell() = default;
    // The desktop's default handler for a web link, a local path or any other link.
    virtual void open(const QString& link) = 0;
    // A web link in a new window of the default browser; anything else as open() does.
    virtual void openInNewWindow(const QString& link) = 0;
    virtual void startProgram(const QString& program, const QStringList& arguments) = 0;

    static Shell& instance();
    // Replaces the shell in use (not owned); nullptr restores the desktop's.
    static void setInstance(Shell* shell);
};

class DesktopShell : public Shell {
public:
    void open(const QString& link) override;
    void openInNewWindow(const QString& link) override;
    void startProgram(const QString& program, const QStringList& arguments) override;
};

// True for links that a web browser opens (http, https, ftp, and "www." without a scheme).
bool IsWebLink(const QString& link);
// The link as a URL: a local path becomes a file URL.
class QUrl;
QUrl LinkToUrl(const QString& link);

// The command of the default web browser, without the link: $BROWSER when set (its first
// entry), else the desktop's default from mimeapps.list and the browser's .desktop entry,
// else Debian's x-www-browser. Empty when none is found.
QStringList DefaultBrowserCommand();
