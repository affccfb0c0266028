#pragma once

// Loopback servers for the updater's tests: Debian's nginx as the real peer, and a scripted
// server for the faults nginx never makes.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

inline quint16 freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline bool waitForPort(quint16 port, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(fd);
        if (ok)
            return true;
        QThread::msleep(50);
    }
    return false;
}

// nginx on 127.0.0.1 with a prefix, configuration and logs of its own, serving root().
class NginxServer {
public:
    static QString binary() {
        for (const char* p : {"/usr/sbin/nginx", "/usr/local/sbin/nginx"})
            if (QFile::exists(QString::fromLatin1(p)))
                return QString::fromLatin1(p);
        return QStandardPaths::findExecutable(QStringLiteral("nginx"));
    }

    // False (with the reason in error) when it could not start.
    bool start(QString* error) {
        if (!m_dir.isValid()) {
            *error = QStringLiteral("no temporary folder");
            return false;
        }
        QDir(m_dir.path()).mkpath(QStringLiteral("root"));
        QDir(m_dir.path()).mkpath(QStringLiteral("temp"));
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = freeLoopbackPort();
            const QString d = m_dir.path();
            QFile conf(d + QStringLiteral("/nginx.conf"));
            conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
            conf.write(
                QStringLiteral("daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\n"
                               "error_log %1/error.log;\nevents { worker_connections 64; }\n"
                               "http {\n  access_log %1/access.log;\n  client_body_temp_path %1/temp;\n"
                               "  proxy_temp_path %1/temp;\n  fastcgi_temp_path %1/temp;\n  uwsgi_temp_path %1/temp;\n"
                               "  scgi_temp_path %1/temp;\n  default_type application/octet-stream;\n"
                               "  types { text/html htm; }\n  sendfile on;\n"
                               "  server {\n    listen 127.0.0.1:%2;\n    root %1/root;\n    location / { }\n  }\n}\n")
                    .arg(d)
                    .arg(m_port)
                    .toUtf8());
            conf.close();
            m_process.setProcessChannelMode(QProcess::MergedChannels);
            // A test that crashes must not leave its server running.
            m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
            m_process.start(binary(), {QStringLiteral("-p"), d, QStringLiteral("-e"), d + QStringLiteral("/error.log"),
                                       QStringLiteral("-c"), d + QStringLiteral("/nginx.conf")});
            if (!m_process.waitForStarted(10000)) {
                *error = m_process.errorString();
                return false;
            }
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 15000 && m_process.state() == QProcess::Running) {
                if (waitForPort(m_port, 200))
                    return true;
            }
            stop();
        }
        QFile log(m_dir.path() + QStringLiteral("/error.log"));
        log.open(QIODevice::ReadOnly);
        *error = QStringLiteral("nginx did not start: ") + QString::fromLocal8Bit(log.readAll() + m_process.readAll());
        return false;
    }
    void stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }
    ~NginxServer() { stop(); }

    quint16 port() const { return m_port; }
    QString root() const { return m_dir.path() + QStringLiteral("/root"); }
    QString url(const QString& path = QString()) const {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_port) + path;
    }
    void put(const QString& name, const QByteArray& bytes) const {
        const QString path = root() + u'/' + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

// A server that answers each connection with a script and records what it was sent.
class ScriptedServer {
public:
    // Called on the server's thread with the connection, the request header received, and the
    // number of the connection (0 for the first).
    using Script = std::function<void(int fd, const QByteArray& request, int index)>;

    explicit ScriptedServer(Script script) : m_script(std::move(script)) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 8);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~ScriptedServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    quint16 port() const { return m_port; }
    QString url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port) + path; }
    QList<QByteArray> requests() const {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    bool stopping() const { return m_stop; }

    static void send(int fd, const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += n;
        }
    }

private:
    void run() {
        int index = 0;
        while (!m_stop) {
            pollfd p{m_listen, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            QByteArray request;
            char c;
            while (!request.endsWith("\r\n\r\n") && request.size() < 65536) {
                pollfd q{fd, POLLIN, 0};
                if (::poll(&q, 1, 10000) <= 0 || ::recv(fd, &c, 1, 0) != 1)
                    break;
                request += c;
            }
            {
                QMutexLocker lock(&m_mutex);
                m_requests.append(request);
            }
            m_script(fd, request, index++);
            ::close(fd);
        }
    }

    Script m_script;
    int m_listen = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    mutable QMutex m_mutex;
    QList<QByteArray> m_requests;
};

inline QByteArray pattern(qint64 size, int seed = 7) {
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = quint32(seed) * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = char(x >> 16);
    }
    return b;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}
