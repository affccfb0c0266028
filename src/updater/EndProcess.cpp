#include "EndProcess.h"

#include "ProcessTable.h"

#include <QElapsedTimer>
#include <QThread>

#include <unistd.h>

namespace {
QString asciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return text;
}

QList<pid_t> waitForEnd(QList<pid_t> pids, int waitMs, const std::function<void()>& idle) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        pids.removeIf([](pid_t p) { return !processAlive(p); });
        if (pids.isEmpty() || clock.elapsed() >= waitMs)
            return pids;
        if (idle)
            idle();
        QThread::msleep(20);
    }
}
} // namespace

bool processNameMatches(const QString& executable, const QString& name) {
    const QString wanted = asciiUpper(name);
    const QString fileName = executable.mid(executable.lastIndexOf(u'/') + 1);
    return asciiUpper(fileName) == wanted || asciiUpper(executable) == wanted;
}

QList<pid_t> EndProcess(const QString& name, int waitMs, const std::function<void()>& idle) {
    QList<pid_t> asked;
    const pid_t self = ::getpid();
    for (const ProcessEntry& p : runningProcesses())
        if (p.pid != self && processNameMatches(p.executable, name) && terminateProcess(p.pid))
            asked.append(p.pid);
    QList<pid_t> left = waitForEnd(asked, waitMs, idle);
    if (left.isEmpty())
        return left;
    for (const pid_t p : left)
        killProcess(p);
    return waitForEnd(left, waitMs, idle);
}
