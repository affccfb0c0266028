#include "EndProcess.h"
#include "LocaleDate.h"
#include "PinletError.h"
#include "UpdateLogic.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

class TestUpdateLogic : public QObject {
    Q_OBJECT
private slots:
    void safeNames_data();
    void safeNames();
    void dates_data();
    void dates();
    void badDates_data();
    void badDates();
    void listDateAgainstFileTime();
    void nameMatching_data();
    void nameMatching();
    void endProcessStopsOnlyMatches();
    void endProcessKillsWhatIgnoresTerm();
};

void TestUpdateLogic::safeNames_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name"); // empty: refused
    QTest::newRow("plain") << "Pinlet"
                           << "Pinlet";
    QTest::newRow("subfolder") << "lang/de.qm"
                               << "lang/de.qm";
    QTest::newRow("backslash subfolder") << "lang\\de.qm"
                                         << "lang/de.qm";
    QTest::newRow("dots inside a name") << "a..b.txt"
                                        << "a..b.txt";
    QTest::newRow("parent") << "../Pinlet"
                            << "";
    QTest::newRow("parent with backslash") << "..\\..\\etc\\passwd"
                                           << "";
    QTest::newRow("parent inside") << "lang/../../x"
                                   << "";
    QTest::newRow("absolute") << "/etc/passwd"
                              << "";
    QTest::newRow("absolute backslash") << "\\etc\\passwd"
                                        << "";
    QTest::newRow("drive") << "C:\\Windows\\x.dll"
                           << "";
    QTest::newRow("drive relative") << "C:x.dll"
                                    << "";
    QTest::newRow("dot") << "."
                         << "";
    QTest::newRow("parent alone") << ".."
                                  << "";
    QTest::newRow("empty segment") << "a//b"
                                   << "";
    QTest::newRow("folder") << "lang/"
                            << "";
    QTest::newRow("control character") << "a\tb"
                                       << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestUpdateLogic::safeNames() {
    QFETCH(QString, section);
    QFETCH(QString, name);
    QCOMPARE(safeUpdateName(section).value_or(QString()), name);
}

void TestUpdateLogic::dates_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("value");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale gb(QLocale::English, QLocale::UnitedKingdom);
    const QLocale cn(QLocale::Chinese, QLocale::China);
    const QDateTime may13(QDate(2008, 5, 13), QTime(10, 0));
    QTest::newRow("us month first") << us << "5/13/2008 10:00:00" << may13;
    QTest::newRow("us dashes") << us << "5-13-2008 10:00" << may13;
    QTest::newRow("us two-digit year") << us << "5/13/08 10:00 AM" << may13;
    QTest::newRow("us pm") << us << "5/13/2008 10:00 PM" << QDateTime(QDate(2008, 5, 13), QTime(22, 0));
    QTest::newRow("us 12 am") << us << "5/13/2008 12:30 AM" << QDateTime(QDate(2008, 5, 13), QTime(0, 30));
    QTest::newRow("gb day first") << gb << "13/05/2008 10:00:00" << may13;
    QTest::newRow("de dots") << de << "13.05.2008 10:00:00" << may13;
    QTest::newRow("de with dashes") << de << "13-05-2008 10:00:00" << may13;
    QTest::newRow("year first in us") << us << "2008-05-13 10:00:00" << may13;
    QTest::newRow("year first in de") << de << "2008-05-13 10:00:00" << may13;
    QTest::newRow("year first in cn") << cn << "2008/5/13 10:00:00" << may13;
    QTest::newRow("date alone") << gb << "13/05/2008" << QDateTime(QDate(2008, 5, 13), QTime(0, 0));
    QTest::newRow("century window low") << gb << "01/01/49" << QDateTime(QDate(2049, 1, 1), QTime(0, 0));
    QTest::newRow("century window high") << gb << "01/01/50" << QDateTime(QDate(1950, 1, 1), QTime(0, 0));
    QTest::newRow("seconds and milliseconds")
        << gb << "13/05/2008 10:00:01.5" << QDateTime(QDate(2008, 5, 13), QTime(10, 0, 1, 500));
    QTest::newRow("blanks around") << gb << "  13/05/2008 10:00  " << may13;
}

void TestUpdateLogic::dates() {
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(QDateTime, value);
    QCOMPARE(parseLocaleDateTime(text, locale), value);
}

void TestUpdateLogic::badDates_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("words") << "yesterday";
    QTest::newRow("no such day") << "31/02/2008";
    QTest::newRow("month 13") << "13/13/2008";
    QTest::newRow("hour 25") << "13/05/2008 25:00";
    QTest::newRow("trailing junk") << "13/05/2008x";
    QTest::newRow("four parts") << "1/2/3/4";
    QTest::newRow("pm hour 13") << "13/05/2008 13:00 PM";
}

void TestUpdateLogic::badDates() {
    QFETCH(QString, text);
    try {
        parseLocaleDateTime(text, QLocale(QLocale::English, QLocale::UnitedKingdom));
        QFAIL("no error");
    } catch (const PinletError& e) {
        QCOMPARE(e.text(), QStringLiteral("'%1' is not a valid date and time").arg(text));
    }
}

void TestUpdateLogic::listDateAgainstFileTime() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QDateTime t(QDate(2008, 5, 13), QTime(10, 0));
    QVERIFY(!listDateIsLater(QStringLiteral("13/05/2008 10:00:00"), t)); // equal needs nothing
    QVERIFY(listDateIsLater(QStringLiteral("13/05/2008 10:00:01"), t));
    QVERIFY(!listDateIsLater(QStringLiteral("2008-05-12 23:59:59"), t));

    QTemporaryDir dir;
    QVERIFY(!GetFileDate(dir.filePath(QStringLiteral("none"))).has_value());
    QVERIFY(!GetFileDate(dir.path()).has_value()); // a folder is no installed file
    QFile f(dir.filePath(QStringLiteral("f")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
    f.close();
    QCOMPARE(GetFileDate(f.fileName()).value(), t);
}

void TestUpdateLogic::nameMatching_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("match");
    QTest::newRow("bare name") << "Pinlet" << true;
    QTest::newRow("other case") << "pINLET" << true;
    QTest::newRow("full path") << "/opt/pinlet/Pinlet" << true;
    QTest::newRow("longer name") << "MyPinlet" << false;
    QTest::newRow("further extension") << "/opt/Pinlet.bak" << false;
    QTest::newRow("folder of that name") << "/opt/Pinlet/other" << false;
    QTest::newRow("updater itself") << "/opt/pinlet/PinletUpdate" << false;
    QTest::newRow("non-ASCII not folded") << "PİNLET" << false;
}

void TestUpdateLogic::nameMatching() {
    QFETCH(QString, executable);
    QFETCH(bool, match);
    QCOMPARE(processNameMatches(executable, QStringLiteral("Pinlet")), match);
}

namespace {
// A copy of sleep under the given name, started with the given shell prefix.
std::unique_ptr<QProcess> startHelper(const QString& path, const QString& prefix = QString()) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::exists(path))
        QFile::copy(QStringLiteral("/bin/sleep"), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto p = std::make_unique<QProcess>();
    p->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), prefix + QStringLiteral("exec \"$0\" 600"), path});
    p->waitForStarted(10000);
    // Wait until the shell has become the helper.
    for (int i = 0; i < 200; ++i) {
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(p->processId())).symLinkTarget() == path)
            break;
        QThread::msleep(20);
    }
    return p;
}
// A name no other program on this machine carries, so that the test ends only its helpers.
QString uniqueName() {
    return QStringLiteral("PinletT%1").arg(::getpid());
}
} // namespace

void TestUpdateLogic::endProcessStopsOnlyMatches() {
    QTemporaryDir dir;
    const QString name = uniqueName();
    auto a = startHelper(dir.filePath(name));
    auto b = startHelper(dir.filePath(QStringLiteral("copy/") + name));
    auto c = startHelper(dir.filePath(name.toLower()));
    auto longer = startHelper(dir.filePath(QStringLiteral("My") + name));
    auto suffixed = startHelper(dir.filePath(name + QStringLiteral(".bak")));
    QVERIFY(EndProcess(name, 10000).isEmpty());
    for (QProcess* p : {a.get(), b.get(), c.get()})
        QVERIFY2(p->waitForFinished(10000), "a matching helper still runs");
    for (QProcess* p : {longer.get(), suffixed.get()})
        QCOMPARE(p->state(), QProcess::Running);
    // Nothing left to match: nothing happens.
    QVERIFY(EndProcess(name, 1000).isEmpty());
    QCOMPARE(longer->state(), QProcess::Running);
    longer->kill();
    suffixed->kill();
    longer->waitForFinished();
    suffixed->waitForFinished();
}

void TestUpdateLogic::endProcessKillsWhatIgnoresTerm() {
    QTemporaryDir dir;
    const QString name = uniqueName();
    // An ignored SIGTERM survives exec: the helper cannot be asked to end.
    auto stubborn = startHelper(dir.filePath(name), QStringLiteral("trap '' TERM; "));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(EndProcess(name, 500).isEmpty());
    QVERIFY(stubborn->waitForFinished(10000));
    QCOMPARE(stubborn->exitStatus(), QProcess::CrashExit);
    QVERIFY(clock.elapsed() < 10000);
}

QTEST_GUILESS_MAIN(TestUpdateLogic)
#include "tst_updatelogic.moc"
