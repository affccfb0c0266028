#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <sys/types.h>

// True when the executable text names the program: its file-name part, or else the whole
// text, equals name after upper-casing the ASCII letters.
bool processNameMatches(const QString& executable, const QString& name);

// Ends every process (but this one) whose executable matches name: asks each to end, waits up
// to waitMs for them all, then kills those still running and waits once more as long. idle
// runs while waiting. Returns the processes still alive at the end (none, normally).
QList<pid_t> EndProcess(const QString& name, int waitMs = 5000, const std::function<void()>& idle = {});
