#include "AppState.h"
#include "ButtonBox.h"
#include "FakeDialogs.h"
#include "FavButton.h"
#include "FavHint.h"
#include "RecordBytes.h"
#include "TFrmFav.h"
#include "TestFolder.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

class TestFavWindow : public QObject {
    Q_OBJECT
private slots:
    void pagesFollowTheCategoryOrder();
    void noSettingsFile();
    void gridGeometry_data();
    void gridGeometry();
    void removedAndLongCategoryRecords();
    void captionAndHint();
    void repeatedIdIsReportedOnceAndLoadGoesOn();
    void brokenLayoutValues();
    void extractUrl_data();
    void extractUrl();
    void linkKeptApartFromHint();
    void mouseMoveShowsLinkAndVideoItem_data();
    void mouseMoveShowsLinkAndVideoItem();
    void windowStateFromSettings();
    void buttonsOfAPageAppearWhenItShows();
    void doubleClickInBoxSetsCategory();
};

namespace {
// Delivers a hover move as the window system would to a widget with mouse tracking.
void hover(QWidget* w, QPoint pos) {
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QByteArray favs(std::initializer_list<QByteArray> records) {
    QByteArray all;
    for (const auto& r : records)
        all += r;
    return all;
}
} // namespace

void TestFavWindow::pagesFollowTheCategoryOrder() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nC=3\nA=5\nB=2\n");
    TFrmFav w;
    QTabWidget* pc = w.pageControl();
    QCOMPARE(pc->count(), 3);
    const QStringList names = {"C", "A", "B"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(pc->tabText(i), names[i]);
        QCOMPARE(pc->widget(i)->objectName(), QString("TBST%1").arg(i));
        QVERIFY(pc->widget(i)->findChild<ButtonBox*>(QString("SBOX%1").arg(i)));
    }
    QCOMPARE(appState().CategoryList, names);
    // Counters are reset at start.
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nC=1\nA=1\nB=1\n"));
    QCOMPARE(w.windowTitle(), QString("Pinlet"));
}

void TestFavWindow::noSettingsFile() {
    TestFolder t;
    TFrmFav w;
    QCOMPARE(w.pageControl()->count(), 0);
    QCOMPARE(w.size(), QSize(580, 390));
    QVERIFY(QFileInfo::exists(t.path("Fav.Dat")));
    QCOMPARE(QFileInfo(t.path("Fav.Dat")).size(), 0);
}

void TestFavWindow::gridGeometry_data() {
    QTest::addColumn<QByteArray>("btnConfig");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QRect>>("rects");
    QTest::newRow("defaults") << QByteArray() << 6
                              << QList<QRect>{{12, 6, 98, 25},  {122, 6, 98, 25}, {232, 6, 98, 25},
                                              {342, 6, 98, 25}, {452, 6, 98, 25}, {12, 42, 98, 25}};
    QTest::newRow("two per line") << QByteArray("QuantityperLine=2\n") << 3
                                  << QList<QRect>{{12, 6, 98, 25}, {122, 6, 98, 25}, {12, 42, 98, 25}};
    QTest::newRow("gaps and length") << QByteArray("QuantityperLine=2\nCaptionLength=4\nB2BHeight=10\nB2BWidth=3\n") << 3
                                     << QList<QRect>{{3, 10, 42, 25}, {48, 10, 42, 25}, {3, 50, 42, 25}};
}

void TestFavWindow::gridGeometry() {
    QFETCH(QByteArray, btnConfig);
    QFETCH(int, count);
    QFETCH(QList<QRect>, rects);
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=9\n[BtnConfig]\n" + btnConfig);
    QByteArray file;
    for (int id = 0; id < count; ++id)
        file += recordBytes(id, "Work", "Favorite", "https://example.org", "");
    t.write("Fav.Dat", file);
    TFrmFav w;
    for (int id = 0; id < count; ++id) {
        FavButton* b = w.favoriteButton(id);
        QVERIFY(b);
        QCOMPARE(b->objectName(), QString("FavBtn%1").arg(id));
        QCOMPARE(b->parentWidget(), w.buttonBox(0)->content());
        QCOMPARE(b->geometry(), rects[id]);
    }
    // The counter stands after the last slot taken, as one write per button would leave it.
    QVERIFY(t.read("Config.INI").contains(QByteArray("Work=%1").replace("%1", QByteArray::number(count + 1))));
    QCOMPARE(appState().lastButtonWidth, rects[0].width());
}

void TestFavWindow::removedAndLongCategoryRecords() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nProgramming=1\nNews=1\n");
    t.write("Fav.Dat", favs({recordBytes(-1, "News", "gone", "u", ""), recordBytes(0, "News", "zero", "u", ""),
                             recordBytes(1, "Programmin", "lost", "u", ""), recordBytes(2, "news", "case", "u", "")}));
    TFrmFav w;
    QVERIFY(!w.favoriteButton(-1));
    QVERIFY(w.favoriteButton(0));
    QCOMPARE(w.favoriteButton(0)->geometry().topLeft(), QPoint(12, 6));
    QVERIFY(!w.favoriteButton(1)); // stored category cut to 10 bytes matches no page
    QVERIFY(!w.favoriteButton(2)); // categories match exactly, letter case included
    QCOMPARE(w.favoriteButtons().size(), 1);
}

void TestFavWindow::captionAndHint() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", favs({recordBytes(5, "Work", "A favorite name of forty characters long", "https://a.example", "note"),
                             recordBytes(6, "Work", "Tom & Jerry", "/home/me", ""),
                             recordBytes(7, "Work", "Short", "u", "")}));
    TFrmFav w;
    FavButton* b = w.favoriteButton(5);
    QCOMPARE(b->text(), QString("A favorite n"));
    QCOMPARE(b->hint(), QString("Name:A favorite name of forty characters long\r\nPath:https://a.example\r\nCMT:note"));
    QVERIFY(b->toolTip().contains("forty characters long"));
    QCOMPARE(w.favoriteButton(6)->text(), QString("Tom && Jerry")); // shown as written, no mnemonic
    QCOMPARE(w.favoriteButton(7)->text(), QString("Short"));
}

void TestFavWindow::repeatedIdIsReportedOnceAndLoadGoesOn() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", favs({recordBytes(3, "Work", "first", "u1", ""), recordBytes(3, "Work", "again", "u2", ""),
                             recordBytes(3, "Work", "third", "u3", ""), recordBytes(4, "Work", "after", "u4", "")}));
    TFrmFav w;
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].text, QString("A component named FavBtn3 already exists."));
    QCOMPARE(w.favoriteButton(3)->text(), QString("first"));
    QVERIFY(w.favoriteButton(4));
    QCOMPARE(w.favoriteButton(4)->geometry().topLeft(), QPoint(122, 6));
}

void TestFavWindow::brokenLayoutValues() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n[BtnConfig]\nQuantityperLine=0\nCaptionLength=-3\n");
    t.write("Fav.Dat", favs({recordBytes(1, "Work", "a", "u", ""), recordBytes(2, "Work", "b", "u", "")}));
    TFrmFav w;
    QCOMPARE(w.favoriteButton(1)->geometry(), QRect(12, 6, 14, 25));
    QCOMPARE(w.favoriteButton(2)->geometry(), QRect(12, 42, 14, 25));
    QCOMPARE(w.favoriteButton(1)->text(), QString());
}

void TestFavWindow::extractUrl_data() {
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("url");
    QTest::newRow("built hint") << MakeFavHint("n", "https://x", "c") << "https://x\r\n";
    QTest::newRow("no Path:") << "Name:n\r\nCMT:c" << "";
    QTest::newRow("no CMT:") << "Name:n\r\nPath:https://x" << "";
    QTest::newRow("name with Path:") << MakeFavHint("Path:p", "https://x", "c") << "p\r\nPath:https://x\r\n";
    QTest::newRow("link with CMT:") << MakeFavHint("n", "https://x/CMT:y", "c") << "https://x/";
    QTest::newRow("empty") << "" << "";
}

void TestFavWindow::extractUrl() {
    QFETCH(QString, hint);
    QFETCH(QString, url);
    QCOMPARE(ExtractUrl(hint), url);
}

void TestFavWindow::linkKeptApartFromHint() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", favs({recordBytes(1, "Work", "Path: odd", "https://x.example/a", ""),
                             recordBytes(2, "Work", "n", "https://y.example/CMT:b", "")}));
    TFrmFav w;
    QCOMPARE(w.favoriteButton(1)->link(), QString("https://x.example/a"));
    QCOMPARE(w.favoriteButton(2)->link(), QString("https://y.example/CMT:b"));
}

void TestFavWindow::mouseMoveShowsLinkAndVideoItem_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("video");
    QTest::newRow("video") << QByteArray("https://www.youtube.com/watch?v=1") << true;
    QTest::newRow("letter case") << QByteArray("HTTP://WWW.YOUTUBE.COM/WATCH?V=1") << true;
    QTest::newRow("no watch") << QByteArray("https://www.youtube.com/channel/x") << false;
    QTest::newRow("no youtube.") << QByteArray("https://example.com/watch") << false;
    QTest::newRow("local path") << QByteArray("/home/me/watch") << false;
}

void TestFavWindow::mouseMoveShowsLinkAndVideoItem() {
    QFETCH(QByteArray, url);
    QFETCH(bool, video);
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", recordBytes(1, "Work", "n", url, ""));
    TFrmFav w;
    w.show();
    FavButton* b = w.favoriteButton(1);
    QAction* youtube = w.findChild<QAction*>("Youtube1");
    QAction* n1 = w.findChild<QAction*>("N1");
    hover(b, QPoint(5, 5));
    QCOMPARE(w.statusBar()->currentMessage(), QString::fromUtf8(url));
    QCOMPARE(youtube->isVisible(), video);
    QVERIFY(n1->isVisible());
    // Onto the empty part of the box: the panel clears and the item hides.
    hover(w.buttonBox(0)->content(), QPoint(300, 200));
    QCOMPARE(w.statusBar()->currentMessage(), QString());
    QVERIFY(!youtube->isVisible());
}

void TestFavWindow::windowStateFromSettings() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\nC=1\n[Size]\nWidth=700\nHeight=450\nCateID=2\n");
    TFrmFav w;
    QCOMPARE(w.size(), QSize(700, 450));
    QCOMPARE(w.pageControl()->currentIndex(), 2);
    QCOMPARE(appState().CurrentCategoryIndex, 2);
}

void TestFavWindow::buttonsOfAPageAppearWhenItShows() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\n");
    t.write("Fav.Dat", favs({recordBytes(1, "A", "a", "u", ""), recordBytes(2, "B", "b", "u", "")}));
    TFrmFav w;
    w.show();
    QVERIFY(w.findChild<FavButton*>("FavBtn1"));
    QVERIFY(w.findChild<FavButton*>("FavBtn1")->isVisible());
    w.pageControl()->setCurrentIndex(1);
    FavButton* b = w.findChild<FavButton*>("FavBtn2");
    QVERIFY(b);
    QVERIFY(b->isVisible());
    QCOMPARE(b->parentWidget(), w.buttonBox(1)->content());
    QCOMPARE(b->geometry(), QRect(12, 6, 98, 25));
}

void TestFavWindow::doubleClickInBoxSetsCategory() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\nC=1\n");
    TFrmFav w;
    w.show();
    w.pageControl()->setCurrentIndex(1);
    appState().DroppedFile = "left over";
    QTest::mouseDClick(w.buttonBox(1)->content(), Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(appState().CurrentCategoryIndex, 1);
    QVERIFY(appState().DroppedFile.isEmpty());
}

QTEST_MAIN(TestFavWindow)
#include "tst_favwindow.moc"
