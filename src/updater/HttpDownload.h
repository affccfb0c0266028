#pragma once

#include "TcpConnection.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

// Splitting an update URL: blanks trimmed, an "http://" in any case dropped, then the text
// before the first "/" is the host (with its port, if one is written) and the text after it
// the path. A URL without "/" after the host yields the host as the path too.
QString UrlHost(const QString& url);
QString UrlPath(const QString& url);
// The host text split into name and port; port 80 when none is written. An IPv6 address
// stands in brackets. An empty name means the text is no usable host.
std::pair<QString, quint16> hostAndPort(const QString& hostText);

// The request texts sent to the update server.
QByteArray headRequest(const QString& host, const QString& path);
QByteArray getRequest(const QString& host, const QString& path, qint64 from);

// A count as the progress text shows it: grouped in thousands with the locale's separator,
// nothing at all for 0.
QString formatCount(qint64 value);
QString progressText(qint64 received, qint64 remaining);

struct SocketLine {
    QByteArray text;     // ends with the terminator; empty when no whole line came
    bool closed = false; // the peer has closed the connection
};

// Reads one line byte by byte. The time-out applies to each byte. A line longer than
// maxBytes comes back empty, as does one cut short by the time-out or a close.
SocketLine ReadSocketLine(TcpConnection& connection, int timeoutMs, const QByteArray& terminator,
                          qsizetype maxBytes = 8192);

// The updater's own HTTP/1.1 client: HEAD for the full length, then a ranged GET that
// continues the destination file from its size. Everything received is kept in the file.
class HttpDownloader {
public:
    // Fetches url into dest, continuing what dest already holds. True only when dest now
    // holds the whole resource. Raises nothing.
    bool DownloadFile(const QString& url, const QString& dest);

    // State that the wizard reads and sets while a download runs.
    QString RequestHost;
    QString RequestPath;
    qint64 ResumeOffset = 0;
    bool RangeAnswered = false;
    bool StopRequested = false;

    // Called after every body block with the values of the progress display.
    std::function<void(qint64 received, qint64 remaining)> progress;
    // Called repeatedly while the client waits for the server (the window handles its
    // messages there).
    std::function<void()> idle;

    int connectTimeoutMs = 60000;
    // Each header byte and each body block must arrive within this time.
    int headerTimeoutMs = 60000;
    int bodyTimeoutMs = 60000;
    qsizetype maxHeaderBytes = 64 * 1024;

    // Why the last call failed; empty after a success.
    QString lastError;

    // Writes what has been received but not yet written to the file of the running call.
    // The program calls it before it ends abruptly in the middle of a download.
    bool flushPending();

private:
    enum class Header { Complete, Failed };
    Header readHeader(int& status, QList<QByteArray>& lines);

    TcpConnection DownloadSocket;
    QFile* m_file = nullptr;
    std::unique_ptr<char[]> m_pending;
    qint64 m_pendingBytes = 0;
};
