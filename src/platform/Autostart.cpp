#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace autostart {
namespace {

QString configHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Desktop entries split Exec at blanks: a path with blanks or quoting characters goes in
// double quotes, with the characters that stay special inside them escaped.
QString quotedForExec(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (std::none_of(path.begin(), path.end(), [](QChar c) { return reserved.contains(c); }))
        return path;
    QString q;
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            q += u'\\';
        q += c;
    }
    return u'"' + q + u'"';
}

} // namespace

QString entryPath() { return configHome() + QStringLiteral("/autostart/Pinlet.desktop"); }

bool isEnabledFor(const QString& program) {
    QFile f(entryPath());
    if (program.isEmpty() || !f.open(QIODevice::ReadOnly))
        return false;
    bool inEntry = false;
    bool hidden = false;
    QString exec;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        const int eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec"))
            exec = value;
        else if (key == QLatin1String("Hidden"))
            hidden = value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    return !hidden && exec.contains(program, Qt::CaseInsensitive);
}

bool enable(const QString& program, const QString& argument) {
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=Pinlet\nExec=") + quotedForExec(program) +
                         u' ' + argument + QStringLiteral("\nX-GNOME-Autostart-enabled=true\n");
    f.write(text.toUtf8());
    return f.commit();
}

void disable() { QFile::remove(entryPath()); }

} // namespace autostart
