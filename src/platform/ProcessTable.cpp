#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>

namespace {
QByteArray readSmall(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(4096);
}
} // namespace

QList<ProcessEntry> runningProcesses() {
    QList<ProcessEntry> list;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool ok = false;
        const pid_t pid = pid_t(name.toLongLong(&ok));
        if (!ok || pid <= 0)
            continue;
        ProcessEntry e;
        e.pid = pid;
        const QString base = QStringLiteral("/proc/") + name;
        e.executable = QFileInfo(base + QStringLiteral("/exe")).symLinkTarget();
        // A replaced executable reads as "<path> (deleted)": the process still runs that program.
        if (e.executable.endsWith(QLatin1String(" (deleted)")))
            e.executable.chop(10);
        if (e.executable.isEmpty())
            e.executable = QString::fromLocal8Bit(readSmall(base + QStringLiteral("/comm"))).trimmed();
        if (!e.executable.isEmpty())
            list.append(e);
    }
    return list;
}

bool terminateProcess(pid_t pid) {
    return pid > 0 && ::kill(pid, SIGTERM) == 0;
}

bool killProcess(pid_t pid) {
    return pid > 0 && ::kill(pid, SIGKILL) == 0;
}

bool processAlive(pid_t pid) {
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH))
        return false;
    // A zombie has ended; only its parent has not collected it yet.
    const QByteArray stat = readSmall(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return false;
    return !(stat.size() > close + 2 && stat.at(close + 2) == 'Z');
}
