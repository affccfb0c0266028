#include "HttpDownload.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>

#include <cstring>

namespace {
QString afterScheme(const QString& url) {
    QString rest = url.trimmed();
    if (rest.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        rest = rest.mid(7);
    return rest;
}

// Blanks, control bytes and non-ASCII bytes would break the request line (or smuggle
// headers into it); they go as %XX. Everything else is sent as it stands.
QByteArray encodePath(const QString& path) {
    QByteArray out;
    for (const char ch : path.toUtf8()) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

QByteArray hostHeader(const QString& host) {
    QByteArray h = host.toUtf8();
    for (char& c : h)
        if (static_cast<unsigned char>(c) < 0x20)
            c = '_';
    return h;
}

// Blocks are gathered into larger writes; a write per 4 KiB block would cost more than the
// transfer itself on a fast line.
constexpr qint64 kWriteBatch = 256 * 1024;

constexpr char kUserAgent[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705)\r\n";

// "name: value" with the name compared without regard to case; the value trimmed.
bool headerValue(const QByteArray& line, const char* name, QByteArray& value) {
    const qsizetype n = qsizetype(std::strlen(name));
    if (line.size() <= n || line.at(n) != ':' || qstrnicmp(line.constData(), name, size_t(n)) != 0)
        return false;
    value = line.mid(n + 1).trimmed();
    return true;
}

bool toLength(const QByteArray& text, qint64& out) {
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    bool ok = false;
    out = text.toLongLong(&ok);
    return ok;
}

// "bytes first-last/total", total may be "*".
bool parseContentRange(const QByteArray& value, qint64& first, qint64& last, qint64& total) {
    QByteArray v = value;
    if (!v.toLower().startsWith("bytes"))
        return false;
    v = v.mid(5).trimmed();
    const qsizetype dash = v.indexOf('-');
    const qsizetype slash = v.indexOf('/');
    if (dash <= 0 || slash < dash)
        return false;
    if (!toLength(v.left(dash).trimmed(), first) || !toLength(v.mid(dash + 1, slash - dash - 1).trimmed(), last))
        return false;
    const QByteArray t = v.mid(slash + 1).trimmed();
    total = -1;
    return t == "*" || toLength(t, total);
}

int statusOf(const QByteArray& line) {
    // "HTTP/1.1 206 Partial Content"
    if (!line.startsWith("HTTP/"))
        return 0;
    const QList<QByteArray> parts = line.simplified().split(' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}
} // namespace

bool HttpDownloader::flushPending() {
    if (!m_file || m_pendingBytes == 0)
        return true;
    const bool ok = m_file->write(m_pending.get(), m_pendingBytes) == m_pendingBytes;
    m_pendingBytes = 0;
    return ok;
}

QString UrlHost(const QString& url) {
    const QString rest = afterScheme(url);
    const qsizetype slash = rest.indexOf(u'/');
    return slash < 0 ? rest : rest.left(slash);
}

QString UrlPath(const QString& url) {
    const QString rest = afterScheme(url);
    const qsizetype slash = rest.indexOf(u'/');
    return slash < 0 ? rest : rest.mid(slash + 1);
}

std::pair<QString, quint16> hostAndPort(const QString& hostText) {
    QString host = hostText;
    QString port;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0)
            return {QString(), 0};
        const QString after = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':'))
                return {QString(), 0};
            port = after.mid(1);
        }
    } else {
        const qsizetype colon = host.lastIndexOf(u':');
        if (colon >= 0) {
            port = host.mid(colon + 1);
            host = host.left(colon);
        }
    }
    quint16 number = 80;
    if (!port.isEmpty()) {
        bool ok = false;
        const uint p = port.toUInt(&ok);
        if (!ok || p == 0 || p > 65535)
            return {QString(), 0};
        number = quint16(p);
    }
    return {host, number};
}

QByteArray headRequest(const QString& host, const QString& path) {
    return "HEAD /" + encodePath(path) +
           " HTTP/1.1\r\n"
           "Pragma: no-cache\r\n"
           "Cache-Control: no-cache\r\n" +
           QByteArray(kUserAgent) + "Host: " + hostHeader(host) + "\r\n\r\n";
}

QByteArray getRequest(const QString& host, const QString& path, qint64 from) {
    return "GET /" + encodePath(path) +
           " HTTP/1.1\r\n"
           "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n" +
           QByteArray(kUserAgent) + "RANGE: bytes=" + QByteArray::number(from) + "-\r\n" + "Host: " + hostHeader(host) +
           "\r\n\r\n";
}

QString formatCount(qint64 value) {
    if (value == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

QString progressText(qint64 received, qint64 remaining) {
    return formatCount(received) + QStringLiteral(" bytes / ") + formatCount(remaining) + QStringLiteral(" bytes ");
}

SocketLine ReadSocketLine(TcpConnection& connection, int timeoutMs, const QByteArray& terminator, qsizetype maxBytes) {
    SocketLine line;
    QByteArray collected;
    for (;;) {
        if (connection.waitReadable(timeoutMs) != TcpConnection::Wait::Ready)
            break;
        char byte = 0;
        const qint64 n = connection.receiveNow(&byte, 1);
        if (n < 0)
            continue;
        if (n == 0) {
            line.closed = true;
            break;
        }
        collected += byte;
        if (collected.endsWith(terminator)) {
            line.text = collected;
            return line;
        }
        if (collected.size() >= maxBytes)
            break;
    }
    return line;
}

HttpDownloader::Header HttpDownloader::readHeader(int& status, QList<QByteArray>& lines) {
    status = 0;
    lines.clear();
    qsizetype total = 0;
    QElapsedTimer clock;
    clock.start();
    // A server that trickles bytes could keep each wait short and the header endless.
    const qint64 limitMs = 2 * qint64(headerTimeoutMs);
    while (!StopRequested) {
        const qint64 left = limitMs - clock.elapsed();
        if (left <= 0) {
            lastError = QStringLiteral("The answer's header did not end in time");
            return Header::Failed;
        }
        const SocketLine line = ReadSocketLine(DownloadSocket, int(std::min<qint64>(left, headerTimeoutMs)), "\r\n",
                                               maxHeaderBytes - total);
        if (line.text.isEmpty()) {
            lastError = line.closed ? QStringLiteral("The server closed the connection")
                                    : QStringLiteral("The answer's header is incomplete");
            return Header::Failed;
        }
        total += line.text.size();
        if (line.text == "\r\n")
            return status ? Header::Complete : Header::Failed;
        const QByteArray text = line.text.chopped(2);
        if (lines.isEmpty() && status == 0) {
            status = statusOf(text);
            if (status == 0) {
                lastError = QStringLiteral("The server's answer is not HTTP");
                return Header::Failed;
            }
            continue;
        }
        lines.append(text);
    }
    lastError = QStringLiteral("Stopped");
    return Header::Failed;
}

bool HttpDownloader::DownloadFile(const QString& url, const QString& dest) {
    RangeAnswered = false;
    StopRequested = false;
    lastError.clear();
    bool result = false;

    DownloadSocket.setIdle([this] {
        if (idle)
            idle();
        return !StopRequested;
    });

    QFile file(dest);
    const bool existed = file.exists();
    // Unbuffered: each batch goes to the file at once and stays there whatever happens next.
    if (!file.open((existed ? QIODevice::ReadWrite : QIODevice::ReadWrite | QIODevice::NewOnly) |
                   QIODevice::Unbuffered)) {
        lastError = file.errorString();
        return false;
    }
    ResumeOffset = file.size();
    file.seek(ResumeOffset);

    m_file = &file;
    m_pendingBytes = 0;
    if (!m_pending)
        m_pending = std::make_unique<char[]>(kWriteBatch);
    auto finish = [&](bool ok, const QString& why = QString()) {
        if (!flushPending()) {
            ok = false;
            lastError = file.errorString();
        }
        m_file = nullptr;
        file.close();
        DownloadSocket.close();
        if (!ok && lastError.isEmpty())
            lastError = why;
        if (ok)
            lastError.clear();
        return ok;
    };

    DownloadSocket.close();
    RequestHost = UrlHost(url);
    RequestPath = UrlPath(url);
    const auto [hostName, port] = hostAndPort(RequestHost);
    // Another scheme would be taken for a host name ("https:"); this client speaks plain HTTP.
    if (url.trimmed().contains(QLatin1String("://")) &&
        !url.trimmed().startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return finish(false, QStringLiteral("Only http:// addresses can be fetched: %1").arg(url));
    if (hostName.isEmpty())
        return finish(false, QStringLiteral("No host in %1").arg(url));

    try {
        // HEAD: the full length of the file on the server.
        DownloadSocket.open(hostName, port, connectTimeoutMs);
        DownloadSocket.sendAll(headRequest(RequestHost, RequestPath));
        int status = 0;
        QList<QByteArray> lines;
        if (readHeader(status, lines) != Header::Complete)
            return finish(false);
        if (status != 200)
            return finish(false, QStringLiteral("The server answered %1").arg(status));
        qint64 totalLength = -1;
        for (const QByteArray& line : lines) {
            QByteArray v;
            if (headerValue(line, "Content-Length", v) && !toLength(v, totalLength))
                return finish(false, QStringLiteral("'%1' is not a valid length").arg(QString::fromLatin1(v)));
        }
        // Without the full length nothing can show that the file is complete.
        if (totalLength < 0)
            return finish(false, QStringLiteral("The server did not give the file's length"));
        if (ResumeOffset > totalLength)
            return finish(false, QStringLiteral("The downloaded part is longer than the file on the server"));

        // Ranged GET for the rest, on a new connection.
        DownloadSocket.close();
        DownloadSocket.open(hostName, port, connectTimeoutMs);
        DownloadSocket.sendAll(getRequest(RequestHost, RequestPath, ResumeOffset));
        if (readHeader(status, lines) != Header::Complete)
            return finish(false);
        qint64 remainingLength = -1;
        qint64 first = -1, last = -1, rangeTotal = -1;
        bool rangeValid = false;
        for (const QByteArray& line : lines) {
            QByteArray v;
            if (headerValue(line, "Content-Range", v)) {
                RangeAnswered = true;
                rangeValid = parseContentRange(v, first, last, rangeTotal);
            } else if ((headerValue(line, "Transfer-Encoding", v) || headerValue(line, "Content-Encoding", v)) &&
                       v.toLower() != "identity") {
                // Framed or packed bytes are not the file's bytes.
                return finish(false,
                              QStringLiteral("The server sent the file encoded (%1)").arg(QString::fromLatin1(v)));
            } else if (headerValue(line, "Content-Length", v) && !toLength(v, remainingLength)) {
                return finish(false, QStringLiteral("'%1' is not a valid length").arg(QString::fromLatin1(v)));
            }
        }
        // Nothing is left to fetch: the server says so with 416 (or sends an empty range).
        if (status == 416 && ResumeOffset == totalLength)
            return finish(true);
        if (status != 206 || !RangeAnswered)
            return finish(false, QStringLiteral("The server did not answer the range (status %1)").arg(status));
        if (!rangeValid || first != ResumeOffset || (rangeTotal >= 0 && rangeTotal != totalLength) || last < first ||
            (remainingLength >= 0 && remainingLength != last - first + 1))
            return finish(false, QStringLiteral("The server's range does not fit the request"));
        if (remainingLength < 0)
            remainingLength = last - first + 1;

        qint64 received = 0;
        bool closed = false;
        char buffer[4096];
        while (!closed && !StopRequested && RangeAnswered) {
            const qint64 size = ResumeOffset + received;
            if (size >= totalLength) {
                result = size == totalLength;
                break;
            }
            std::memset(buffer, 0, sizeof buffer);
            // Wait only when nothing is there yet: on a fast line data nearly always is.
            qint64 n = DownloadSocket.receiveNow(buffer, sizeof buffer);
            if (n < 0) {
                const TcpConnection::Wait w = DownloadSocket.waitReadable(bodyTimeoutMs);
                if (w == TcpConnection::Wait::TimedOut) {
                    lastError = QStringLiteral("The server sent nothing for %1 s").arg(bodyTimeoutMs / 1000);
                    break;
                }
                if (w == TcpConnection::Wait::Aborted)
                    break;
                n = DownloadSocket.receiveNow(buffer, sizeof buffer);
                if (n < 0)
                    continue;
            }
            if (n == 0) {
                closed = true;
                lastError = QStringLiteral("The server closed the connection");
                break;
            }
            if (remainingLength <= received) {
                result = ResumeOffset + received == totalLength;
                break;
            }
            // Bytes beyond what the answer announced are not part of the file.
            const qint64 take = std::min({n, remainingLength - received, totalLength - size});
            std::memcpy(m_pending.get() + m_pendingBytes, buffer, size_t(take));
            m_pendingBytes += take;
            if (m_pendingBytes > kWriteBatch - qint64(sizeof buffer) && !flushPending()) {
                lastError = file.errorString();
                break;
            }
            received += take;
            if (progress)
                progress(received, remainingLength);
        }
        if (StopRequested)
            lastError = QStringLiteral("Stopped");
        else if (!result && lastError.isEmpty())
            lastError = QStringLiteral("The download is incomplete");
    } catch (const std::exception& e) {
        lastError = QString::fromLocal8Bit(e.what());
        result = false;
    }
    return finish(result);
}
