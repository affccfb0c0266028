#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
Shell* g_override = nullptr;

QStringList splitCommand(const QString& command) { return QProcess::splitCommand(command); }

// The Exec line of a .desktop entry as a command, without its field codes.
QStringList execOfDesktopEntry(const QString& desktopId) {
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& dir : dirs) {
        QFile f(dir + u'/' + desktopId);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        bool inEntry = false;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (line.startsWith(u'['))
                inEntry = line == QLatin1String("[Desktop Entry]");
            else if (inEntry && line.startsWith(QLatin1String("Exec="))) {
                QStringList parts = splitCommand(line.mid(5));
                parts.erase(std::remove_if(parts.begin(), parts.end(),
                                           [](const QString& p) { return p.size() == 2 && p.startsWith(u'%'); }),
                            parts.end());
                return parts;
            }
        }
    }
    return {};
}

QString defaultBrowserDesktopId() {
    QStringList files;
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    files << configHome + QStringLiteral("/mimeapps.list");
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << d + QStringLiteral("/mimeapps.list");
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        files << d + QStringLiteral("/mimeapps.list");
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        bool inDefaults = false;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (line.startsWith(u'['))
                inDefaults = line == QLatin1String("[Default Applications]");
            else if (inDefaults && (line.startsWith(QLatin1String("x-scheme-handler/http=")) ||
                                    line.startsWith(QLatin1String("x-scheme-handler/https=")))) {
                for (const QString& id : line.section(u'=', 1).split(u';', Qt::SkipEmptyParts))
                    if (!execOfDesktopEntry(id.trimmed()).isEmpty())
                        return id.trimmed();
            }
        }
    }
    return {};
}
} // namespace

Shell& Shell::instance() {
    static DesktopShell real;
    return g_override ? *g_override : real;
}

void Shell::setInstance(Shell* shell) { g_override = shell; }

bool IsWebLink(const QString& link) {
    const QString l = link.trimmed();
    return l.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

QUrl LinkToUrl(const QString& link) {
    const QString l = link.trimmed();
    if (l.startsWith(u'/') || l.startsWith(QLatin1String("~/")))
        return QUrl::fromLocalFile(l.startsWith(u'~') ? QDir::homePath() + l.mid(1) : l);
    if (l.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + l);
    const QUrl url(l);
    if (url.isValid() && !url.scheme().isEmpty())
        return url;
    return QUrl::fromUserInput(l, QDir::homePath());
}

QStringList DefaultBrowserCommand() {
    const QString browser = qEnvironmentVariable("BROWSER");
    if (!browser.trimmed().isEmpty()) {
        QStringList cmd = splitCommand(browser.section(u':', 0, 0));
        cmd.removeAll(QStringLiteral("%s"));
        if (!cmd.isEmpty())
            return cmd;
    }
    const QString id = defaultBrowserDesktopId();
    if (!id.isEmpty())
        return execOfDesktopEntry(id);
    const QString fallback = QStandardPaths::findExecutable(QStringLiteral("x-www-browser"));
    if (!fallback.isEmpty())
        return {fallback};
    return {};
}

void DesktopShell::open(const QString& link) {
    if (link.trimmed().isEmpty())
        return;
    // $BROWSER is the user's choice of browser: honour it for web links.
    if (IsWebLink(link) && !qEnvironmentVariable("BROWSER").trimmed().isEmpty()) {
        QStringList cmd = DefaultBrowserCommand();
        if (!cmd.isEmpty()) {
            const QString program = cmd.takeFirst();
            QProcess::startDetached(program, cmd << LinkToUrl(link).toString());
            return;
        }
    }
    QDesktopServices::openUrl(LinkToUrl(link));
}

void DesktopShell::openInNewWindow(const QString& link) {
    if (!IsWebLink(link)) {
        open(link);
        return;
    }
    QStringList cmd = DefaultBrowserCommand();
    if (cmd.isEmpty()) {
        open(link);
        return;
    }
    const QString program = cmd.takeFirst();
    cmd << QStringLiteral("--new-window") << LinkToUrl(link).toString();
    if (!QProcess::startDetached(program, cmd))
        open(link);
}

void DesktopShell::startProgram(const QString& program, const QStringList& arguments) {
    QProcess::startDetached(program, arguments);
}
