#include "AppState.h"
#include "FavButton.h"
#include "FavHint.h"
#include "FavWindowHooks.h"
#include "LoopbackHttp.h"
#include "ProductSite.h"
#include "RecordBytes.h"
#include "TFrmFav.h"
#include "TYoutb.h"
#include "TestFolder.h"
#include "VideoPageHooks.h"

#include <QAction>
#include <QtTest>

// The video download page: which links offer it, its address, and the window with its web view.
class TestVideoPage : public QObject {
    Q_OBJECT
private slots:
    void editorVideoButton_data();
    void editorVideoButton();
    void pageAddress_data();
    void pageAddress();
    void pageLoadsOnShowOnly();
};

void TestVideoPage::editorVideoButton_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("urlWidth");
    QTest::newRow("video page") << "https://www.youtube.com/watch?v=abc" << true << true << 289;
    QTest::newRow("letter case mixed") << "HTTP://WWW.YouTube.COM/Watch?V=abc" << true << true << 289;
    QTest::newRow("channel, no watch") << "https://www.youtube.com/channel/x" << false << true << 409;
    QTest::newRow("watch elsewhere") << "https://example.com/watch" << false << false << 409;
    QTest::newRow("no slash") << "youtube.watch" << true << false << 289;
    QTest::newRow("empty") << "" << false << false << 409;
}

void TestVideoPage::editorVideoButton() {
    QFETCH(QString, url);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);
    QFETCH(int, urlWidth);
    QCOMPARE(IsVideoLink(url), shown);
    QCOMPARE(CanDownloadVideo(url), enabled);
    QCOMPARE(EditorUrlFieldWidth(IsVideoLink(url)), urlWidth);
}

void TestVideoPage::pageAddress_data() {
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("address");
    QTest::newRow("ampersand") << "http://127.0.0.1:8080/" << "https://www.youtube.com/watch?v=abc&t=30s"
                               << "http://127.0.0.1:8080/ytdownloader/?u="
                                  "https%3A%2F%2Fwww.youtube.com%2Fwatch%3Fv%3Dabc%26t%3D30s";
    QTest::newRow("hash, blank, umlaut") << "http://site.example" << "http://youtube.com/watch?v=a #b\u00e4"
                                         << "http://site.example/ytdownloader/?u="
                                            "http%3A%2F%2Fyoutube.com%2Fwatch%3Fv%3Da%20%23b%C3%A4";
    QTest::newRow("host without scheme") << "www.pinlet.example" << "x"
                                         << "http://www.pinlet.example/ytdownloader/?u=x";
}

void TestVideoPage::pageAddress() {
    QFETCH(QString, site);
    QFETCH(QString, video);
    QFETCH(QString, address);
    qputenv("PINLET_SITE", site.toUtf8());
    QCOMPARE(videoPageAddress(video), address);
    qunsetenv("PINLET_SITE");
}

void TestVideoPage::pageLoadsOnShowOnly() {
    TestFolder t;
    LoopbackHttp site;
    site.contentType = "text/html";
    site.body = "<html><head><title>Downloader</title></head><body>Download</body></html>";
    qputenv("PINLET_SITE", site.url().toUtf8());
    const QByteArray first = "https://www.youtube.com/watch?v=one&t=1";
    const QByteArray second = "https://www.youtube.com/watch?v=two";
    t.write("Config.INI", "[Categories]\nVideos=1\n");
    t.write("Fav.Dat", recordBytes(1, "Videos", "one", first, "") + recordBytes(2, "Videos", "two", second, ""));
    favWindowHooks() = FavWindowHooks{};
    installVideoPageHooks();
    TFrmFav main;
    main.show();
    for (const auto& create : favWindowHooks().afterMainWindow)
        create(&main);
    TYoutb* page = videoPage();
    QVERIFY(page);
    QVERIFY(!page->isVisible());
    QVERIFY(!page->webBrowser()); // no browser engine until the page is used
    QCOMPARE(page->windowTitle(), QString("Youtube Downloader"));

    auto download = [&](qint32 id) {
        main.setPopupComponent(main.favoriteButton(id));
        main.findChild<QAction*>("Youtube1")->trigger();
    };
    auto request = [](const QByteArray& link) { return "/ytdownloader/?u=" + link.toPercentEncoding(); };
    download(1);
    QVERIFY(page->isVisible());
    QVERIFY(page->webBrowser());
    QCOMPARE(page->webBrowser()->geometry(), QRect(3, 3, 374, 414));
    QCOMPARE(appState().VideoUrl, QString::fromUtf8(first));
    QTRY_COMPARE_WITH_TIMEOUT(page->webBrowser()->property("title").toString(), QString("Downloader"), 60000);
    QVERIFY(site.targets().contains(request(first))); // the "&" arrived inside the link

    // Visible already: only brought to the front, still on the first page.
    download(2);
    QTest::qWait(300);
    QCOMPARE(page->webBrowser()->property("url").toUrl().toEncoded(), site.url().toUtf8() + request(first));
    QVERIFY(!site.targets().contains(request(second)));

    // Closed, the next show loads the page anew.
    page->close();
    QVERIFY(!page->isVisible());
    download(2);
    QTRY_VERIFY_WITH_TIMEOUT(site.targets().contains(request(second)), 60000);
    delete page;
    favWindowHooks() = FavWindowHooks{};
}

int main(int argc, char* argv[]) {
    // As in the program: nothing of the browser engine is set up before the page is used.
    QApplication app(argc, argv);
    TestVideoPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videopage.moc"
