#include "FakeShell.h"
#include "FavWindowHooks.h"
#include "HelpHooks.h"
#include "HelpMenu.h"
#include "LoopbackHttp.h"
#include "ProductSite.h"
#include "TFrmAbout.h"
#include "TFrmFav.h"
#include "TestFolder.h"
#include "UpdateCheck.h"

#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QtTest>

// The Help menu, the about box, and the update check against a loopback web site.
class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void helpMenuAtTheGivenCorner();
    void menuItemsHandOnToTheDesktop();
    void aboutBoxIsOneWindow();
    void checkDay_data();
    void checkDay();
    void versionFile_data();
    void versionFile();
    void newerVersionStartsTheUpdater();
    void unreachableSiteKeepsTheWindowResponsive();
    void tricklingSiteIsCutOff();
};

namespace {
// Waits for the check's one answer.
bool runCheck(bool& newer) {
    CheckForUpdate check;
    QSignalSpy spy(&check, &CheckForUpdate::finished);
    check.start();
    if (!spy.wait(30000))
        return false;
    newer = spy.at(0).at(0).toBool();
    return true;
}
} // namespace

void TestHelp::init() {
    favWindowHooks() = FavWindowHooks{};
    CheckForUpdate::setTimeoutMs(20000);
}

void TestHelp::cleanup() {
    favWindowHooks() = FavWindowHooks{};
    qunsetenv("PINLET_SITE");
    delete HelpMenu::aboutBox();
}

void TestHelp::helpMenuAtTheGivenCorner() {
    TestFolder t;
    installHelpHooks();
    TFrmFav main;
    main.show();
    favWindowHooks().popupHelp(&main, QPoint(200, 150));
    auto* menu = main.findChild<QMenu*>("PopupHelp");
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), QPoint(200, 150));
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->objectName() + ':' + a->text();
    QCOMPARE(items, QStringList({"Contents1:Contents", "Update1:Contact", "CheckforUpdates1:Check for Updates",
                                 "About1:About"}));
    menu->hide();
    // A second Help uses the same menu.
    favWindowHooks().popupHelp(&main, QPoint(10, 20));
    QCOMPARE(main.findChildren<QMenu*>("PopupHelp").size(), 1);
}

void TestHelp::menuItemsHandOnToTheDesktop() {
    TestFolder t;
    FakeShell shell;
    installHelpHooks();
    TFrmFav main;
    favWindowHooks().popupHelp(&main, QPoint(0, 0));
    auto* menu = main.findChild<QMenu*>("PopupHelp");
    menu->hide();
    // The program folder's files are found from any current folder.
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    menu->findChild<QAction*>("Contents1")->trigger();
    menu->findChild<QAction*>("Update1")->trigger();
    menu->findChild<QAction*>("CheckforUpdates1")->trigger();
    QDir::setCurrent(before);
    QCOMPARE(shell.calls, QStringList({"open " + t.path("Pinlet.html"), "open mailto:" + supportMail(),
                                       "start " + t.path("PinletUpdate")}));
    // The build puts the guide beside the program.
    QVERIFY(QFileInfo(PINLET_BIN_DIR "/Pinlet.html").size() > 0);
}

void TestHelp::aboutBoxIsOneWindow() {
    TestFolder t;
    FakeShell shell;
    qputenv("PINLET_SITE", "http://127.0.0.1:9/");
    installHelpHooks();
    auto main = std::make_unique<TFrmFav>();
    main->show();
    for (const auto& create : favWindowHooks().afterMainWindow)
        create(main.get());
    TFrmAbout* box = HelpMenu::aboutBox();
    QVERIFY(box);
    QVERIFY(!box->isVisible());
    auto about = [&] {
        favWindowHooks().popupHelp(main.get(), QPoint(0, 0));
        auto* menu = main->findChild<QMenu*>("PopupHelp");
        menu->hide();
        menu->findChild<QAction*>("About1")->trigger();
    };
    about();
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    box->close();
    QVERIFY(!box->isVisible());
    about();
    QVERIFY(box->isVisible());
    QCOMPARE(HelpMenu::aboutBox(), box);
    int boxes = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        boxes += qobject_cast<TFrmAbout*>(w) != nullptr;
    QCOMPARE(boxes, 1);
    QCOMPARE(box->windowTitle(), QString("About Pinlet"));
    QCOMPARE(box->findChild<QLabel*>("Label2")->text(), QString("Version 1.1"));
    auto* link = box->findChild<QLabel*>("Label6");
    QVERIFY(link->text().contains("http://127.0.0.1:9"));
    emit link->linkActivated("http://127.0.0.1:9");
    QCOMPARE(shell.calls, QStringList({"open http://127.0.0.1:9"}));
    // It ends with the main window.
    QPointer<TFrmAbout> watch = box;
    main.reset();
    QVERIFY(!watch);
}

void TestHelp::checkDay_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checks");
    QTest::newRow("sv_SE 10th") << "sv_SE" << QDate(2026, 12, 10) << "2026-12-10" << true;
    QTest::newRow("sv_SE 20th") << "sv_SE" << QDate(2026, 3, 20) << "2026-03-20" << true;
    QTest::newRow("sv_SE 11th") << "sv_SE" << QDate(2026, 12, 11) << "2026-12-11" << false;
    QTest::newRow("ja_JP 20th") << "ja_JP" << QDate(2026, 12, 20) << "2026/12/20" << true;
    QTest::newRow("en_US day 10") << "en_US" << QDate(2026, 12, 10) << "12/10/26" << false;
    QTest::newRow("en_US year 2020") << "en_US" << QDate(2020, 12, 11) << "12/11/20" << true;
    QTest::newRow("de_DE dots stay") << "de_DE" << QDate(2026, 12, 10) << "10.12.26" << false;
    QTest::newRow("de_DE year 2010") << "de_DE" << QDate(2010, 4, 3) << "03.04.10" << true;
    QTest::newRow("en_GB four-digit year") << "en_GB" << QDate(2026, 12, 10) << "10/12/2026" << false;
}

void TestHelp::checkDay() {
    QFETCH(QString, locale);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QFETCH(bool, checks);
    QCOMPARE(ShortDateText(QLocale(locale), date), text);
    QCOMPARE(IsCheckDay(text), checks);
}

void TestHelp::versionFile_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("updateFolder");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same version") << 200 << QByteArray("20080513\r\n") << true << false;
    QTest::newRow("later date") << 200 << QByteArray("20090101") << true << true;
    QTest::newRow("older") << 200 << QByteArray("20070101\n") << true << false;
    QTest::newRow("first line counts") << 200 << QByteArray("20080101\n20991231\n") << true << false;
    QTest::newRow("later, more lines") << 200 << QByteArray("20991231\nnotes\n") << true << true;
    QTest::newRow("HTML page") << 200 << QByteArray("<html><body>20991231</body></html>") << true << false;
    QTest::newRow("empty file") << 200 << QByteArray() << true << false;
    QTest::newRow("sign") << 200 << QByteArray("+20991231") << true << false;
    QTest::newRow("too large a number") << 200 << QByteArray("999999999999999999999999") << true << false;
    QTest::newRow("error answer") << 404 << QByteArray("20991231") << true << false;
    // A fresh program folder has no update folder yet: the check makes it.
    QTest::newRow("no update folder") << 200 << QByteArray("20991231") << false << true;
    QTest::newRow("oversized answer") << 200 << QByteArray("20991231\n") + QByteArray(200 * 1024, 'x') << true
                                      << false;
}

void TestHelp::versionFile() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, updateFolder);
    QFETCH(bool, newer);
    TestFolder t;
    if (updateFolder)
        QDir(t.dir.path()).mkdir("update");
    LoopbackHttp site;
    site.status = status;
    site.body = body;
    qputenv("PINLET_SITE", (site.url() + '/').toUtf8());
    bool answer = !newer;
    QVERIFY(runCheck(answer));
    QCOMPARE(answer, newer);
    QCOMPARE(site.targets(), QList<QByteArray>({"/pinletupdate/v.ini"}));
    QVERIFY(site.heads[0].contains("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)"));
    if (status == 200 && body.size() < CheckForUpdate::kMaxBytes)
        QCOMPARE(t.read("update/v.ini"), body + '\n');
}

void TestHelp::newerVersionStartsTheUpdater() {
    TestFolder t;
    QDir(t.dir.path()).mkdir("update");
    // A stand-in updater that notes that it ran.
    t.write("PinletUpdate", "#!/bin/sh\necho ran > \"$(dirname \"$0\")/updater-ran\"\n");
    QFile::setPermissions(t.path("PinletUpdate"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LoopbackHttp site;
    site.body = "20991231\n";
    qputenv("PINLET_SITE", site.url().toUtf8());
    QObject owner;
    QVERIFY(!UpdateTrigger(&owner, "2026-12-11"));
    QVERIFY(UpdateTrigger(&owner, "2026-12-10"));
    QVERIFY(!UpdateTrigger(&owner, "2026-12-10")); // one check at a time
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(t.path("updater-ran")), 30000);
    QCOMPARE(site.heads.size(), 1);
}

void TestHelp::unreachableSiteKeepsTheWindowResponsive() {
    TestFolder t;
    FakeShell shell;
    QDir(t.dir.path()).mkdir("update");
    LoopbackHttp site;
    site.silent = true;
    qputenv("PINLET_SITE", site.url().toUtf8());
    CheckForUpdate::setTimeoutMs(1500);
    installHelpHooks();
    TFrmFav main;
    QVERIFY(UpdateTrigger(&main, "2026-12-20"));
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);
    QVERIFY(QTest::qWaitFor([&] { return site.heads.size() == 1; }, 30000));
    QVERIFY(main.findChild<CheckForUpdate*>()->running());
    // The check gives up; the event loop ran on all the while.
    QVERIFY(QTest::qWaitFor([&] { return !main.findChild<CheckForUpdate*>(); }, 30000));
    QVERIFY(ticks > 0);
    QVERIFY(shell.calls.isEmpty());
}

void TestHelp::tricklingSiteIsCutOff() {
    TestFolder t;
    QDir(t.dir.path()).mkdir("update");
    LoopbackHttp site;
    site.dripMs = 100;
    qputenv("PINLET_SITE", site.url().toUtf8());
    CheckForUpdate::setTimeoutMs(1000);
    bool newer = true;
    QVERIFY(runCheck(newer)); // answers well within the 30 s wait, though bytes keep coming
    QVERIFY(!newer);
    QVERIFY(!QFileInfo::exists(t.path("update/v.ini")));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
