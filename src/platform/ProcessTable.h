#pragma once

#include <QList>
#include <QString>
#include <sys/types.h>

// The running processes, read from /proc.
struct ProcessEntry {
    pid_t pid = 0;
    // The executable: the full path of /proc/<pid>/exe when it can be read, else the short
    // command name of /proc/<pid>/comm.
    QString executable;
};

QList<ProcessEntry> runningProcesses();

// Asks a process to end (SIGTERM). False when it is gone or may not be signalled.
bool terminateProcess(pid_t pid);
// Ends a process at once (SIGKILL).
bool killProcess(pid_t pid);
// True while the process exists (a zombie counts as ended).
bool processAlive(pid_t pid);
