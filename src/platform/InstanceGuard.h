#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user and display. The first copy holds an flock on a lock file named
// by the id (the kernel drops it when the holder dies, so a crashed copy never blocks a
// start) and listens on a local socket of the same name; a later copy connects and asks it
// to restore its window. Taking the lock is atomic, so of two copies started at once
// exactly one runs.
class InstanceGuard : public QObject {
    Q_OBJECT
public:
    explicit InstanceGuard(const QString& id, QObject* parent = nullptr);
    ~InstanceGuard() override;

    // True: another copy runs and has been asked to restore; end at once.
    // False: this copy runs (or no guard could be set up, and it runs unprotected).
    bool alreadyRunning();

    QString lockPath() const { return m_lockPath; }
    QString socketPath() const { return m_socketPath; }

signals:
    void restoreRequested();

private:
    void signalFirstCopy();

    QString m_lockPath;
    QString m_socketPath;
    int m_fd = -1;
    QLocalServer* m_server = nullptr;
};
