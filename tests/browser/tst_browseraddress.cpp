#include "BrowserAddress.h"
#include "BrowserProbe.h"
#include "BrowserWindowFinder.h"
#include "LinkSources.h"
#include "TitleDash.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace {

// Serves a small page whose title names the path asked for, on 127.0.0.1 only.
class PageServer : public QTcpServer {
public:
    PageServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    const QByteArray request = s->readAll();
                    const QByteArray path = request.split(' ').value(1);
                    const QByteArray body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
                                            pageTitle(path) + "</title></head><body><h1>Cats</h1></body></html>";
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                             "Content-Length: " +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    static QByteArray pageTitle(const QByteArray& path) { return "Cat video " + path.mid(1); }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(serverPort()).arg(path);
    }
};

// A program in a process group of its own, so that its helper processes end with it.
class Program {
public:
    ~Program() { stop(); }
    bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
        m_process.setProgram(program);
        m_process.setArguments(args);
        m_process.setProcessEnvironment(env);
        m_process.setChildProcessModifier([] { ::setsid(); });
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start();
        return m_process.waitForStarted(10000);
    }
    qint64 pid() const { return m_process.processId(); }
    QProcess& process() { return m_process; }
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(-pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(10000)) {
            ::kill(-pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

QDBusMessage statusCall(const QString& method, const QVariantList& args) {
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"), method);
    m.setArguments(args);
    return m;
}

} // namespace

class TestBrowserAddress : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void lastTitleDash_data();
    void lastTitleDash();
    void emptyWithoutBus();
    void emptyWithoutBrowser();
    void addressOfVisiblePage_data();
    void addressOfVisiblePage();

private:
    QDBusConnection testBus() const { return QDBusConnection::connectToBus(m_busAddress, QStringLiteral("test")); }
    std::optional<bool> accessibilityEnabled();
    void setAccessibilityEnabled(bool on);
    bool waitForAccessibilityEnabled();

    Program m_bus;
    QString m_busAddress;
    PageServer m_server;
};

void TestBrowserAddress::initTestCase() {
    QVERIFY2(m_server.isListening(), qPrintable(m_server.errorString()));
    // A session bus of the test's own; the accessibility bus is started by it on demand.
    m_bus.process().setProgram(QStringLiteral("dbus-daemon"));
    m_bus.process().setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                                  QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    m_bus.process().setChildProcessModifier([] { ::setsid(); });
    m_bus.process().start();
    QVERIFY2(m_bus.process().waitForStarted(10000), "dbus-daemon does not start");
    QElapsedTimer started;
    started.start();
    while (!m_bus.process().canReadLine() && started.elapsed() < 10000)
        m_bus.process().waitForReadyRead(500);
    m_busAddress = QString::fromUtf8(m_bus.process().readLine()).trimmed();
    QVERIFY2(!m_busAddress.isEmpty(), "dbus-daemon gives no address");
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
    qunsetenv("AT_SPI_BUS_ADDRESS");
    QVERIFY(testBus().isConnected());
}

void TestBrowserAddress::cleanupTestCase() {
    QDBusConnection::disconnectFromBus(QStringLiteral("test"));
    m_bus.stop();
}

std::optional<bool> TestBrowserAddress::accessibilityEnabled() {
    const QDBusMessage reply = testBus().call(
        statusCall(QStringLiteral("Get"), {QStringLiteral("org.a11y.Status"), QStringLiteral("IsEnabled")}),
        QDBus::Block, 20000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

void TestBrowserAddress::setAccessibilityEnabled(bool on) {
    testBus().call(statusCall(QStringLiteral("Set"), {QStringLiteral("org.a11y.Status"), QStringLiteral("IsEnabled"),
                                                      QVariant::fromValue(QDBusVariant(on))}),
                   QDBus::Block, 20000);
}

bool TestBrowserAddress::waitForAccessibilityEnabled() {
    for (QDeadlineTimer until(20000); !until.hasExpired(); QTest::qWait(200)) {
        if (accessibilityEnabled() == true)
            return true;
    }
    return false;
}

void TestBrowserAddress::lastTitleDash_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("before");
    QTest::newRow("Firefox, em dash") << QStringLiteral("Cat video \u2014 Mozilla Firefox") << "Cat video";
    QTest::newRow("Firefox, en dash") << QStringLiteral("Cat video \u2013 Mozilla Firefox") << "Cat video";
    QTest::newRow("Chromium, hyphen") << "Cat video - Chromium"
                                      << "Cat video";
    QTest::newRow("last of several") << QStringLiteral("News - World \u2014 Mozilla Firefox") << "News - World";
    QTest::newRow("dashes inside words") << "Jean-Luc \u2013 x-ray - Chromium"
                                         << QStringLiteral("Jean-Luc \u2013 x-ray");
    QTest::newRow("no dash") << "Cat video" << QString();
    QTest::newRow("unspaced dash only") << "Cat-video" << QString();
    QTest::newRow("dash at the start") << "- Chromium" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestBrowserAddress::lastTitleDash() {
    QFETCH(QString, title);
    QFETCH(QString, before);
    const int i = LastTitleDash(title);
    if (before.isNull()) {
        QCOMPARE(i, -1);
        return;
    }
    QVERIFY(i > 0);
    QCOMPARE(title.left(i - 1), before);
    QCOMPARE(title.at(i - 1), u' ');
    QCOMPARE(title.at(i + 1), u' ');
}

void TestBrowserAddress::emptyWithoutBus() {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/pinlet-no-bus");
    QElapsedTimer t;
    t.start();
    const QString address =
        BrowserAddress({0, qint64(::getpid()), QStringLiteral("Chromium"), QStringLiteral("Cat video - Chromium")});
    const qint64 took = t.elapsed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toUtf8());
    QVERIFY(address.isEmpty());
    QVERIFY2(took < 3000, "hangs without a bus"); // a hang guard, far above the look-up's own bound
}

void TestBrowserAddress::emptyWithoutBrowser() {
    setAccessibilityEnabled(false);
    // The accessibility bus is started on demand by the first call; a look-up for a process that
    // is no browser stays empty and bounded all the same.
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        QVERIFY(BrowserAddress(
                    {0, qint64(::getpid()), QStringLiteral("Chromium"), QStringLiteral("Cat video - Chromium")}, 300)
                    .isEmpty());
        QVERIFY2(t.elapsed() < 3000, "look-up not bounded");
        QTest::qWait(500);
    }
    // Asking switches the desktop's accessibility on: that is what makes Firefox build its tree.
    QVERIFY(waitForAccessibilityEnabled());
}

void TestBrowserAddress::addressOfVisiblePage_data() {
    QTest::addColumn<QString>("browser");
    QTest::addColumn<bool>("preparedBeforeStart");
    // Firefox follows the bus's switch while it runs; Chromium reads it only when it starts.
    QTest::newRow("Firefox ESR, switched on while running") << "firefox-esr" << false;
    QTest::newRow("Firefox ESR, prepared at start-up") << "firefox-esr" << true;
    QTest::newRow("Chromium, prepared at start-up") << "chromium" << true;
}

void TestBrowserAddress::addressOfVisiblePage() {
    QFETCH(QString, browser);
    QFETCH(bool, preparedBeforeStart);
    const QString binary = QStandardPaths::findExecutable(browser);
    if (binary.isEmpty())
        QSKIP(qPrintable(browser + QStringLiteral(" is not installed")));

    QTemporaryDir home;
    QVERIFY(home.isValid());
    // Two tabs: the address must be the one of the tab on show, whichever the browser selects.
    const QStringList pages{browser + QStringLiteral("-1"), browser + QStringLiteral("-2")};
    const QString titlePrefix = QString::fromUtf8(PageServer::pageTitle('/' + browser.toUtf8() + '-'));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    env.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const bool root = ::geteuid() == 0;

    QStringList args;
    if (browser == QLatin1String("chromium")) {
        // Chromium shows its pages to the accessibility bus only with this switch, whatever the bus says.
        args << QStringLiteral("--force-renderer-accessibility");
        args << QStringLiteral("--no-first-run") << QStringLiteral("--no-default-browser-check")
             << QStringLiteral("--disable-background-networking") << QStringLiteral("--disable-component-update")
             << QStringLiteral("--disable-sync") << QStringLiteral("--disable-gpu") << QStringLiteral("--disable-quic")
             << QStringLiteral("--password-store=basic")
             << QStringLiteral("--user-data-dir=") + home.filePath("profile");
        if (root)
            args << QStringLiteral("--no-sandbox");
    } else {
        const QString profile = home.filePath(QStringLiteral("profile"));
        QDir().mkpath(profile);
        QFile prefs(profile + QStringLiteral("/user.js"));
        QVERIFY(prefs.open(QIODevice::WriteOnly));
        // Nothing but the test's page, and no traffic beyond 127.0.0.1.
        prefs.write("user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
                    "user_pref(\"startup.homepage_welcome_url\", \"\");\n"
                    "user_pref(\"startup.homepage_welcome_url.additional\", \"\");\n"
                    "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
                    "user_pref(\"datareporting.policy.firstRunURL\", \"\");\n"
                    "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
                    "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                    "user_pref(\"app.update.enabled\", false);\n"
                    "user_pref(\"browser.safebrowsing.update.enabled\", false);\n"
                    "user_pref(\"network.captive-portal-service.enabled\", false);\n"
                    "user_pref(\"network.connectivity-service.enabled\", false);\n"
                    "user_pref(\"extensions.update.enabled\", false);\n"
                    "user_pref(\"browser.newtabpage.enabled\", false);\n"
                    "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
                    "user_pref(\"network.proxy.type\", 0);\n");
        prefs.close();
        args << QStringLiteral("-no-remote") << QStringLiteral("-profile") << profile;
        if (root)
            env.insert(QStringLiteral("MOZ_DISABLE_CONTENT_SANDBOX"), QStringLiteral("1"));
    }
    for (const QString& page : pages)
        args << m_server.url(page);

    setAccessibilityEnabled(false);
    if (preparedBeforeStart) {
        PrepareBrowserAddress(); // what Pinlet does when it starts
        QVERIFY(waitForAccessibilityEnabled());
    }
    Program program;
    QVERIFY2(program.start(binary, args, env), qPrintable(browser + QStringLiteral(" does not start")));

    std::optional<BrowserWindowInfo> window;
    for (QDeadlineTimer until(120000); !window && !until.hasExpired(); QTest::qWait(500))
        window = FindBrowserWindow(program.pid(), titlePrefix);
    QVERIFY2(window, qPrintable(browser + QStringLiteral(" shows no window with the pages")));

    // Both browsers show the first tab; the second is brought to the front as a user would, so
    // that a hidden tab's page comes first in the tree.
    QString address, expected;
    for (QDeadlineTimer until(90000); !until.hasExpired(); QTest::qWait(500)) {
        if (!window->title.startsWith(titlePrefix + QStringLiteral("2 "))) {
            const QString id = QString::number(window->window);
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), id});
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+Tab")});
        }
        if (const auto now = FindBrowserWindow(program.pid(), titlePrefix))
            window = now;
        // The browser's own name after the last dash, whatever dash it uses.
        const int dash = LastTitleDash(window->title);
        QVERIFY2(dash > 0, qPrintable(window->title));
        const QString shown = window->title.left(dash - 1).mid(QStringLiteral("Cat video ").size());
        QVERIFY2(pages.contains(shown), qPrintable(window->title));
        expected = m_server.url(shown);
        address = BrowserAddress(*window, 3000);
        if (address == expected && shown == pages.last())
            break;
    }
    QCOMPARE(address, expected);
    QCOMPARE(address, m_server.url(pages.last()));
    // Back to back, as when Ctrl+D is pressed again at once: each look-up answers.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(BrowserAddress(*window, 3000), m_server.url(pages.last()));
    // What the editor opened by Ctrl+D fills in: the front-most browser window's title without
    // the browser's name, and the page's address. The look-up has its own short limit; a loaded
    // machine may need another try.
    EditorFields fields;
    for (int i = 0; i < 10 && fields.url.isEmpty(); ++i)
        fields = FieldsFromFrontBrowser();
    // The name ends at the title's first hyphen ("Cat video firefox"), the comment at its last
    // separator, which is the browser's own.
    QCOMPARE(fields.name, (QStringLiteral("Cat video ") + pages.last()).section(u'-', 0, 0));
    QCOMPARE(fields.comment, QStringLiteral("Cat video ") + pages.last());
    QCOMPARE(fields.url, m_server.url(pages.last()));
    QCOMPARE(accessibilityEnabled(), std::optional<bool>(true));

    program.stop();
}

QTEST_GUILESS_MAIN(TestBrowserAddress)
#include "tst_browseraddress.moc"
