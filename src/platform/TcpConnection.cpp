#include "TcpConnection.h"

#include "PinletError.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kSliceMs = 50;

PinletError socketError(const QString& what, int err) {
    return PinletError(what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err)));
}

// Waits for events on fd in slices; the idle callback may abort.
TcpConnection::Wait waitFor(int fd, short events, int timeoutMs, const TcpConnection::Idle& idle) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return TcpConnection::Wait::TimedOut;
        pollfd p{fd, events, 0};
        const int slice = idle ? int(std::min<qint64>(left, kSliceMs)) : int(left);
        const int n = ::poll(&p, 1, slice);
        if (n > 0)
            return TcpConnection::Wait::Ready;
        if (n < 0 && errno != EINTR)
            throw socketError(QStringLiteral("Socket error"), errno);
        if (idle && !idle())
            return TcpConnection::Wait::Aborted;
    }
}
} // namespace

TcpConnection::~TcpConnection() {
    close();
}

void TcpConnection::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void TcpConnection::open(const QString& host, quint16 port, int timeoutMs) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const QByteArray name = host.toUtf8();
    const QByteArray service = QByteArray::number(port);
    const int rc = ::getaddrinfo(name.constData(), service.constData(), &hints, &list);
    if (rc != 0 || !list)
        throw PinletError(QStringLiteral("Host not found: %1").arg(host));
    int lastErr = ECONNREFUSED;
    for (addrinfo* a = list; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        int r = ::connect(fd, a->ai_addr, a->ai_addrlen);
        if (r < 0 && errno == EINPROGRESS) {
            Wait w = Wait::TimedOut;
            try {
                w = waitFor(fd, POLLOUT, timeoutMs, m_idle);
            } catch (...) {
                ::close(fd);
                ::freeaddrinfo(list);
                throw;
            }
            if (w == Wait::Ready) {
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                r = err == 0 ? 0 : -1;
                errno = err;
            } else {
                errno = w == Wait::TimedOut ? ETIMEDOUT : ECANCELED;
            }
        }
        if (r == 0) {
            m_fd = fd;
            break;
        }
        lastErr = errno;
        ::close(fd);
    }
    ::freeaddrinfo(list);
    if (m_fd < 0)
        throw socketError(QStringLiteral("Cannot connect to %1").arg(host), lastErr);
}

void TcpConnection::sendAll(const QByteArray& data) {
    if (m_fd < 0)
        throw PinletError(QStringLiteral("Not connected"));
    qint64 sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(m_fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(m_fd, POLLOUT, 60000, m_idle) != Wait::Ready)
                throw PinletError(QStringLiteral("Send timed out"));
            continue;
        }
        throw socketError(QStringLiteral("Send failed"), errno);
    }
}

TcpConnection::Wait TcpConnection::waitReadable(int timeoutMs) {
    if (m_fd < 0)
        return Wait::Ready;
    return waitFor(m_fd, POLLIN, timeoutMs, m_idle);
}

qint64 TcpConnection::receiveNow(char* buffer, std::size_t size) {
    if (m_fd < 0)
        return 0;
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, size, MSG_DONTWAIT);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return -1;
        if (errno == ECONNRESET)
            return 0;
        throw socketError(QStringLiteral("Receive failed"), errno);
    }
}
