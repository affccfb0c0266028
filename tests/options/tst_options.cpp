#include "AppState.h"
#include "Autostart.h"
#include "FakeDialogs.h"
#include "FavButton.h"
#include "FavWindowHooks.h"
#include "RecordBytes.h"
#include "SetupValues.h"
#include "TFrmFav.h"
#include "TFrmSetup.h"
#include "TestFolder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

// The options dialog on a temporary program folder, with the main window it lays out.
class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void defaultsWithoutSettings();
    void okWithoutChanges();
    void layoutChange_data();
    void layoutChange();
    void rebuildClosesGapsAndActivatesCurrentPage();
    void refusedValuesWriteNothing_data();
    void refusedValuesWriteNothing();
    void cancelWritesNothing();
    void autostartDetection_data();
    void autostartDetection();
    void autostartWrittenAndDeleted();
    void autostartPathWithBlanks();
    void newWindowAndHotKey();

private:
    QScopedPointer<QTemporaryDir> m_configHome;
};

namespace {
QByteArray favorites(int count, const QByteArray& category = "Work") {
    QByteArray all;
    for (int id = 1; id <= count; ++id)
        all += recordBytes(id, category, "Favorite", "https://example.org/" + QByteArray::number(id), "");
    return all;
}

template <class T>
T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no %s", name);
    return c;
}

QLineEdit* box(TFrmSetup& d, const QString& name) {
    return child<QLineEdit>(d, name.toLatin1().constData());
}
} // namespace

void TestOptions::init() {
    m_configHome.reset(new QTemporaryDir);
    qputenv("XDG_CONFIG_HOME", m_configHome->path().toUtf8());
    favWindowHooks() = FavWindowHooks{};
}

void TestOptions::cleanup() {
    favWindowHooks() = FavWindowHooks{};
    qunsetenv("XDG_CONFIG_HOME");
}

void TestOptions::defaultsWithoutSettings() {
    TestFolder t;
    TFrmFav main;
    TFrmSetup d(&main);
    d.show();
    QCOMPARE(d.windowTitle(), QString("Options"));
    QCOMPARE(d.parentWidget(), nullptr);
    const QStringList names = {"EdtPerLine", "EdtWidth", "EdtHtoH", "EdtWtoW"};
    const QStringList values = {"5", "12", "6", "12"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(box(d, names[i])->text(), values[i]);
    QVERIFY(!child<QCheckBox>(d, "CheckBox1")->isChecked());
    QVERIFY(!child<QCheckBox>(d, "CheckBox2")->isChecked());
    QVERIFY(child<QCheckBox>(d, "CheckBox3")->isChecked());
    // Tab order: the four boxes, OK, Cancel, then the check boxes.
    const QStringList order = {"EdtPerLine", "EdtWidth", "EdtHtoH",  "EdtWtoW",  "Button1",
                               "Button2",    "CheckBox1", "CheckBox2", "CheckBox3"};
    QWidget* w = box(d, "EdtPerLine");
    for (int i = 1; i < order.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        QCOMPARE(w->objectName(), order[i]);
    }
    QVERIFY(!child<QPushButton>(d, "Button1")->isDefault());
    QVERIFY(!child<QPushButton>(d, "Button1")->autoDefault());
    QVERIFY(!QFileInfo::exists(t.path("Config.INI")) || !t.read("Config.INI").contains("BtnConfig"));
}

void TestOptions::okWithoutChanges() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\nHome=1\n[Size]\nCateID=1\n");
    t.write("Fav.Dat", favorites(2));
    TFrmFav main;
    main.show();
    QPointer<FavButton> before = main.favoriteButton(1);
    const int width = main.width();
    TFrmSetup d(&main);
    d.show();
    QTest::mouseClick(child<QPushButton>(d, "Button1"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(before); // not rebuilt
    QCOMPARE(main.width(), width);
    QCOMPARE(t.read("Config.INI"), QByteArray("[Categories]\nWork=3\nHome=1\n[Size]\nCateID=1\nHotKey=1\n"
                                              "\n[BtnConfig]\nQuantityperLine=5\nCaptionLength=12\nB2BHeight=6\n"
                                              "B2BWidth=12\nNewWindow=0\n"));
    QVERIFY(!QFileInfo::exists(autostart::entryPath()));
}

void TestOptions::layoutChange_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("boxes"); // QtyPerLine, CaptionLength, X distance
    QTest::addColumn<int>("widthChange");
    QTest::addColumn<QRect>("first");
    QTest::addColumn<QRect>("sixth");
    QTest::newRow("X distance 6 to 10") << 6 << QStringList{"5", "12", "10"} << 0 << QRect(12, 10, 98, 25)
                                        << QRect(12, 50, 98, 25);
    QTest::newRow("QtyPerLine 5 to 6") << 6 << QStringList{"6", "12", "6"} << 110 << QRect(12, 6, 98, 25)
                                       << QRect(562, 6, 98, 25);
    QTest::newRow("QtyPerLine 5 to 6, no button") << 0 << QStringList{"6", "12", "6"} << 0 << QRect() << QRect();
    QTest::newRow("CaptionLength 12 to 10") << 6 << QStringList{"5", "10", "6"} << -70 << QRect(12, 6, 84, 25)
                                            << QRect(12, 42, 84, 25);
    // The pitch is that of the buttons just laid out: 84 + 12, not 98 + 12.
    QTest::newRow("both, pitch after rebuild") << 6 << QStringList{"6", "10", "6"} << 96 - 70
                                               << QRect(12, 6, 84, 25) << QRect(492, 6, 84, 25);
}

void TestOptions::layoutChange() {
    QFETCH(int, count);
    QFETCH(QStringList, boxes);
    QFETCH(int, widthChange);
    QFETCH(QRect, first);
    QFETCH(QRect, sixth);
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", favorites(count));
    TFrmFav main;
    main.show();
    QPointer<FavButton> old = count ? main.favoriteButton(1) : nullptr;
    const int width = main.width();
    TFrmSetup d(&main);
    box(d, "EdtPerLine")->setText(boxes[0]);
    box(d, "EdtWidth")->setText(boxes[1]);
    box(d, "EdtHtoH")->setText(boxes[2]);
    d.Button1Click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(main.width(), width + widthChange);
    if (count == 0)
        return;
    QVERIFY(!old); // every button was made anew
    QCOMPARE(main.favoriteButton(1)->geometry(), first);
    QCOMPARE(main.favoriteButton(6)->geometry(), sixth);
    QVERIFY(main.pageControl()->isVisible());
}

void TestOptions::rebuildClosesGapsAndActivatesCurrentPage() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nA=1\nB=1\n");
    t.write("Fav.Dat", favorites(3, "A") + recordBytes(4, "B", "b", "https://b.example", ""));
    TFrmFav main;
    main.show();
    QCOMPARE(main.favoriteButton(3)->geometry().topLeft(), QPoint(232, 6));
    // Favorite 2 is removed as the main window removes one: its record is marked, its button goes.
    QByteArray data = t.read("Fav.Dat");
    data.replace(FavoriteRecord::Size, 4, QByteArray("\xFE\xFF\xFF\xFF", 4));
    t.write("Fav.Dat", data);
    delete main.favoriteButton(2);
    appState().CurrentCategoryIndex = 1;
    main.pageControl()->setCurrentIndex(0);

    TFrmSetup d(&main);
    box(d, "EdtPerLine")->setText("4");
    d.Button1Click();
    QCOMPARE(main.pageControl()->currentIndex(), 1);
    QVERIFY(!main.favoriteButton(2));
    QCOMPARE(main.favoriteButton(3)->geometry().topLeft(), QPoint(122, 6));
    QCOMPARE(main.favoriteButton(4)->geometry().topLeft(), QPoint(12, 6));
    QVERIFY(t.read("Config.INI").startsWith("[Categories]\nA=3\nB=2\n"));
}

void TestOptions::refusedValuesWriteNothing_data() {
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    QTest::newRow("not an integer") << "EdtHtoH" << "1O" << "'1O' is not a valid integer value." << "Pinlet";
    QTest::newRow("empty box") << "EdtWtoW" << "" << "'' is not a valid integer value." << "Pinlet";
    QTest::newRow("QtyPerLine 0") << "EdtPerLine" << "0" << "QtyPerLine must be at least 1." << "Options";
    QTest::newRow("CaptionLength 0") << "EdtWidth" << "0" << "CaptionLength must be from 1 to 255." << "Options";
    QTest::newRow("CaptionLength 256") << "EdtWidth" << "256" << "CaptionLength must be from 1 to 255."
                                       << "Options";
    QTest::newRow("X distance -1") << "EdtHtoH" << "-1" << "X distance must not be negative." << "Options";
    QTest::newRow("Y distance -1") << "EdtWtoW" << "-1" << "Y distance must not be negative." << "Options";
}

void TestOptions::refusedValuesWriteNothing() {
    QFETCH(QString, boxName);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    TestFolder t;
    FakeDialogs dialogs;
    t.write("Config.INI", "[Categories]\nWork=1\n");
    t.write("Fav.Dat", favorites(2));
    TFrmFav main;
    main.show();
    const QByteArray settings = t.read("Config.INI");
    const int width = main.width();
    QPointer<FavButton> old = main.favoriteButton(1);
    TFrmSetup d(&main);
    d.show();
    // A change before the refused box must not be written or laid out either.
    box(d, "EdtPerLine")->setText("7");
    box(d, boxName)->setText(text);
    child<QCheckBox>(d, "CheckBox2")->setChecked(true);
    QTest::mouseClick(child<QPushButton>(d, "Button1"), Qt::LeftButton);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes[0].text, message);
    QCOMPARE(dialogs.boxes[0].caption, caption);
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), 0);
    QCOMPARE(t.read("Config.INI"), settings);
    QCOMPARE(main.width(), width);
    QVERIFY(old);
    QVERIFY(!QFileInfo::exists(autostart::entryPath()));
}

void TestOptions::cancelWritesNothing() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nWork=1\n[BtnConfig]\nNewWindow=1\n");
    t.write("Fav.Dat", favorites(1));
    TFrmFav main;
    const QByteArray settings = t.read("Config.INI");
    TFrmSetup d(&main);
    d.show();
    QVERIFY(child<QCheckBox>(d, "CheckBox1")->isChecked());
    box(d, "EdtPerLine")->setText("3");
    child<QCheckBox>(d, "CheckBox1")->setChecked(false);
    child<QCheckBox>(d, "CheckBox2")->setChecked(true);
    child<QCheckBox>(d, "CheckBox3")->setChecked(false);
    QTest::mouseClick(child<QPushButton>(d, "Button2"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(t.read("Config.INI"), settings);
    QVERIFY(!QFileInfo::exists(autostart::entryPath()));
    QVERIFY(appState().NewWindowMode);
}

void TestOptions::autostartDetection_data() {
    const QString exe = TFrmSetup::executablePath();
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("checked");
    QTest::newRow("none") << QString() << false;
    QTest::newRow("exact") << "[Desktop Entry]\nType=Application\nExec=" + exe + " /min\n" << true;
    QTest::newRow("other letter case") << "[Desktop Entry]\nExec=" + exe.toUpper() + " /min\n" << true;
    QTest::newRow("hidden") << "[Desktop Entry]\nExec=" + exe + " /min\nHidden=true\n" << false;
    QTest::newRow("other program") << "[Desktop Entry]\nExec=/usr/bin/other /min\n" << false;
    QTest::newRow("Exec of another group") << "[Desktop Action x]\nExec=" + exe + "\n" << false;
}

void TestOptions::autostartDetection() {
    QFETCH(QString, entry);
    QFETCH(bool, checked);
    TestFolder t;
    if (!entry.isNull()) {
        QDir().mkpath(QFileInfo(autostart::entryPath()).absolutePath());
        QFile f(autostart::entryPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(entry.toUtf8());
    }
    TFrmFav main;
    TFrmSetup d(&main);
    QCOMPARE(child<QCheckBox>(d, "CheckBox2")->isChecked(), checked);
}

void TestOptions::autostartWrittenAndDeleted() {
    TestFolder t;
    FakeDialogs dialogs;
    TFrmFav main;
    {
        TFrmSetup d(&main);
        child<QCheckBox>(d, "CheckBox2")->setChecked(true);
        d.Button1Click();
    }
    QFile f(autostart::entryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray entry = f.readAll();
    f.close();
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    QVERIFY(entry.contains("\nType=Application\n"));
    QVERIFY(entry.contains("\nName=Pinlet\n"));
    QVERIFY(entry.contains("\nExec=" + TFrmSetup::executablePath().toUtf8() + " /min\n"));
    {
        TFrmSetup d(&main);
        QVERIFY(child<QCheckBox>(d, "CheckBox2")->isChecked());
        child<QCheckBox>(d, "CheckBox2")->setChecked(false);
        d.Button1Click();
    }
    QVERIFY(!QFileInfo::exists(autostart::entryPath()));
    {
        TFrmSetup d(&main);
        d.Button1Click(); // deleting a missing entry is silent
    }
    QVERIFY(dialogs.boxes.isEmpty());
}

void TestOptions::autostartPathWithBlanks() {
    // The session splits Exec at blanks: such a path must arrive whole.
    QVERIFY(autostart::enable("/opt/My Apps/Pinlet", "/min"));
    QFile f(autostart::entryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray entry = f.readAll();
    QVERIFY(entry.contains("\nExec=\"/opt/My Apps/Pinlet\" /min\n"));
    QCOMPARE(QProcess::splitCommand(QString::fromUtf8(entry).section("Exec=", 1).section('\n', 0, 0)),
             QStringList({"/opt/My Apps/Pinlet", "/min"}));
    QVERIFY(autostart::isEnabledFor("/opt/my apps/pinlet"));
}

void TestOptions::newWindowAndHotKey() {
    TestFolder t;
    t.write("Config.INI", "[Size]\nHotKey=0\n");
    int registered = 0;
    int released = 0;
    favWindowHooks().registerHotKey = [&](TFrmFav*) { ++registered; };
    favWindowHooks().releaseHotKey = [&] { ++released; };
    TFrmFav main;
    registered = 0;
    {
        TFrmSetup d(&main);
        d.show();
        QVERIFY(!child<QCheckBox>(d, "CheckBox3")->isChecked());
        child<QCheckBox>(d, "CheckBox1")->setChecked(true);
        child<QCheckBox>(d, "CheckBox3")->setChecked(true);
        d.Button1Click();
    }
    QVERIFY(appState().NewWindowMode);
    QCOMPARE(registered, 1);
    QVERIFY(t.read("Config.INI").contains("HotKey=1\n"));
    QVERIFY(t.read("Config.INI").contains("NewWindow=1\n"));
    {
        // Registered again although it already is: OK applies the box as it stands.
        TFrmSetup d(&main);
        d.show();
        d.Button1Click();
    }
    QCOMPARE(registered, 2);
    {
        TFrmSetup d(&main);
        d.show();
        child<QCheckBox>(d, "CheckBox1")->setChecked(false);
        child<QCheckBox>(d, "CheckBox3")->setChecked(false);
        d.Button1Click();
    }
    QCOMPARE(released, 1);
    QVERIFY(!appState().NewWindowMode);
    QVERIFY(t.read("Config.INI").contains("HotKey=0\n"));
    QVERIFY(t.read("Config.INI").contains("NewWindow=0\n"));
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
