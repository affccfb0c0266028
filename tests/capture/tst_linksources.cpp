#include "EditorRules.h"
#include "LinkSources.h"
#include "ShortcutBytes.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// The link logic without a window: titles, files, shortcuts, dragged links, category choice.
class TestLinkSources : public QObject {
    Q_OBJECT
private slots:
    void browserTitles_data();
    void browserTitles();
    void linkFromFile_data();
    void linkFromFile();
    void droppedFileFields();
    void draggedLinks_data();
    void draggedLinks();
    void chooseCategory_data();
    void chooseCategory();
    void editorPosition_data();
    void editorPosition();

private:
    QTemporaryDir m_dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.path() + u'/' + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
};

void TestLinkSources::browserTitles_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("comment");
    QTest::newRow("page - browser") << "Cat video - Mozilla Firefox"
                                    << "Cat video"
                                    << "Cat video";
    QTest::newRow("YouTube prefix") << "YouTube - Cat video - Mozilla Firefox"
                                    << "Cat video"
                                    << "YouTube - Cat video";
    QTest::newRow("Broadcast Yourself") << "YouTube - Broadcast Yourself. - Mozilla Firefox"
                                        << "YouTube - Broadcast Yourself."
                                        << "YouTube - Broadcast Yourself.";
    QTest::newRow("two dashes") << "News - World - Chromium"
                                << "News"
                                << "News - World";
    QTest::newRow("no dash") << "Plain title"
                             << "Plain title"
                             << "Plain title";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("only YouTube prefix") << "youtube - "
                                         << ""
                                         << "youtube";
    QTest::newRow("leading dash kept") << "-x- y - Chromium"
                                       << "-x"
                                       << "-x- y";
    QTest::newRow("one blank removed of two") << "A  - B"
                                              << "A "
                                              << "A ";
    // The browsers' own suffixes as they really come.
    QTest::newRow("Firefox em dash") << QString("Cat video \u2014 Mozilla Firefox")
                                     << "Cat video"
                                     << "Cat video";
    QTest::newRow("Firefox en dash") << QString("Cat video \u2013 Mozilla Firefox")
                                     << "Cat video"
                                     << "Cat video";
    QTest::newRow("Chromium") << "Cat video - Chromium"
                              << "Cat video"
                              << "Cat video";
    QTest::newRow("em dash inside the page title") << QString("Foo \u2014 Bar \u2014 Mozilla Firefox")
                                                   << QString("Foo \u2014 Bar")
                                                   << QString("Foo \u2014 Bar");
    QTest::newRow("prefix in any case, twice") << "YOUTUBE - a YouTube - b - c"
                                               << "a b"
                                               << "YOUTUBE - a YouTube - b";
}

void TestLinkSources::browserTitles() {
    QFETCH(QString, title);
    QFETCH(QString, name);
    QFETCH(QString, comment);
    const EditorFields f = FieldsFromBrowser(title, QStringLiteral("https://example.org/"));
    QCOMPARE(f.name, name);
    QCOMPARE(f.comment, comment);
    QCOMPARE(f.url, QStringLiteral("https://example.org/"));
}

void TestLinkSources::linkFromFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // "<path>" stands for the file's own path
    QTest::newRow(".url with key") << "Example.url"
                                   << QByteArray("[InternetShortcut]\r\nURL=https://example.org/a?b=1\r\n")
                                   << "https://example.org/a?b=1";
    QTest::newRow(".url key in other case")
        << "Lower.url" << QByteArray("[internetshortcut]\nurl=http://x.test/\n") << "http://x.test/";
    QTest::newRow(".url without key") << "NoKey.url" << QByteArray("[InternetShortcut]\nIconIndex=0\n") << "<path>";
    QTest::newRow(".url too large to be a shortcut")
        << "Huge.url" << QByteArray("[InternetShortcut]\nURL=http://x.test/\n" + QByteArray(2 << 20, ';'))
        << "<path>";
    QTest::newRow(".URL is a plain file")
        << "Example.URL" << QByteArray("[InternetShortcut]\nURL=http://x.test/\n") << "<path>";
    QTest::newRow(".lnk local path") << "app.lnk" << shortcutBytes("C:\\Tools\\app.exe") << "C:\\Tools\\app.exe";
    QTest::newRow(".lnk without a path") << "nopath.lnk" << shortcutBytes({}) << kUnresolvedLink;
    QTest::newRow(".lnk not a shortcut") << "broken.lnk" << QByteArray("this is no shortcut at all") << kUnresolvedLink;
    QTest::newRow(".lnk empty") << "empty.lnk" << QByteArray() << kUnresolvedLink;
    QTest::newRow(".LNK is a plain file") << "APP.LNK" << shortcutBytes("C:\\Tools\\app.exe") << "<path>";
    QTest::newRow("other file") << "notes.txt" << QByteArray("hello") << "<path>";
}

void TestLinkSources::linkFromFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = write(name, bytes);
    QCOMPARE(LinkFromFile(path), expected == QLatin1String("<path>") ? path : expected);
}

void TestLinkSources::droppedFileFields() {
    // A file: its name with extension in name and comment, its link in the URL.
    const QString url = write("Example.url", "[InternetShortcut]\nURL=https://example.org/\n");
    EditorFields f = FieldsFromDrop(url);
    QCOMPARE(f.name, QStringLiteral("Example.url"));
    QCOMPARE(f.comment, QStringLiteral("Example.url"));
    QCOMPARE(f.url, QStringLiteral("https://example.org/"));
    // A folder, also with a closing slash.
    QDir(m_dir.path()).mkdir(QStringLiteral("My Folder"));
    const QString folder = m_dir.path() + QStringLiteral("/My Folder");
    for (const QString& given : {folder, folder + u'/'}) {
        f = FieldsFromDrop(given);
        QCOMPARE(f.name, QStringLiteral("My Folder"));
        QCOMPARE(f.comment, QStringLiteral("My Folder"));
        QCOMPARE(f.url, given);
    }
    // A name with a colon is no drive letter on this system.
    f = FieldsFromDrop(write("a:b.txt", "x"));
    QCOMPARE(f.name, QStringLiteral("a:b.txt"));
    // A web link: its title, else the link itself.
    f = FieldsFromDrop(QStringLiteral("https://example.org/p"), QStringLiteral("Page"));
    QCOMPARE(f.name, QStringLiteral("Page"));
    QCOMPARE(f.comment, QStringLiteral("Page"));
    QCOMPARE(f.url, QStringLiteral("https://example.org/p"));
    f = FieldsFromDrop(QStringLiteral("https://example.org/p"));
    QCOMPARE(f.name, QStringLiteral("https://example.org/p"));
}

namespace {
QByteArray utf16(const QString& s) {
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}
} // namespace

void TestLinkSources::draggedLinks_data() {
    QTest::addColumn<QStringList>("formats");
    QTest::addColumn<QList<QByteArray>>("payloads");
    QTest::addColumn<QStringList>("expected"); // "path" or "link|title" per item

    QTest::newRow("local files in order")
        << QStringList{"text/uri-list"} << QList<QByteArray>{"file:///tmp/a%20b.url\r\nfile:///tmp/c\r\n"}
        << QStringList{"/tmp/a b.url", "/tmp/c"};
    QTest::newRow("Firefox: x-moz-url in UTF-16 carries the title")
        << QStringList{"text/uri-list", "text/x-moz-url"}
        << QList<QByteArray>{"https://example.org/page\r\n", utf16("https://example.org/page\nExample page")}
        << QStringList{"https://example.org/page|Example page"};
    QTest::newRow("X11: the title only in _NETSCAPE_URL")
        << QStringList{"text/uri-list", "_NETSCAPE_URL"}
        << QList<QByteArray>{"https://example.org/\r\n", "https://example.org/\nBeispiel \xc3\xa4"}
        << QStringList{QString::fromUtf8("https://example.org/|Beispiel \xc3\xa4")};
    QTest::newRow("no title") << QStringList{"text/uri-list"} << QList<QByteArray>{"http://example.org/x\r\n"}
                              << QStringList{"http://example.org/x|"};
    QTest::newRow("only x-moz-url") << QStringList{"text/x-moz-url"}
                                    << QList<QByteArray>{utf16("https://a.test/\nA\nhttps://b.test/\nB")}
                                    << QStringList{"https://a.test/|A", "https://b.test/|B"};
    QTest::newRow("other schemes are no web links")
        << QStringList{"text/uri-list"}
        << QList<QByteArray>{"javascript:alert(1)\r\nmailto:a@b.test\r\nabout:blank\r\n"} << QStringList{};
}

void TestLinkSources::draggedLinks() {
    QFETCH(QStringList, formats);
    QFETCH(QList<QByteArray>, payloads);
    QFETCH(QStringList, expected);
    QMimeData data;
    for (int i = 0; i < formats.size(); ++i)
        data.setData(formats[i], payloads[i]);
    QStringList got;
    for (const DroppedItem& item : DroppedItems(&data))
        got.append(item.isFile() ? item.path : item.link + u'|' + item.title);
    QCOMPARE(got, expected);
}

void TestLinkSources::chooseCategory_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("refused");
    QTest::newRow("existing") << "Work"
                              << "Work" << 1 << false;
    QTest::newRow("other letter case takes the existing spelling") << "work"
                                                                   << "Work" << 1 << false;
    QTest::newRow("new") << "Video"
                         << "Video" << -1 << false;
    QTest::newRow("empty") << ""
                           << "" << -1 << true;
    QTest::newRow("11 bytes") << "Newsletters"
                              << "Newsletters" << -1 << true;
    QTest::newRow("10 bytes of UTF-8, 6 letters")
        << QString::fromUtf8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\xa4\xc3\xb6")
        << QString::fromUtf8("\xc3\xa4\xc3\xb6\xc3\xbc\xc3\xa4\xc3\xb6") << -1 << false;
    QTest::newRow("key breaker") << "a=b"
                                 << "a=b" << -1 << true;
    QTest::newRow("trailing blank") << "News "
                                    << "News " << -1 << true;
}

void TestLinkSources::chooseCategory() {
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(int, position);
    QFETCH(bool, refused);
    const CategoryChoice c = ChooseCategory(text, {QStringLiteral("News"), QStringLiteral("Work")});
    QCOMPARE(c.problem.isEmpty(), !refused);
    if (!refused) {
        QCOMPARE(c.name, name);
        QCOMPARE(c.position, position);
    }
}

void TestLinkSources::editorPosition_data() {
    QTest::addColumn<int>("mainTop");
    QTest::addColumn<int>("mainHeight");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("expected"); // (-1,-1): centred on the screen
    QTest::newRow("below the main window") << 50 << 390 << QSize(1024, 768) << QPoint(255, 165);
    QTest::newRow("just above the limit") << 288 << 390 << QSize(1024, 768) << QPoint(255, 403);
    QTest::newRow("main window low") << 289 << 390 << QSize(1024, 768) << QPoint(-1, -1);
    QTest::newRow("taller than the screen: division truncates toward zero")
        << 49 << 869 << QSize(1024, 768) << QPoint(255, 164);
}

void TestLinkSources::editorPosition() {
    QFETCH(int, mainTop);
    QFETCH(int, mainHeight);
    QFETCH(QSize, screen);
    QFETCH(QPoint, expected);
    const auto p = EditorPosition(mainTop, mainHeight, screen, QSize(513, 236));
    QCOMPARE(p.value_or(QPoint(-1, -1)), expected);
}

QTEST_GUILESS_MAIN(TestLinkSources)
#include "tst_linksources.moc"
