#include "ProgramRun.h"
#include "RecordBytes.h"
#include "StartUp.h"

#include <QtTest>
#include <csignal>

// The real program on a virtual display: start-up with fixture files and the one-copy guard.
class TestApp : public QObject {
    Q_OBJECT
private slots:
    void startHiddenArgument_data();
    void startHiddenArgument();
    void startsWithFixtureFiles();
    void secondStartShowsTheFirst();
    void killedFirstCopyDoesNotBlock();
    void simultaneousStartsRunOnce();
    void trayClickShowsAndExitEnds();
    void scaleFactorKeepsProportions();
    void quitSignalEndsInOrderAndSavesNothing_data();
    void quitSignalEndsInOrderAndSavesNothing();
};

namespace {
const QString kTitle = QStringLiteral("^Pinlet$");

void stop(QProcess* p) {
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(10000);
    }
}
} // namespace

void TestApp::startHiddenArgument_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("none") << QStringList{"Pinlet"} << false;
    QTest::newRow("/min") << QStringList{"Pinlet", "/min"} << true;
    QTest::newRow("/MIN") << QStringList{"Pinlet", "/MIN"} << true;
    QTest::newRow("-min") << QStringList{"Pinlet", "-min"} << true;
    QTest::newRow("minimal") << QStringList{"Pinlet", "minimal"} << true;
    QTest::newRow("second argument only") << QStringList{"Pinlet", "/x", "/min"} << false;
}

void TestApp::startHiddenArgument() {
    QFETCH(QStringList, args);
    QFETCH(bool, hidden);
    QCOMPARE(StartHiddenRequested(args), hidden);
}

void TestApp::startsWithFixtureFiles() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=5\nWork=2\n[Size]\nCateID=1\n");
    run.write("Fav.Dat", recordBytes(0, "News", "BBC", "https://bbc.co.uk", "") +
                             recordBytes(1, "Work", "Qt", "https://doc.qt.io", "") +
                             recordBytes(2, "Work", "Debian", "https://debian.org", ""));
    QScopedPointer<QProcess> p(run.start("Pinlet"));
    QVERIFY(p->waitForStarted());
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    // Counters were reset and then counted again by the load.
    QVERIFY(waitFor([&] { return run.read("Config.INI").startsWith("[Categories]\nNews=2\nWork=3\n"); }));
    stop(p.get());
}

void TestApp::secondStartShowsTheFirst() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\n");
    QScopedPointer<QProcess> first(run.start("Pinlet", {"/min"}));
    QVERIFY(first->waitForStarted());
    QTest::qWait(1500);
    QVERIFY(visibleWindows(kTitle).isEmpty()); // started hidden
    QVERIFY(waitFor([&] { return run.read("Config.INI") == "[Categories]\nNews=1\n"; }));
    const QByteArray before = run.read("Config.INI");
    QScopedPointer<QProcess> second(run.start("Pinlet"));
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(run.read("Config.INI"), before);
    stop(first.get());
}

void TestApp::killedFirstCopyDoesNotBlock() {
    ProgramFolderRun run;
    QScopedPointer<QProcess> first(run.start("Pinlet"));
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(10000));
    QVERIFY(waitFor([] { return visibleWindows(kTitle).isEmpty(); }));
    QScopedPointer<QProcess> next(run.start("Pinlet"));
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    QCOMPARE(next->state(), QProcess::Running);
    stop(next.get());
}

void TestApp::simultaneousStartsRunOnce() {
    ProgramFolderRun run;
    QList<QProcess*> copies;
    for (int i = 0; i < 3; ++i)
        copies.append(run.start("Pinlet", {}, this));
    QVERIFY(waitFor([&] {
        return std::count_if(copies.begin(), copies.end(),
                             [](QProcess* p) { return p->state() == QProcess::NotRunning; }) == 2;
    }, 30000));
    for (QProcess* p : copies)
        if (p->state() == QProcess::NotRunning)
            QCOMPARE(p->exitCode(), 0);
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    for (QProcess* p : copies)
        stop(p);
    qDeleteAll(copies);
}

void TestApp::trayClickShowsAndExitEnds() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\n[Size]\nWidth=600\nHeight=400\n");
    QScopedPointer<QProcess> p(run.start("Pinlet", {"/min"}));
    // Hidden at start: the program shows its tray icon (and the DropZone, which is larger).
    QString icon;
    QVERIFY(waitFor([&] {
        QProcess x;
        x.start("xdotool", {"search", "--onlyvisible", "--classname", "^Pinlet$"});
        x.waitForFinished(10000);
        for (const QString& id : QString::fromUtf8(x.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            QProcess g;
            g.start("xdotool", {"getwindowgeometry", id});
            g.waitForFinished(10000);
            const QString geometry = QString::fromUtf8(g.readAllStandardOutput());
            const int at = geometry.indexOf("Geometry: ");
            if (at >= 0 && geometry.mid(at + 10).section('x', 0, 0).toInt() < 40)
                icon = id;
        }
        return !icon.isEmpty();
    }));
    QVERIFY(visibleWindows(kTitle).isEmpty());
    QProcess::execute("xdotool", {"mousemove", "--window", icon, "5", "5", "click", "1"});
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    QProcess::execute("xdotool", {"mousemove", "--window", icon, "5", "5", "click", "3"});
    QTest::qWait(500);
    QProcess::execute("xdotool", {"key", "Up", "Return"}); // the last item: "&Exit"
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    const QByteArray ini = run.read("Config.INI");
    for (const char* key : {"Height=400", "Width=600", "Top=39", "Right=240", "CateID=0"})
        QVERIFY2(ini.contains(key), ini.constData());
}

void TestApp::scaleFactorKeepsProportions() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Size]\nWidth=600\nHeight=380\n");
    auto* p = new QProcess(this);
    QProcessEnvironment env = run.environment();
    env.insert("QT_SCALE_FACTOR", "2");
    p->setProcessEnvironment(env);
    p->start(run.path("Pinlet"));
    QStringList ids;
    QVERIFY(waitFor([&] { return (ids = visibleWindows(kTitle)).size() == 1; }));
    QProcess x;
    x.start("xdotool", {"getwindowgeometry", ids[0]});
    x.waitForFinished(10000);
    const QString geometry = QString::fromUtf8(x.readAllStandardOutput());
    QVERIFY2(geometry.contains("Geometry: 1200x760"), qPrintable(geometry));
    stop(p);
}

void TestApp::quitSignalEndsInOrderAndSavesNothing_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestApp::quitSignalEndsInOrderAndSavesNothing() {
    QFETCH(int, signal);
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\n");
    run.write("Fav.Dat", recordBytes(0, "News", "BBC", "https://bbc.co.uk", ""));
    QScopedPointer<QProcess> p(run.start("Pinlet"));
    QVERIFY(waitFor([] { return visibleWindows(kTitle).size() == 1; }));
    QTest::qWait(300);
    const QByteArray ini = run.read("Config.INI");
    const QByteArray dat = run.read("Fav.Dat");
    ::kill(static_cast<pid_t>(p->processId()), signal);
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    QCOMPARE(run.read("Config.INI"), ini);
    QCOMPARE(run.read("Fav.Dat"), dat);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
