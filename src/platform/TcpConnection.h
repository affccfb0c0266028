#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>

// A blocking TCP client connection. Every wait is cut into short slices; between slices the
// idle callback runs (the window handles its messages there) and may abort the wait.
class TcpConnection {
public:
    // Returns false to abort the wait that is running.
    using Idle = std::function<bool()>;

    enum class Wait { Ready, TimedOut, Aborted };

    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    void setIdle(Idle idle) { m_idle = std::move(idle); }

    // Resolves host and connects; throws PinletError on failure.
    void open(const QString& host, quint16 port, int timeoutMs);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // Sends all of data; throws PinletError on failure.
    void sendAll(const QByteArray& data);
    // Waits until data can be read or the peer has closed. Ready on both.
    Wait waitReadable(int timeoutMs);
    // Receives what is there, at most size bytes, without waiting. 0: the peer has closed;
    // -1: nothing there yet. Throws PinletError on a socket error.
    qint64 receiveNow(char* buffer, std::size_t size);

private:
    int m_fd = -1;
    Idle m_idle;
};
