#include "AppState.h"
#include "ButtonBox.h"
#include "FakeDialogs.h"
#include "FakeShell.h"
#include "FavButton.h"
#include "FavWindowHooks.h"
#include "OpenUrl.h"
#include "RecordBytes.h"
#include "TFrmFav.h"
#include "TestFolder.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

// The main window at work: opening favorites, categories, window state and exit.
class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openUrlOrder_data();
    void openUrlOrder();
    void clickOpensOnceInEitherMode_data();
    void clickOpensOnceInEitherMode();
    void copyUrlCopiesTheLink();

    void newCategory();
    void newCategoryRefusals_data();
    void newCategoryRefusals();
    void newCategoryFromEditor();
    void renameKeepsPlaceAndRewritesRecords();
    void renameBothEntryPointsAgree();
    void renameRefusals_data();
    void renameRefusals();
    void deleteRenumbers();
    void deleteCancelAndMismatch();
    void rightPressSelectsTab();

    void closeSavesThreeKeysAndHides();
    void exitSavesFiveKeys();
    void sessionEndSavesNothing();
    void topMostToggles();
    void trayMenu();
};

namespace {

// The switch as a registry value would hold it, with every step recorded in order.
class FakeReuse : public WindowReuse {
public:
    enum class Stored { Missing, Zero, One, Text };
    Stored stored = Stored::One;
    QStringList* log;
    explicit FakeReuse(QStringList* l) : log(l) {}
    bool valueExists() override {
        *log << "exists?";
        return stored != Stored::Missing;
    }
    int read() override {
        *log << "read";
        if (stored == Stored::Text)
            throw std::runtime_error("not an integer");
        return stored == Stored::One ? 1 : 0;
    }
    void write(int v) override {
        *log << QString("write %1").arg(v);
        stored = v ? Stored::One : Stored::Zero;
    }
};

class LoggingShell : public FakeShell {
public:
    QStringList* log;
    explicit LoggingShell(QStringList* l) : log(l) {}
    void openInNewWindow(const QString& link) override {
        *log << "open";
        FakeShell::openInNewWindow(link);
    }
};

QByteArray records(std::initializer_list<QByteArray> list) {
    QByteArray all;
    for (const auto& r : list)
        all += r;
    return all;
}

QStringList pageNames(TFrmFav& w) {
    QStringList out;
    for (int i = 0; i < w.pageControl()->count(); ++i)
        out << w.pageControl()->widget(i)->objectName() + "/" + w.buttonBox(i)->objectName() + "=" + w.pageCaption(i);
    return out;
}

int g_exitCode = -1;
} // namespace

void TestMainWindow::init() {
    g_exitCode = -1;
    TFrmFav::setProcessExit([](int code) { g_exitCode = code; });
    favWindowHooks() = FavWindowHooks{};
}

void TestMainWindow::cleanup() { favWindowHooks() = FavWindowHooks{}; }

void TestMainWindow::openUrlOrder_data() {
    QTest::addColumn<bool>("newWindow");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("storedAfter");
    using S = FakeReuse::Stored;
    QTest::newRow("reuse, was 0") << false << int(S::Zero) << QStringList{"write 1"} << int(S::One);
    QTest::newRow("new window, was 1")
        << true << int(S::One) << QStringList{"exists?", "read", "write 0", "open", "write 1"} << int(S::One);
    QTest::newRow("new window, missing")
        << true << int(S::Missing) << QStringList{"exists?", "write 1", "read", "write 0", "open", "write 1"}
        << int(S::One);
    QTest::newRow("new window, was 0") << true << int(S::Zero) << QStringList{"exists?", "read", "open"} << int(S::Zero);
    QTest::newRow("new window, stored as text")
        << true << int(S::Text) << QStringList{"exists?", "read", "open"} << int(S::Text);
}

void TestMainWindow::openUrlOrder() {
    QFETCH(bool, newWindow);
    QFETCH(int, stored);
    QFETCH(QStringList, steps);
    QFETCH(int, storedAfter);
    QStringList log;
    FakeReuse reuse(&log);
    reuse.stored = FakeReuse::Stored(stored);
    LoggingShell shell(&log);
    OpenUrl("https://example.org", newWindow, reuse, shell);
    QCOMPARE(log, steps);
    QCOMPARE(int(reuse.stored), storedAfter);
    QCOMPARE(shell.calls.size(), newWindow ? 1 : 0);
}

void TestMainWindow::clickOpensOnceInEitherMode_data() {
    QTest::addColumn<QByteArray>("newWindow");
    QTest::addColumn<QString>("call");
    QTest::newRow("reuse") << QByteArray("0") << "open https://example.org/a?b=1&c=2";
    QTest::newRow("NewWindow=2 counts as off") << QByteArray("2") << "open https://example.org/a?b=1&c=2";
    QTest::newRow("new window") << QByteArray("1") << "new https://example.org/a?b=1&c=2";
}

void TestMainWindow::clickOpensOnceInEitherMode() {
    QFETCH(QByteArray, newWindow);
    QFETCH(QString, call);
    TestFolder t;
    FakeShell shell;
    t.write("Config.INI", "[Categories]\nWork=1\n[BtnConfig]\nNewWindow=" + newWindow + "\n");
    t.write("Fav.Dat", recordBytes(1, "Work", "Path: trick", "https://example.org/a?b=1&c=2", "CMT:x"));
    TFrmFav w;
    QTest::mouseClick(w.favoriteButton(1), Qt::LeftButton);
    QCOMPARE(shell.calls, QStringList{call});
}

void TestMainWindow::copyUrlCopiesTheLink() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", recordBytes(1, "Work", "Home", "/home/me/notes.txt", ""));
    TFrmFav w;
    w.setPopupComponent(w.favoriteButton(1));
    w.findChild<QAction*>("MenuOpenUrl")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("/home/me/notes.txt"));
}

void TestMainWindow::newCategory() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nWork=4\n[Size]\nWidth=600\n");
    QStringList added;
    favWindowHooks().dropZoneItemAdded = [&](int i, const QString& n) { added << QString("%1 %2").arg(i).arg(n); };
    TFrmFav w;
    dialogs.inputAnswers = {"News"};
    w.findChild<QToolButton*>("SBtnNewCate")->click();
    QCOMPARE(dialogs.inputCaptions, QStringList{"New Category"});
    QCOMPARE(pageNames(w), QStringList({"TBST0/SBOX0=Work", "TBST1/SBOX1=News"}));
    QCOMPARE(w.pageControl()->currentIndex(), 0); // the new page is not made active
    QCOMPARE(appState().CategoryList, QStringList({"Work", "News"}));
    QCOMPARE(added, QStringList{"1 News"});
    QVERIFY(appState().CategoryCreated);
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nWork=1\nNews=1\n[Size]\nWidth=600\n"));
}

void TestMainWindow::newCategoryRefusals_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("message");
    QTest::newRow("cancel") << QString() << QString();
    QTest::newRow("exists in another case") << "work" << "Category Existed";
    QTest::newRow("11 bytes") << "Programming" << "too long";
    QTest::newRow("10 bytes of accents") << QString("Caf\u00e9s \u00e0 go") << "too long";
    QTest::newRow("equals sign") << "a=b" << "cannot be used";
    QTest::newRow("bracket") << "[x" << "cannot be used";
    QTest::newRow("closing bracket") << "x]" << "cannot be used";
    QTest::newRow("line break") << "a\nb" << "cannot be used";
    QTest::newRow("semicolon first") << ";x" << "cannot be used";
    QTest::newRow("blank at the end") << "x " << "cannot be used";
    QTest::newRow("blank at the start") << " x" << "cannot be used";
}

void TestMainWindow::newCategoryRefusals() {
    QFETCH(QString, answer);
    QFETCH(QString, message);
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nWork=4\n");
    TFrmFav w;
    const QByteArray before = t.read("Config.INI");
    dialogs.inputAnswers = {answer};
    appState().CategoryCreated = true;
    w.SBtnNewCateClick();
    QVERIFY(!appState().CategoryCreated);
    QCOMPARE(w.pageControl()->count(), 1);
    QCOMPARE(t.read("Config.INI"), before);
    if (message.isEmpty()) {
        QVERIFY(dialogs.boxes.isEmpty());
    } else {
        QCOMPARE(dialogs.boxes.size(), 1);
        QVERIFY2(dialogs.boxes[0].text.contains(message), qPrintable(dialogs.boxes[0].text));
        QCOMPARE(dialogs.boxes[0].caption, QString("Error"));
        QCOMPARE(dialogs.boxes[0].icon, Dialogs::Icon::Warning);
        QVERIFY(!dialogs.boxes[0].owned);
    }
}

void TestMainWindow::newCategoryFromEditor() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    TFrmFav w;
    appState().PresetCategoryName = "WORK";
    w.SBtnNewCateClick();
    QVERIFY(!appState().CategoryCreated);
    QVERIFY(dialogs.boxes.isEmpty());
    QVERIFY(dialogs.inputCaptions.isEmpty());
    appState().PresetCategoryName = "Music";
    w.SBtnNewCateClick();
    QVERIFY(appState().CategoryCreated);
    QCOMPARE(pageNames(w).last(), QString("TBST1/SBOX1=Music"));
    QVERIFY(dialogs.inputCaptions.isEmpty());
}

void TestMainWindow::renameKeepsPlaceAndRewritesRecords() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nC=3\nNews=5\nB=2\n");
    const QByteArray other = recordBytes(2, "news", "b", "u", "", 'q');
    t.write("Fav.Dat", records({recordBytes(1, "News", "a", "u", "", 'q'), other, recordBytes(-1, "News", "gone", "u", "")}));
    TFrmFav w;
    w.pageControl()->setCurrentIndex(1);
    dialogs.inputAnswers = {"Headlines"};
    w.RenameCategory();
    QCOMPARE(dialogs.inputCaptions, QStringList{"Edit"});
    QCOMPARE(dialogs.inputDefaults, QStringList{"News"});
    // Start-up counted News up to 2 (one live favorite); the key keeps that value and its place.
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nC=1\nHeadlines=2\nB=1\n"));
    QCOMPARE(appState().CategoryList, QStringList({"C", "Headlines", "B"}));
    QCOMPARE(pageNames(w)[1], QString("TBST1/SBOX1=Headlines"));
    const QByteArray bytes = t.read("Fav.Dat");
    QCOMPARE(bytes.mid(0, 628), recordBytes(1, "Headlines", "a", "u", "", 'q'));
    QCOMPARE(bytes.mid(628, 628), other);
    QCOMPARE(bytes.mid(2 * 628, 15), recordBytes(-1, "Headlines", "gone", "u", "").left(15));
}

void TestMainWindow::renameBothEntryPointsAgree() {
    for (int entry = 0; entry < 2; ++entry) {
        TestFolder t;
        FakeDialogs dialogs;
        t.write("Config.INI", "[Categories]\nA=1\nB=1\n");
        QStringList renamed;
        favWindowHooks().dropZoneItemRenamed = [&](int i, const QString& n) { renamed << QString("%1 %2").arg(i).arg(n); };
        TFrmFav w;
        w.show();
        QTabBar* bar = w.pageControl()->tabBar();
        dialogs.inputAnswers = {"Z"};
        if (entry == 0) {
            w.pageControl()->setCurrentIndex(1);
            w.findChild<QAction*>("Edit1")->trigger();
        } else {
            const QPoint p = bar->tabRect(1).center();
            QTest::mouseClick(bar, Qt::LeftButton, {}, p);
            QTest::mouseDClick(bar, Qt::LeftButton, {}, p);
        }
        QCOMPARE(appState().CategoryList, QStringList({"A", "Z"}));
        QCOMPARE(w.pageControl()->tabText(1), QString("Z"));
        QCOMPARE(renamed, QStringList{"1 Z"});
        QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nA=1\nZ=1\n"));
        favWindowHooks() = FavWindowHooks{};
    }
}

void TestMainWindow::renameRefusals_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("message");
    QTest::newRow("cancel or same") << "work" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letter case only") << "Work" << true;
    QTest::newRow("another category") << "MUSIC" << true;
    QTest::newRow("too long") << "Programming" << true;
    QTest::newRow("equals sign") << "x=y" << true;
}

void TestMainWindow::renameRefusals() {
    QFETCH(QString, answer);
    QFETCH(bool, message);
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nwork=1\nMusic=1\n");
    t.write("Fav.Dat", recordBytes(1, "work", "a", "u", ""));
    TFrmFav w;
    const QByteArray ini = t.read("Config.INI");
    const QByteArray dat = t.read("Fav.Dat");
    dialogs.inputAnswers = {answer};
    w.RenameCategory();
    QCOMPARE(dialogs.boxes.size(), message ? 1 : 0);
    QCOMPARE(t.read("Config.INI"), ini);
    QCOMPARE(t.read("Fav.Dat"), dat);
    QCOMPARE(appState().CategoryList, QStringList({"work", "Music"}));
    QCOMPARE(w.pageControl()->tabText(0), QString("work"));
}

void TestMainWindow::deleteRenumbers() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\nC=1\nD=1\n");
    const QByteArray dat = records({recordBytes(1, "B", "b", "u", ""), recordBytes(2, "D", "d", "u", "")});
    t.write("Fav.Dat", dat);
    QStringList removed;
    favWindowHooks().dropZoneItemRemoved = [&](int i) { removed << QString::number(i); };
    TFrmFav w;
    w.pageControl()->setCurrentIndex(1);
    w.SBtnRemoveCateClick();
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].text, QString("Delete Category [B] ?"));
    QCOMPARE(dialogs.boxes[0].caption, QString("Delete Confirmation"));
    QCOMPARE(dialogs.boxes[0].buttons, Dialogs::Buttons::OkCancel);
    QCOMPARE(pageNames(w), QStringList({"TBST0/SBOX0=A", "TBST1/SBOX1=C", "TBST2/SBOX2=D"}));
    QCOMPARE(w.pageControl()->currentIndex(), 1); // the page that followed
    QVERIFY(!w.favoriteButton(1));
    QVERIFY(w.favoriteButton(2));
    QCOMPARE(removed, QStringList{"1"});
    QCOMPARE(t.read("Fav.Dat"), dat);
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nA=1\nC=1\nD=2\n"));
    dialogs.inputAnswers = {"E"};
    w.SBtnNewCateClick();
    QCOMPARE(pageNames(w).last(), QString("TBST3/SBOX3=E"));
    // Deleting the last page makes the first one active; the only page leaves none.
    w.pageControl()->setCurrentIndex(3);
    w.SBtnRemoveCateClick();
    QCOMPARE(w.pageControl()->currentIndex(), 0);
    while (w.pageControl()->count() > 0)
        w.SBtnRemoveCateClick();
    QCOMPARE(appState().CategoryList, QStringList());
    w.SBtnRemoveCateClick(); // nothing left: nothing happens
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\n"));
}

void TestMainWindow::deleteCancelAndMismatch() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\n");
    TFrmFav w;
    const QByteArray before = t.read("Config.INI");
    dialogs.boxAnswers = {Dialogs::Cancel};
    w.SBtnRemoveCateClick();
    QCOMPARE(w.pageControl()->count(), 2);
    QCOMPARE(t.read("Config.INI"), before);
    appState().CategoryList[0] = "Other";
    w.SBtnRemoveCateClick();
    QCOMPARE(dialogs.boxes.last().text, QString::fromUtf8("Error\xEF\xBC\x81" "Can not continue"));
    QCOMPARE(dialogs.boxes.last().icon, Dialogs::Icon::Error);
    QCOMPARE(w.pageControl()->count(), 2);
}

void TestMainWindow::rightPressSelectsTab() {
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\nC=1\n");
    TFrmFav w;
    w.show();
    QTabBar* bar = w.pageControl()->tabBar();
    QTest::mousePress(bar, Qt::RightButton, {}, bar->tabRect(2).center());
    QCOMPARE(w.pageControl()->currentIndex(), 2);
    QTest::mouseRelease(bar, Qt::RightButton, {}, bar->tabRect(2).center());
    QTest::mousePress(bar, Qt::RightButton, {}, QPoint(bar->width() - 2, 2));
    QCOMPARE(w.pageControl()->currentIndex(), 2);
}

void TestMainWindow::closeSavesThreeKeysAndHides() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\nC=1\n[Size]\nTop=100\nRight=300\n");
    TFrmFav w;
    w.show();
    w.resize(640, 420);
    w.pageControl()->setCurrentIndex(2);
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(t.read("Config.INI"),
             QByteArray("[Categories]\nA=1\nB=1\nC=1\n[Size]\nTop=100\nRight=300\nHeight=420\nWidth=640\nCateID=2\n"));
    QCOMPARE(g_exitCode, -1);
}

void TestMainWindow::exitSavesFiveKeys() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\n");
    QRect dropZone(1000, 300, 48, 48);
    favWindowHooks().dropZoneGeometry = [&] { return dropZone; };
    TFrmFav w;
    w.resize(600, 400);
    w.pageControl()->setCurrentIndex(1);
    w.findChild<QAction*>("N3")->trigger();
    QCOMPARE(g_exitCode, 0);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nA=1\nB=1\n\n[Size]\nHeight=400\nWidth=600\nTop=300\nRight=") +
                                       QByteArray::number(screenWidth - 1000) + "\nCateID=1\n");
}

void TestMainWindow::sessionEndSavesNothing() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\n[Size]\nWidth=700\n");
    TFrmFav w;
    w.show();
    const QByteArray before = t.read("Config.INI");
    QTimer::singleShot(0, &w, [&w] { w.EndSession(); });
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(t.read("Config.INI"), before);
    QCOMPARE(g_exitCode, -1);
}

void TestMainWindow::topMostToggles() {
    TestFolder t;
    TFrmFav w;
    w.show();
    auto* b = w.findChild<QToolButton*>("BitBtn1");
    QCOMPARE(b->text(), QString("TopMost"));
    b->click();
    QCOMPARE(b->text(), QString("Normal"));
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(w.isVisible());
    b->click();
    QCOMPARE(b->text(), QString("TopMost"));
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
}

void TestMainWindow::trayMenu() {
    TestFolder t;
    TFrmFav w;
    QSystemTrayIcon* tray = w.trayIcon();
    QVERIFY(tray);
    QCOMPARE(tray->objectName(), QString("CoolTrayIcon1"));
    QStringList items;
    for (QAction* a : tray->contextMenu()->actions())
        items << a->objectName() + "=" + a->text();
    QCOMPARE(items, QStringList({"N5=&Show MainForm", "ShowDropZone1=Show &DropZone", "N3=&Exit"}));
    QVERIFY(!w.isVisible());
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(w.isVisible());
    bool dropZoneShown = false;
    favWindowHooks().showDropZone = [&] { dropZoneShown = true; };
    w.findChild<QAction*>("ShowDropZone1")->trigger();
    QVERIFY(dropZoneShown);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
