#include "ErrorReport.h"
#include "FakeDialogs.h"
#include "IniFile.h"
#include "InstanceGuard.h"
#include "PinletError.h"
#include "RecordFile.h"
#include "Shell.h"
#include "TestFolder.h"
#include "Utf8.h"

#include <QSignalSpy>
#include <QtTest>
#include <thread>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void integers_data();
    void integers();
    void readsDefaultsWhenMissing();
    void writesKeepFileOrder();
    void writesKeepUntouchedBytes();
    void keyEndsAtFirstEquals();
    void refusedWriteReportsPath_data();
    void refusedWriteReportsPath();
    void utf8Cut_data();
    void utf8Cut();
    void recordFileMissing();
    void errorReportAddsFullStop();
    void guardLetsOneCopyRun();
    void defaultBrowser_data();
    void defaultBrowser();
    void newWindowGoesToTheBrowser_data();
    void newWindowGoesToTheBrowser();
};

void TestPlatform::integers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "42" << true << 42;
    QTest::newRow("blanks and sign") << "   -7" << true << -7;
    QTest::newRow("plus") << "+3" << true << 3;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("0x hex") << "0x1f" << true << 31;
    QTest::newRow("0X hex") << "0X10" << true << 16;
    QTest::newRow("hex wraps to 32 bits") << "$FFFFFFFF" << true << -1;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("int min") << "-2147483648" << true << INT_MIN;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing garbage") << "12abc" << false << 0;
    QTest::newRow("hex digit in decimal") << "1f" << false << 0;
    QTest::newRow("prefix only") << "$" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
}

void TestPlatform::integers() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto v = parseIniInteger(text);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, value);
}

void TestPlatform::readsDefaultsWhenMissing() {
    TestFolder t;
    IniFile ini(t.path("Config.INI"));
    QCOMPARE(ini.readInteger("Size", "Width", 580), 580);
    QVERIFY(ini.readSection("Categories").isEmpty());
    t.write("Config.INI", "[Size]\nWidth=wide\nHeight = 0x20 \n");
    QCOMPARE(ini.readInteger("size", "WIDTH", 580), 580);
    QCOMPARE(ini.readInteger("SIZE", "height", 390), 32);
    QCOMPARE(ini.readInteger("Size", "Top", 39), 39);
}

void TestPlatform::writesKeepFileOrder() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nC=3\nA=5\nB=2\n\n[Size]\nWidth=580\n");
    IniFile ini(t.path("Config.INI"));
    QCOMPARE(ini.readSection("categories"), QStringList({"C", "A", "B"}));
    ini.writeInteger("CATEGORIES", "a", 9);   // in place, spelling of the file kept
    ini.writeInteger("Categories", "D", 1);   // end of its section, before the blank line
    ini.writeInteger("FavID", "NewID", 0);    // new section at the end
    QCOMPARE(t.read("Config.INI"),
             QByteArray("[Categories]\nC=3\nA=9\nB=2\nD=1\n\n[Size]\nWidth=580\n\n[FavID]\nNewID=0\n"));
    ini.deleteKey("categories", "c");
    QCOMPARE(ini.readSection("Categories"), QStringList({"A", "B", "D"}));
    QVERIFY(ini.valueExists("Categories", "d"));
    QVERIFY(!ini.valueExists("Categories", "C"));
}

void TestPlatform::writesKeepUntouchedBytes() {
    TestFolder t;
    // CRLF line ends and a line that is not UTF-8 come back as they were.
    t.write("Config.INI", "[Other]\r\nName=caf\xE9\r\n[Size]\r\nWidth=1\r\n");
    IniFile ini(t.path("Config.INI"));
    ini.writeInteger("Size", "Width", 2);
    ini.writeInteger("Size", "Height", 3);
    QCOMPARE(t.read("Config.INI"), QByteArray("[Other]\r\nName=caf\xE9\r\n[Size]\r\nWidth=2\r\nHeight=3\r\n"));
}

void TestPlatform::keyEndsAtFirstEquals() {
    TestFolder t;
    IniFile ini(t.path("Config.INI"));
    ini.writeInteger("Categories", "a=b", 1);
    QCOMPARE(ini.readSection("Categories"), QStringList({"a"}));
}

void TestPlatform::refusedWriteReportsPath_data() {
    QTest::addColumn<bool>("readOnlyFile");
    QTest::newRow("read-only file") << true;
    QTest::newRow("missing folder") << false;
}

void TestPlatform::refusedWriteReportsPath() {
    QFETCH(bool, readOnlyFile);
    if (::geteuid() == 0 && readOnlyFile)
        QSKIP("root writes read-only files"); // permission bits do not bind root
    TestFolder t;
    QString path = t.path("Config.INI");
    if (readOnlyFile) {
        t.write("Config.INI", "[Size]\nWidth=1\n");
        QFile::setPermissions(path, QFile::ReadOwner);
    } else {
        path = t.path("gone/Config.INI");
    }
    try {
        IniFile(path).writeInteger("Size", "Width", 2);
        QFAIL("no error");
    } catch (const PinletError& e) {
        QCOMPARE(e.text(), "Unable to write to " + path);
    }
    if (readOnlyFile)
        QCOMPARE(t.read("Config.INI"), QByteArray("[Size]\nWidth=1\n"));
}

void TestPlatform::utf8Cut_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("cut");
    QTest::newRow("short") << "News" << 10 << "News";
    QTest::newRow("ascii") << "Programming" << 10 << "Programmin";
    QTest::newRow("two-byte at edge") << QString("abcdefghi\u00e9") << 10 << "abcdefghi";
    QTest::newRow("three-byte fits") << QString("abcdefg\u4e2d") << 10 << QString("abcdefg\u4e2d");
    QTest::newRow("three-byte straddles") << QString("abcdefgh\u4e2d") << 10 << "abcdefgh";
    QTest::newRow("emoji straddles") << QString("abcdefg\U0001F600") << 10 << "abcdefg";
}

void TestPlatform::utf8Cut() {
    QFETCH(QString, text);
    QFETCH(int, max);
    QFETCH(QString, cut);
    QCOMPARE(utf8::cutText(text, max), cut);
    QVERIFY(utf8::cut(text, max).size() <= max);
}

void TestPlatform::recordFileMissing() {
    TestFolder t;
    RecordFile f(t.path("Fav.Dat"), 628);
    try {
        f.open();
        QFAIL("opened a missing file");
    } catch (const PinletError& e) {
        QCOMPARE(e.text(), QString("File not found"));
    }
}

void TestPlatform::errorReportAddsFullStop() {
    FakeDialogs dialogs;
    runGuarded([] { throw PinletError("File not found"); });
    runGuarded([] { throw PinletError("Done."); });
    QCOMPARE(dialogs.boxes.size(), 2);
    QCOMPARE(dialogs.boxes[0].text, QString("File not found."));
    QCOMPARE(dialogs.boxes[0].caption, QString("Pinlet"));
    QCOMPARE(dialogs.boxes[0].icon, Dialogs::Icon::Error);
    QCOMPARE(dialogs.boxes[1].text, QString("Done."));
}

void TestPlatform::guardLetsOneCopyRun() {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const QString id = "test-guard";
    InstanceGuard first(id);
    QSignalSpy restored(&first, &InstanceGuard::restoreRequested);
    QVERIFY(!first.alreadyRunning());
    bool secondRuns = false;
    std::thread later([&] {
        InstanceGuard second(id);
        secondRuns = !second.alreadyRunning();
    });
    QVERIFY(restored.wait(5000));
    later.join();
    QVERIFY(!secondRuns);
}

void TestPlatform::defaultBrowser_data() {
    QTest::addColumn<QString>("browserEnv");
    QTest::addColumn<QString>("mimeapps");
    QTest::addColumn<QStringList>("command");
    QTest::newRow("$BROWSER") << "firefox" << "" << QStringList{"firefox"};
    QTest::newRow("$BROWSER list with %s") << "chromium --incognito %s:firefox" << "" << QStringList{"chromium", "--incognito"};
    QTest::newRow("desktop default") << "" << "[Default Applications]\nx-scheme-handler/http=missing.desktop;my.desktop\n"
                                     << QStringList{"/opt/my browser/run", "--profile", "x"};
    QTest::newRow("$BROWSER wins") << "firefox" << "[Default Applications]\nx-scheme-handler/http=my.desktop\n"
                                   << QStringList{"firefox"};
}

void TestPlatform::defaultBrowser() {
    QFETCH(QString, browserEnv);
    QFETCH(QString, mimeapps);
    QFETCH(QStringList, command);
    QTemporaryDir config, data;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("XDG_CONFIG_DIRS", config.path().toUtf8() + "/none");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_DATA_DIRS", data.path().toUtf8() + "/none");
    qputenv("BROWSER", browserEnv.toUtf8());
    QDir().mkpath(data.path() + "/applications");
    QFile entry(data.path() + "/applications/my.desktop");
    entry.open(QIODevice::WriteOnly);
    entry.write("[Desktop Entry]\nName=My\nExec=\"/opt/my browser/run\" --profile x %U\n[Desktop Action new]\nExec=other\n");
    entry.close();
    QFile list(config.path() + "/mimeapps.list");
    list.open(QIODevice::WriteOnly);
    list.write(mimeapps.toUtf8());
    list.close();
    const QStringList got = DefaultBrowserCommand();
    qunsetenv("BROWSER");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_CONFIG_DIRS");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");
    QCOMPARE(got, command);
}

void TestPlatform::newWindowGoesToTheBrowser_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("arguments");
    QTest::newRow("web link") << "https://example.org/a?b=1&c=2" << "--new-window https://example.org/a?b=1&c=2";
    QTest::newRow("www without scheme") << "www.example.org" << "--new-window http://www.example.org";
}

void TestPlatform::newWindowGoesToTheBrowser() {
    QFETCH(QString, link);
    QFETCH(QString, arguments);
    QTemporaryDir dir;
    const QString script = dir.path() + "/browser";
    const QString out = dir.path() + "/args";
    QFile f(script);
    f.open(QIODevice::WriteOnly);
    f.write(QString("#!/bin/sh\necho \"$*\" > '%1'\n").arg(out).toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("BROWSER", script.toUtf8());
    DesktopShell().openInNewWindow(link);
    qunsetenv("BROWSER");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 10000);
    QFile result(out);
    result.open(QIODevice::ReadOnly);
    QCOMPARE(QString::fromUtf8(result.readAll()).trimmed(), arguments);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
