#include "WizardFixture.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// The whole update on a real display: nginx serves the list and the files, a running main
// program is stopped, the files are put in place with their modes, and the program starts
// again.
class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void wholePass();
    void realProgramEndsWhenCurrent();

private:
    // In a process namespace of our own (pid 1) the helper may carry the real name.
    static QString mainName() {
        return ::getpid() == 1 ? QStringLiteral("Pinlet") : QStringLiteral("PinletP%1").arg(::getpid());
    }
    NginxServer m_nginx;
    QString m_error;
    bool m_up = false;
};

void TestProgram::initTestCase() {
    ::signal(SIGPIPE, SIG_IGN);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (NginxServer::binary().isEmpty())
        QSKIP("nginx is not installed");
    m_up = m_nginx.start(&m_error);
    QVERIFY2(m_up, qPrintable(m_error));
}

void TestProgram::cleanupTestCase() {
    m_nginx.stop();
}

void TestProgram::wholePass() {
    const QString name = mainName();
    const QByteArray newMain = "#!/bin/sh\necho restarted > \"$(dirname \"$0\")/restarted.txt\"\n";
    const QByteArray newLib = pattern(70000, 9);
    m_nginx.put(QStringLiteral("upd/pinlet.htm"), "[" + name.toUtf8() +
                                                      "]\ndatetime=2040-01-01 00:00:00\n"
                                                      "[lib/core.dat]\ndatetime=1/1/2040 12:00:00 PM\n"
                                                      "[readme.txt]\ndatetime=5/13/2008 10:00:00\n");
    m_nginx.put(QStringLiteral("upd/") + name, newMain);
    m_nginx.put(QStringLiteral("upd/lib/core.dat"), newLib);

    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), name, {{QStringLiteral("Local"), m_nginx.url(QStringLiteral("upd/"))}});
    const QString installed = fx.folder + name;
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), installed));
    QVERIFY(::chmod(QFile::encodeName(installed).constData(), 0755) == 0);
    writeAll(fx.folder + QStringLiteral("lib/core.dat"), "old");
    writeAll(fx.folder + QStringLiteral("readme.txt"), "mine");

    QProcess running;
    running.start(installed, {QStringLiteral("600")});
    QVERIFY(running.waitForStarted(10000));

    TForm_Update& form = fx.create(name);
    form.startExe = TForm_Update().startExe; // the real start
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(fx.control(QStringLiteral("btn_next")), Qt::LeftButton);

    QCOMPARE(fx.boxTexts(), QStringList{"Update completed!"});
    QCOMPARE(form.imageIndex(0), 1);
    QCOMPARE(form.imageIndex(1), 1);
    QCOMPARE(form.imageIndex(2), 3);
    QVERIFY2(running.state() == QProcess::NotRunning || running.waitForFinished(15000), "the main program still runs");
    QCOMPARE(readAll(installed), newMain);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(installed).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0755);
    QCOMPARE(readAll(fx.folder + QStringLiteral("lib/core.dat")), newLib);
    QCOMPARE(readAll(fx.folder + QStringLiteral("readme.txt")), QByteArray("mine"));
    QVERIFY(!QFile::exists(fx.folder + QStringLiteral("update/") + name));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fx.folder + QStringLiteral("restarted.txt")), 20000);
    QCOMPARE(fx.ends, (QList<QPair<int, bool>>{{0, false}}));
}

void TestProgram::realProgramEndsWhenCurrent() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed");
    m_nginx.put(QStringLiteral("cur/pinlet.htm"), "[Pinlet]\ndatetime=2008-05-13 10:00:00\n");
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(QFile::copy(QStringLiteral(PINLET_BIN_DIR "/PinletUpdate"), folder + QStringLiteral("PinletUpdate")));
    writeAll(folder + QStringLiteral("Update.ini"), "[chis]\nSubSys=pinlet\nexe=Pinlet\n[update]\nLocal=" +
                                                        m_nginx.url(QStringLiteral("cur/")).toUtf8() + "\n");
    writeAll(folder + QStringLiteral("Pinlet"), "installed");
    QDir().mkpath(folder + QStringLiteral("update"));

    QProcess updater;
    updater.start(folder + QStringLiteral("PinletUpdate"));
    QVERIFY(updater.waitForStarted(10000));
    auto xdotool = [](const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(30000);
        return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    };
    // Return on the wizard presses its focused main button; Return on the message box
    // that says the installation is current closes it.
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = xdotool({"search", "--onlyvisible", "--name", "^Pinlet Update$"})).isEmpty(),
                             30000);
    window = window.section(u'\n', 0, 0);
    xdotool({"windowfocus", "--sync", window});
    xdotool({"key", "--window", window, "Return"});
    QString box;
    QTRY_VERIFY_WITH_TIMEOUT(!(box = xdotool({"search", "--onlyvisible", "--name", "^$"})).isEmpty() ||
                                 updater.state() == QProcess::NotRunning,
                             30000);
    for (int i = 0; i < 20 && updater.state() == QProcess::Running; ++i) {
        xdotool({"key", "Return"});
        updater.waitForFinished(1000);
    }
    QVERIFY(updater.state() == QProcess::NotRunning || updater.waitForFinished(30000));
    QVERIFY2(updater.exitStatus() == QProcess::NormalExit, updater.readAllStandardError().constData());
    QCOMPARE(updater.exitStatus(), QProcess::NormalExit);
    QCOMPARE(updater.exitCode(), 0);
    QVERIFY(readAll(folder + QStringLiteral("update/update.ini")).startsWith("[Pinlet]"));
    QCOMPARE(readAll(folder + QStringLiteral("Pinlet")), QByteArray("installed"));
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
