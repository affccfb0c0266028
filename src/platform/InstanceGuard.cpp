#include "InstanceGuard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The display the copy runs on, as a file-name part: copies on different displays are apart.
QString displayScope() {
    QString d = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (d.isEmpty())
        d = qEnvironmentVariable("DISPLAY");
    if (d.isEmpty())
        d = QStringLiteral("none");
    for (QChar& c : d)
        if (!c.isLetterOrNumber() && c != u'.' && c != u'-')
            c = u'_';
    return d;
}

QString runtimeFolder() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(::getuid());
    QDir().mkpath(dir);
    return dir;
}

} // namespace

InstanceGuard::InstanceGuard(const QString& id, QObject* parent) : QObject(parent) {
    const QString base = runtimeFolder() + u'/' + id + u'-' + displayScope();
    m_lockPath = base + QStringLiteral(".lock");
    m_socketPath = base + QStringLiteral(".sock");
}

InstanceGuard::~InstanceGuard() {
    if (m_server)
        m_server->close();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceGuard::alreadyRunning() {
    // Close-on-exec: a program this copy starts (the updater) must not inherit the lock.
    m_fd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return false;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
        signalFirstCopy();
        return true;
    }
    // Holding the lock, any socket left behind belongs to a copy that died.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_socketPath)) {
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* s = m_server->nextPendingConnection()) {
                connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                s->write("ok\n");
                s->flush();
                emit restoreRequested();
            }
        });
    }
    return false;
}

void InstanceGuard::signalFirstCopy() {
    // The first copy may still be starting: keep trying for a moment. A failed signal is not
    // reported; this copy ends all the same.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(500)) {
            socket.write("restore\n");
            socket.waitForBytesWritten(500);
            socket.waitForReadyRead(2000);
            return;
        }
        QThread::msleep(50);
    }
}
