#include "HttpDownload.h"
#include "TestServers.h"

#include <QLocale>
#include <QtTest>

#include <csignal>

namespace {
// An HTTP server that honours HEAD and "RANGE: bytes=N-" like a real one, over content.
ScriptedServer::Script rangeServer(QByteArray content) {
    return [content](int fd, const QByteArray& request, int) {
        if (request.startsWith("HEAD ")) {
            ScriptedServer::send(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(content.size()) +
                                         "\r\n\r\n");
            return;
        }
        qint64 from = 0;
        const qsizetype r = request.indexOf("RANGE: bytes=");
        if (r >= 0)
            from = request.mid(r + 13, request.indexOf('-', r + 13) - r - 13).toLongLong();
        if (from >= content.size()) {
            ScriptedServer::send(fd, "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        const QByteArray body = content.mid(from);
        ScriptedServer::send(fd, "HTTP/1.1 206 Partial Content\r\nContent-Length: " + QByteArray::number(body.size()) +
                                     "\r\nContent-Range: bytes " + QByteArray::number(from) + "-" +
                                     QByteArray::number(content.size() - 1) + "/" + QByteArray::number(content.size()) +
                                     "\r\n\r\n");
        ScriptedServer::send(fd, body);
    };
}
} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void urlSplit_data();
    void urlSplit();
    void progressText_data();
    void progressText();
    void requestTexts_data();
    void requestTexts();
    void fromNginx_data();
    void fromNginx();
    void nginxMissingFile();
    void faults_data();
    void faults();
    void stopBetweenBlocksKeepsPartAndResumes();
    void beyondTwoGigabytes();
    void unreachableServer();

private:
    NginxServer m_nginx;
    QString m_nginxError;
    bool m_nginxUp = false;
    QTemporaryDir m_dir;
    QString dest() const { return m_dir.path() + QStringLiteral("/dest.bin"); }
};

void TestDownload::initTestCase() {
    ::signal(SIGPIPE, SIG_IGN);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (!NginxServer::binary().isEmpty())
        m_nginxUp = m_nginx.start(&m_nginxError);
}

void TestDownload::cleanupTestCase() {
    m_nginx.stop();
}

void TestDownload::init() {
    QFile::remove(dest());
}

void TestDownload::urlSplit_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("hostName");
    QTest::addColumn<int>("port");
    QTest::newRow("folder and file") << "http://up.example/pinlet/Pinlet"
                                     << "up.example"
                                     << "pinlet/Pinlet"
                                     << "up.example" << 80;
    QTest::newRow("no slash after host") << "http://up.example"
                                         << "up.example"
                                         << "up.example"
                                         << "up.example" << 80;
    QTest::newRow("scheme in capitals") << "HTTP://Up.Example/a"
                                        << "Up.Example"
                                        << "a"
                                        << "Up.Example" << 80;
    QTest::newRow("blanks around") << "  http://h/x y  "
                                   << "h"
                                   << "x y"
                                   << "h" << 80;
    QTest::newRow("no scheme") << "h/p/q"
                               << "h"
                               << "p/q"
                               << "h" << 80;
    QTest::newRow("port") << "http://127.0.0.1:8080/u/f"
                          << "127.0.0.1:8080"
                          << "u/f"
                          << "127.0.0.1" << 8080;
    QTest::newRow("ipv6 with port") << "http://[::1]:81/f"
                                    << "[::1]:81"
                                    << "f"
                                    << "::1" << 81;
    QTest::newRow("port out of range") << "http://h:70000/f"
                                       << "h:70000"
                                       << "f"
                                       << "" << 0;
    QTest::newRow("port not a number") << "http://h:x/f"
                                       << "h:x"
                                       << "f"
                                       << "" << 0;
}

void TestDownload::urlSplit() {
    QFETCH(QString, url);
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(QString, hostName);
    QFETCH(int, port);
    QCOMPARE(UrlHost(url), host);
    QCOMPARE(UrlPath(url), path);
    const auto split = hostAndPort(host);
    QCOMPARE(split.first, hostName);
    if (!hostName.isEmpty())
        QCOMPARE(int(split.second), port);
}

void TestDownload::progressText_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("remaining");
    QTest::addColumn<QString>("text");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("first block") << us << qint64(4096) << qint64(10000) << "4,096 bytes / 10,000 bytes ";
    QTest::newRow("millions") << us << qint64(1234567) << qint64(2345678) << "1,234,567 bytes / 2,345,678 bytes ";
    QTest::newRow("zero is nothing") << us << qint64(0) << qint64(999) << " bytes / 999 bytes ";
    QTest::newRow("german separator") << QLocale(QLocale::German, QLocale::Germany) << qint64(4096) << qint64(10000)
                                      << "4.096 bytes / 10.000 bytes ";
    QTest::newRow("C locale still groups")
        << QLocale::c() << qint64(4096) << qint64(10000) << "4,096 bytes / 10,000 bytes ";
}

void TestDownload::progressText() {
    QFETCH(QLocale, locale);
    QFETCH(qint64, received);
    QFETCH(qint64, remaining);
    QFETCH(QString, text);
    QLocale::setDefault(locale);
    const QString got = ::progressText(received, remaining);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(got, text);
}

void TestDownload::requestTexts_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("sentPath");
    QTest::newRow("fresh file asks from 0") << QByteArray() << "upd/Pinlet" << QByteArray("upd/Pinlet");
    QTest::newRow("partial file asks for the rest") << QByteArray("0123") << "upd/Pinlet" << QByteArray("upd/Pinlet");
    QTest::newRow("blank and line break are encoded")
        << QByteArray() << "upd/a b\r\nX: y" << QByteArray("upd/a%20b%0D%0AX:%20y");
}

void TestDownload::requestTexts() {
    QFETCH(QByteArray, existing);
    QFETCH(QString, path);
    QFETCH(QByteArray, sentPath);
    const QByteArray content = "0123456789";
    ScriptedServer server(rangeServer(content));
    if (!existing.isNull())
        writeAll(dest(), existing);
    HttpDownloader d;
    const QString url = server.url(path);
    QVERIFY2(d.DownloadFile(url, dest()), qPrintable(d.lastError));
    QCOMPARE(readAll(dest()), content);
    const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
    const QByteArray ua = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705)\r\n";
    const QList<QByteArray> requests = server.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0), "HEAD /" + sentPath + " HTTP/1.1\r\nPragma: no-cache\r\nCache-Control: no-cache\r\n" + ua +
                                 "Host: " + host + "\r\n\r\n");
    QCOMPARE(requests.at(1),
             "GET /" + sentPath + " HTTP/1.1\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n" +
                 ua + "RANGE: bytes=" + QByteArray::number(existing.size()) + "-\r\nHost: " + host + "\r\n\r\n");
    QCOMPARE(d.RequestHost, QString::fromLatin1(host));
    QCOMPARE(d.ResumeOffset, qint64(existing.size()));
    QVERIFY(d.RangeAnswered);
}

void TestDownload::fromNginx_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("existing");
    QTest::newRow("fresh, one short block") << qint64(100) << qint64(-1);
    QTest::newRow("fresh, many blocks, uneven") << qint64(1024 * 1024 + 3) << qint64(-1);
    QTest::newRow("empty file there") << qint64(10000) << qint64(0);
    QTest::newRow("partial") << qint64(300000) << qint64(123457);
    QTest::newRow("one byte missing") << qint64(300000) << qint64(299999);
    QTest::newRow("already complete") << qint64(300000) << qint64(300000);
}

void TestDownload::fromNginx() {
    if (!m_nginxUp)
        QSKIP(qPrintable(QStringLiteral("nginx: ") + m_nginxError));
    QFETCH(qint64, size);
    QFETCH(qint64, existing);
    const QByteArray content = pattern(size);
    m_nginx.put(QStringLiteral("files/app.bin"), content);
    if (existing >= 0)
        writeAll(dest(), content.left(existing));
    HttpDownloader d;
    qint64 lastReceived = 0, lastRemaining = -1, blocks = 0;
    d.progress = [&](qint64 received, qint64 remaining) {
        QVERIFY(received > lastReceived);
        lastReceived = received;
        lastRemaining = remaining;
        ++blocks;
    };
    QVERIFY2(d.DownloadFile(m_nginx.url(QStringLiteral("files/app.bin")), dest()), qPrintable(d.lastError));
    QCOMPARE(readAll(dest()), content);
    const qint64 missing = size - std::max<qint64>(existing, 0);
    QCOMPARE(lastReceived, missing);
    if (missing > 0)
        QCOMPARE(lastRemaining, missing);
    QVERIFY(blocks >= (missing + 4095) / 4096);
}

void TestDownload::nginxMissingFile() {
    if (!m_nginxUp)
        QSKIP(qPrintable(QStringLiteral("nginx: ") + m_nginxError));
    HttpDownloader d;
    // nginx's 404 page has a length; it must not pass for the file.
    QVERIFY(!d.DownloadFile(m_nginx.url(QStringLiteral("files/none.bin")), dest()));
    QCOMPARE(QFileInfo(dest()).size(), 0);
}

// Each fault is a server that answers the HEAD request normally (length 10) unless the row
// says otherwise, and the ranged GET as the row says.
void TestDownload::faults_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("get");
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("after");
    const QByteArray head10 = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
    const QByteArray whole = "0123456789";
    QTest::newRow("range ignored: whole file with 200")
        << head10 << "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n" + whole << QByteArray("0123") << false
        << QByteArray("0123");
    QTest::newRow("HEAD without length") << QByteArray("HTTP/1.1 200 OK\r\n\r\n")
                                         << "HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-9/10\r\n\r\n" + whole
                                         << QByteArray() << false << QByteArray();
    QTest::newRow("HEAD error page with length")
        << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\n\r\n")
        << "HTTP/1.1 206 Partial\r\nContent-Range: bytes 0-9/10\r\n\r\n" + whole << QByteArray() << false
        << QByteArray();
    QTest::newRow("HEAD length not a number") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: ten\r\n\r\n")
                                              << QByteArray() << QByteArray() << false << QByteArray();
    QTest::newRow("range starts elsewhere")
        << head10 << "HTTP/1.1 206 Partial\r\nContent-Length: 10\r\nContent-Range: bytes 0-9/10\r\n\r\n" + whole
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("range answered with status 200")
        << head10 << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 6\r\nContent-Range: bytes 4-9/10\r\n\r\n456789")
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("range of another total")
        << head10 << QByteArray("HTTP/1.1 206 Partial\r\nContent-Range: bytes 4-19/20\r\n\r\n456789")
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("length disagrees with range")
        << head10
        << QByteArray("HTTP/1.1 206 Partial\r\nContent-Length: 60\r\nContent-Range: bytes 4-9/10\r\n\r\n456789")
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("early close keeps the part")
        << head10 << QByteArray("HTTP/1.1 206 Partial\r\nContent-Length: 6\r\nContent-Range: bytes 4-9/10\r\n\r\n45")
        << QByteArray("0123") << false << QByteArray("012345");
    QTest::newRow("more bytes than announced are dropped")
        << head10
        << QByteArray("HTTP/1.1 206 Partial\r\nContent-Length: 6\r\nContent-Range: bytes 4-9/10\r\n\r\n"
                      "456789EXTRA")
        << QByteArray("0123") << true << whole;
    QTest::newRow("no GET length: the range tells")
        << head10 << QByteArray("HTTP/1.1 206 Partial\r\nContent-Range: bytes 4-9/10\r\n\r\n456789")
        << QByteArray("0123") << true << whole;
    QTest::newRow("chunked body")
        << head10
        << QByteArray("HTTP/1.1 206 Partial\r\nTransfer-Encoding: chunked\r\nContent-Range: bytes 4-9/10\r\n\r\n"
                      "6\r\n456789\r\n0\r\n\r\n")
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("compressed body")
        << head10
        << QByteArray("HTTP/1.1 206 Partial\r\nContent-Encoding: gzip\r\nContent-Range: bytes 4-9/10\r\n\r\nxxxxxx")
        << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("416 for a whole file")
        << head10 << QByteArray("HTTP/1.1 416 Range Not Satisfiable\r\n\r\n") << whole << true << whole;
    QTest::newRow("416 for a part") << head10 << QByteArray("HTTP/1.1 416 Range Not Satisfiable\r\n\r\n")
                                    << QByteArray("0123") << false << QByteArray("0123");
    QTest::newRow("local part longer than the file")
        << head10 << QByteArray() << QByteArray("0123456789AB") << false << QByteArray("0123456789AB");
    QTest::newRow("not HTTP at all") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << QByteArray() << QByteArray() << false
                                     << QByteArray();
    QTest::newRow("closed before any answer")
        << QByteArray() << QByteArray() << QByteArray("01") << false << QByteArray("01");
    // Markers the script understands.
    QTest::newRow("endless header") << QByteArray("ENDLESS") << QByteArray() << QByteArray() << false << QByteArray();
    QTest::newRow("header stops arriving")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Le") << QByteArray("") << QByteArray() << false << QByteArray();
    QTest::newRow("body stops arriving keeps the part")
        << head10
        << QByteArray("HTTP/1.1 206 Partial\r\nContent-Length: 6\r\nContent-Range: bytes 4-9/10\r\n\r\n45STALL")
        << QByteArray("0123") << false << QByteArray("012345");
}

void TestDownload::faults() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, get);
    QFETCH(QByteArray, existing);
    QFETCH(bool, ok);
    QFETCH(QByteArray, after);
    ScriptedServer* self = nullptr;
    ScriptedServer server([&, head, get](int fd, const QByteArray& request, int) {
        QByteArray answer = request.startsWith("HEAD") ? head : get;
        if (answer == "ENDLESS") {
            ScriptedServer::send(fd, "HTTP/1.1 200 OK\r\n");
            for (int i = 0; i < 100000 && !self->stopping(); ++i)
                if (::send(fd, "X-Filler: more and more\r\n", 25, MSG_NOSIGNAL) <= 0)
                    break;
            return;
        }
        const bool stall = answer.endsWith("STALL") || answer.endsWith("Content-Le");
        if (answer.endsWith("STALL"))
            answer.chop(5);
        ScriptedServer::send(fd, answer);
        if (stall) // keep the connection open and silent until the client gives up
            for (int i = 0; i < 200 && !self->stopping(); ++i) {
                char c;
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 50) > 0 && ::recv(fd, &c, 1, 0) <= 0)
                    break;
            }
    });
    self = &server;
    if (!existing.isNull())
        writeAll(dest(), existing);
    HttpDownloader d;
    d.headerTimeoutMs = 5000;
    d.bodyTimeoutMs = 5000;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(d.DownloadFile(server.url(QStringLiteral("f.bin")), dest()), ok);
    QVERIFY2(clock.elapsed() < 60000, "the call must end in bounded time");
    QCOMPARE(readAll(dest()), after);
    if (!ok)
        QVERIFY(!d.lastError.isEmpty());
}

void TestDownload::stopBetweenBlocksKeepsPartAndResumes() {
    const QByteArray content = pattern(50000);
    ScriptedServer server(rangeServer(content));
    HttpDownloader d;
    d.progress = [&](qint64, qint64) { d.StopRequested = true; };
    QVERIFY(!d.DownloadFile(server.url(QStringLiteral("big.bin")), dest()));
    const qint64 part = QFileInfo(dest()).size();
    QVERIFY(part > 0 && part < content.size());
    QCOMPARE(readAll(dest()), content.left(part));

    d.progress = nullptr;
    QVERIFY2(d.DownloadFile(server.url(QStringLiteral("big.bin")), dest()), qPrintable(d.lastError));
    QCOMPARE(readAll(dest()), content);
    const QList<QByteArray> requests = server.requests();
    QCOMPARE(requests.size(), 4);
    QVERIFY(requests.at(3).contains("\r\nRANGE: bytes=" + QByteArray::number(part) + "-\r\n"));
}

void TestDownload::beyondTwoGigabytes() {
    // A sparse local part of 5 GB; the server sends the last ten bytes.
    const qint64 total = 5000000000LL;
    {
        QFile f(dest());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(total - 10));
    }
    ScriptedServer server([&](int fd, const QByteArray& request, int) {
        if (request.startsWith("HEAD"))
            ScriptedServer::send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 5000000000\r\n\r\n");
        else if (request.contains("RANGE: bytes=4999999990-"))
            ScriptedServer::send(fd, "HTTP/1.1 206 Partial\r\nContent-Length: 10\r\n"
                                     "Content-Range: bytes 4999999990-4999999999/5000000000\r\n\r\nABCDEFGHIJ");
    });
    HttpDownloader d;
    QVERIFY2(d.DownloadFile(server.url(QStringLiteral("huge.bin")), dest()), qPrintable(d.lastError));
    QCOMPARE(QFileInfo(dest()).size(), total);
    QFile f(dest());
    QVERIFY(f.open(QIODevice::ReadOnly));
    f.seek(total - 10);
    QCOMPARE(f.read(10), QByteArray("ABCDEFGHIJ"));
    QCOMPARE(getRequest(QStringLiteral("h"), QStringLiteral("p"), 3000000000LL),
             QByteArray("GET /p HTTP/1.1\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
                        "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; .NET CLR 1.0.3705)\r\n"
                        "RANGE: bytes=3000000000-\r\nHost: h\r\n\r\n"));
}

void TestDownload::unreachableServer() {
    const quint16 port = freeLoopbackPort();
    HttpDownloader d;
    writeAll(dest(), "part");
    QVERIFY(!d.DownloadFile(QStringLiteral("http://127.0.0.1:%1/f").arg(port), dest()));
    QVERIFY(!d.DownloadFile(QStringLiteral("http://127.0.0.1:99999/f"), dest()));
    QVERIFY(!d.DownloadFile(QStringLiteral("http:///f"), dest()));
    QVERIFY(!d.DownloadFile(QStringLiteral("https://127.0.0.1:%1/f").arg(port), dest()));
    QVERIFY(d.lastError.contains(QStringLiteral("http://")));
    QCOMPARE(readAll(dest()), QByteArray("part"));
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
