#include "AppState.h"
#include "ButtonBox.h"
#include "ButtonLayout.h"
#include "CaptureHooks.h"
#include "EditorDriver.h"
#include "FakeDialogs.h"
#include "FavButton.h"
#include "FavWindowHooks.h"
#include "RecordBytes.h"
#include "ShortcutBytes.h"
#include "Store.h"
#include "TFrmEdtFav.h"
#include "TFrmFav.h"
#include "TFrmMain.h"
#include "TestFolder.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QtTest>

// The editor, the DropZone, drops, and Edit/Delete of favorites, on a temporary program folder.
class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void editorControls();
    void downloadButtonRule_data();
    void downloadButtonRule();
    void categoryBoxCompletes();
    void addToExistingCategory();
    void addWithNewCategory();
    void addRefusesBeforeWriting_data();
    void addRefusesBeforeWriting();
    void confirmInPlace();
    void confirmMoves_data();
    void confirmMoves();
    void confirmRefusesEmptyCategory();
    void confirmAfterHotkeyEditorAdded();
    void cancelChangesNoByte();
    void handOverClearedOnErrorPath();
    void editOpensOnTheFoundRecord();
    void deleteChangesFourBytes();
    void recordGoneBehindTheProgram();
    void threeFilesDroppedThreeEditors();
    void dropOnOpenEditor();
    void draggedWebLinkOnMainWindow();
    void dropZoneCreationAndMenu();
    void dropZoneFollowsCategories();
    void dropZoneAddToAndExit();
};

namespace {

const QByteArray kConfig = "[Categories]\nNews=1\nWork=1\nMisc=1\n[FavID]\nNewID=7\n";

QByteArray favs(std::initializer_list<QByteArray> records) {
    QByteArray all;
    for (const auto& r : records)
        all += r;
    return all;
}

// Three News, one Work and one Misc favorite; the fifth record is ID 4 of Work.
QByteArray fiveRecords() {
    return favs({recordBytes(0, "News", "BBC", "https://bbc.co.uk", "uk"),
                 recordBytes(1, "News", "Le Monde", "https://lemonde.fr", "fr", 'x'),
                 recordBytes(2, "News", "NZZ", "https://nzz.ch", "ch"),
                 recordBytes(3, "Misc", "Debian", "https://debian.org", ""),
                 recordBytes(4, "Work", "Qt docs", "https://doc.qt.io", "manual")});
}

TFrmMain* dropZone() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* z = qobject_cast<TFrmMain*>(w))
            return z;
    return nullptr;
}

template <class T> T* child(QWidget* w, const char* name) {
    return w->findChild<T*>(QLatin1String(name));
}

QString text(TFrmEdtFav* e, const char* name) {
    return child<QLineEdit>(e, name)->text();
}

void setEdits(TFrmEdtFav* e, const QString& name, const QString& url, const QString& comment, const QString& category) {
    child<QLineEdit>(e, "EdtName")->setText(name);
    child<QLineEdit>(e, "EdtUrl")->setText(url);
    child<QLineEdit>(e, "EdtComment")->setText(comment);
    child<QComboBox>(e, "CmbCate")->setEditText(category);
}

void click(TFrmEdtFav* e, const char* button) {
    QTest::mouseClick(child<QPushButton>(e, button), Qt::LeftButton);
}

// Opens an editor through the main window's own double-click on the box of page i.
void openAddEditor(TFrmFav& w, int page) {
    w.pageControl()->setCurrentIndex(page);
    w.SBOXdblClick(w.buttonBox(page));
}

// The favorite menu's item on a button, as the user picks it.
void pickFavoriteMenu(TFrmFav& w, qint32 id, const char* item) {
    FavButton* b = w.favoriteButton(id);
    QVERIFY(b);
    w.setPopupComponent(b);
    w.findChild<QAction*>(QLatin1String(item))->trigger();
}

QByteArray record(const QByteArray& file, int index) {
    return file.mid(index * 628, 628);
}

void dropOn(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

QMimeData* fileDrag(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

} // namespace

void TestCapture::initTestCase() {
    installCaptureHooks();
    TFrmFav::setProcessExit([](int) {});
    TFrmMain::setQuit([] {});
}

void TestCapture::editorControls() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    bool checked = false;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QCOMPARE(e->size(), QSize(513, 236));
        QCOMPARE(e->windowTitle(), QStringLiteral("Add a Favorite"));
        QVERIFY(e->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(e->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(e->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<QGroupBox>(e, "GroupBox1")->geometry(), QRect(8, 8, 489, 153));
        QCOMPARE(child<QLineEdit>(e, "EdtName")->geometry(), QRect(64, 28, 209, 21));
        QCOMPARE(child<QLineEdit>(e, "EdtUrl")->geometry(), QRect(64, 72, 409, 21));
        QCOMPARE(child<QLineEdit>(e, "EdtComment")->geometry(), QRect(64, 112, 409, 21));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->geometry(), QRect(336, 27, 145, 21));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->maxVisibleItems(), 15);
        QCOMPARE(child<QPushButton>(e, "BtnApd")->geometry(), QRect(141, 168, 75, 25));
        QCOMPARE(child<QPushButton>(e, "BtnEdt")->geometry(), QRect(141, 168, 75, 25));
        QCOMPARE(child<QPushButton>(e, "BtnCancel")->geometry(), QRect(269, 168, 75, 25));
        QCOMPARE(child<QPushButton>(e, "BtnDownload")->geometry().topLeft(), QPoint(376, 77));
        QCOMPARE(child<QPushButton>(e, "BtnDownload")->text(), QStringLiteral("Download Video"));
        QVERIFY(child<QPushButton>(e, "BtnApd")->isVisible());
        QVERIFY(child<QPushButton>(e, "BtnApd")->isDefault());
        QVERIFY(!child<QPushButton>(e, "BtnEdt")->isVisible());
        QCOMPARE(child<QPushButton>(e, "BtnCancel")->text(), QStringLiteral("Cancel"));
        // Labels name their fields, for keyboard and screen reader users.
        const QStringList labels = {"Name", "URL", "Comment", "Category"};
        for (const QString& l : labels) {
            QLabel* label = nullptr;
            for (QLabel* c : e->findChildren<QLabel*>())
                if (c->text() == l)
                    label = c;
            QVERIFY2(label && label->buddy(), qPrintable(l));
            QCOMPARE(label->buddy()->accessibleName(), l);
        }
        // Tab order: name, URL, comment, category, then the buttons.
        QWidget* f = child<QLineEdit>(e, "EdtName");
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order.append(f->objectName());
            f = f->nextInFocusChain();
            while (f && !(f->focusPolicy() & Qt::TabFocus))
                f = f->nextInFocusChain();
        }
        QCOMPARE(order, (QStringList{"EdtName", "EdtUrl", "EdtComment", "CmbCate"}));
        // The category of the active page is selected; fields start empty.
        QCOMPARE(child<QComboBox>(e, "CmbCate")->currentText(), QStringLiteral("Work"));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->count(), 3);
        QCOMPARE(text(e, "EdtName"), QString());
        checked = true;
    }});
    openAddEditor(w, 1);
    QVERIFY(checked);
    QCOMPARE(driver.opened, 1);
}

void TestCapture::downloadButtonRule_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("video page") << QByteArray("https://www.youtube.com/watch?v=abc") << true
                                << "https://www.youtube.com/watch?v=abc&t=1" << true;
    QTest::newRow("any case") << QByteArray("HTTP://WWW.YOUTUBE.COM/WATCH?V=ABC") << true << "YouTube.com/x" << true;
    QTest::newRow("typing a link without a slash disables") << QByteArray("https://www.youtube.com/watch?v=abc")
                                                            << true << "www.youtube.com" << false;
    QTest::newRow("typing another site disables") << QByteArray("https://www.youtube.com/watch?v=abc") << true
                                                  << "https://example.org/watch" << false;
    QTest::newRow("site without watch") << QByteArray("https://www.youtube.com/") << false
                                        << "https://www.youtube.com/watch?v=abc" << true;
    QTest::newRow("other site") << QByteArray("https://example.org/watch") << false << "https://example.org/" << false;
}

void TestCapture::downloadButtonRule() {
    QFETCH(QByteArray, url);
    QFETCH(bool, shown);
    QFETCH(QString, typed);
    QFETCH(bool, enabled);
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", recordBytes(0, "News", "Clip", url, ""));
    FakeDialogs d;
    TFrmFav w;
    QString opened;
    favWindowHooks().openVideoPage = [&](const QString& u) { opened = u; };
    bool closed = false;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        // Shown or not is decided as the editor shows, from the link it shows.
        QPushButton* button = child<QPushButton>(e, "BtnDownload");
        QCOMPARE(button->isVisible(), shown);
        QCOMPARE(child<QLineEdit>(e, "EdtUrl")->width(), shown ? 289 : 409);
        QCOMPARE(button->isEnabled(), url.toLower().contains("youtube."));
        // Typing only enables or disables it.
        child<QLineEdit>(e, "EdtUrl")->setText(typed);
        QCOMPARE(button->isVisible(), shown);
        QCOMPARE(button->isEnabled(), enabled);
        if (shown && enabled) {
            click(e, "BtnDownload");
            closed = !e->isVisible();
        }
    }});
    const QByteArray before = t.read("Fav.Dat");
    pickFavoriteMenu(w, 0, "MenuEditFav");
    favWindowHooks().openVideoPage = nullptr;
    QCOMPARE(opened, shown && enabled ? typed : QString());
    QCOMPARE(closed, shown && enabled);
    QCOMPARE(t.read("Fav.Dat"), before); // the editor closed as with Cancel
}

void TestCapture::categoryBoxCompletes() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QComboBox* box = child<QComboBox>(e, "CmbCate");
        box->setEditText(QString());
        box->setFocus();
        QTest::keyClicks(box->lineEdit(), "wO");
        QCOMPARE(box->currentText(), QStringLiteral("wOrk"));
        QCOMPARE(box->lineEdit()->selectedText(), QStringLiteral("rk"));
    }});
    openAddEditor(w, 0);
}

void TestCapture::addToExistingCategory() {
    TestFolder t;
    t.write("Config.INI", kConfig + "[BtnConfig]\nCaptionLength=12\n");
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QByteArray before = t.read("Fav.Dat");
    EditorDriver driver({[&](TFrmEdtFav* e) {
        // A name of 300 characters keeps 255, a comment of 150 keeps 100.
        setEdits(e, QString(300, u'n'), "https://example.org/", QString(150, u'c'), "News");
        click(e, "BtnApd");
    }});
    openAddEditor(w, 0);
    QCOMPARE(driver.leftOpen, 0);
    const QByteArray after = t.read("Fav.Dat");
    QCOMPARE(after.size(), before.size() + 628);
    QVERIFY(after.startsWith(before));
    QCOMPARE(record(after, 5),
             recordBytes(7, "News", QByteArray(255, 'n'), "https://example.org/", QByteArray(100, 'c')));
    const IniDocument ini = IniDocument::load(t.path("Config.INI"));
    QCOMPARE(ini.readInteger("FavID", "NewID", 0), 8);
    // Three News buttons before it: slot 4, and the counter moves on to 5.
    QCOMPARE(ini.readInteger("Categories", "News", 0), 5);
    FavButton* b = w.favoriteButton(7);
    QVERIFY(b);
    QCOMPARE(b->parentWidget(), w.buttonBox(0)->content());
    QCOMPARE(b->geometry(), ButtonLayout().slotRect(4));
}

void TestCapture::addWithNewCategory() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        setEdits(e, "Clip", "https://example.org/v", "", "Video");
        click(e, "BtnApd");
    }});
    openAddEditor(w, 0);
    QCOMPARE(driver.leftOpen, 0);
    QCOMPARE(w.pageControl()->count(), 4);
    QCOMPARE(w.pageCaption(3), QStringLiteral("Video"));
    QCOMPARE(appState().CategoryList.last(), QStringLiteral("Video"));
    QAction* item = dropZone()->findChild<QAction*>("AddTo3");
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Video"));
    QCOMPARE(dropZone()->addToMenu()->actions().last(), item);
    FavButton* b = w.favoriteButton(7);
    QVERIFY(b);
    QCOMPARE(b->parentWidget(), w.buttonBox(3)->content());
    QCOMPARE(b->geometry(), ButtonLayout().slotRect(1));
    QCOMPARE(record(t.read("Fav.Dat"), 5), recordBytes(7, "Video", "Clip", "https://example.org/v", ""));
    QCOMPARE(IniDocument::load(t.path("Config.INI")).readInteger("Categories", "Video", 0), 2);
    QVERIFY(appState().PresetCategoryName.isEmpty());
    QVERIFY(!appState().CategoryCreated);
}

void TestCapture::addRefusesBeforeWriting_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("saved"); // empty: refused
    QTest::newRow("empty box") << ""
                               << "";
    QTest::newRow("name over 10 bytes") << "Newsletters"
                                        << "";
    QTest::newRow("name the settings file cannot hold") << "[x]"
                                                        << "";
    QTest::newRow("other letter case: the existing spelling") << "wORK"
                                                              << "Work";
}

void TestCapture::addRefusesBeforeWriting() {
    QFETCH(QString, category);
    QFETCH(QString, saved);
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QByteArray config = t.read("Config.INI");
    const QByteArray data = t.read("Fav.Dat");
    bool stayedOpen = false;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        setEdits(e, "Name", "https://example.org/", "", category);
        click(e, "BtnApd");
        stayedOpen = e->isVisible();
    }});
    openAddEditor(w, 0);
    if (saved.isEmpty()) {
        QVERIFY(stayedOpen);
        QCOMPARE(d.boxes.size(), 1);
        QCOMPARE(d.boxes[0].caption, QStringLiteral("Error"));
        QVERIFY(d.inputCaptions.isEmpty()); // no question for a name either
        QCOMPARE(t.read("Config.INI"), config);
        QCOMPARE(t.read("Fav.Dat"), data);
        QCOMPARE(w.pageControl()->count(), 3);
    } else {
        QVERIFY(!stayedOpen);
        QVERIFY(d.boxes.isEmpty());
        QCOMPARE(record(t.read("Fav.Dat"), 5).mid(4, 11), QByteArray("\x04Work\0\0\0\0\0\0", 11));
        QCOMPARE(w.favoriteButton(7)->parentWidget(), w.buttonBox(1)->content());
        QCOMPARE(w.pageControl()->count(), 3);
    }
}

void TestCapture::confirmInPlace() {
    TestFolder t;
    t.write("Config.INI", kConfig + "[BtnConfig]\nCaptionLength=12\n");
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QByteArray before = t.read("Fav.Dat");
    const QRect place = w.favoriteButton(1)->geometry();
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QCOMPARE(e->windowTitle(), QStringLiteral("Edit"));
        QVERIFY(child<QPushButton>(e, "BtnEdt")->isVisible());
        QVERIFY(child<QPushButton>(e, "BtnEdt")->isDefault());
        QVERIFY(!child<QPushButton>(e, "BtnApd")->isVisible());
        QCOMPARE(text(e, "EdtName"), QStringLiteral("Le Monde"));
        QCOMPARE(text(e, "EdtUrl"), QStringLiteral("https://lemonde.fr"));
        QCOMPARE(text(e, "EdtComment"), QStringLiteral("fr"));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->currentText(), QStringLiteral("News"));
        setEdits(e, "A long favorite name", "https://lemonde.fr/une", "quotidien", "News");
        click(e, "BtnEdt");
    }});
    pickFavoriteMenu(w, 1, "MenuEditFav");
    QCOMPARE(driver.opened, 1);
    QCOMPARE(driver.leftOpen, 0);
    FavButton* b = w.favoriteButton(1);
    QCOMPARE(b->text(), QStringLiteral("A long fav"));
    QCOMPARE(b->hint(), QStringLiteral("Name:A long favorite name\r\nPath:https://lemonde.fr/une\r\nCMT:quotidien"));
    QCOMPARE(b->link(), QStringLiteral("https://lemonde.fr/une"));
    QCOMPARE(b->geometry(), place);
    const QByteArray after = t.read("Fav.Dat");
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(628), before.left(628));
    QCOMPARE(after.mid(2 * 628), before.mid(2 * 628));
    // Every field rewritten, the ID kept; bytes past each text keep what was there.
    QByteArray expected = recordBytes(1, "News", "A long favorite name", "https://lemonde.fr/une", "quotidien", 'x');
    const QByteArray got = record(after, 1);
    QCOMPARE(got.left(4), expected.left(4));
    for (auto [offset, length] : {std::pair{4, 5}, {15, 21}, {271, 23}, {527, 10}})
        QCOMPARE(got.mid(offset, length), expected.mid(offset, length));
}

void TestCapture::confirmMoves_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("slot");
    QTest::newRow("existing category") << "Misc" << 2 << 2;
    QTest::newRow("new category") << "Archive" << 3 << 1;
}

void TestCapture::confirmMoves() {
    QFETCH(QString, target);
    QFETCH(int, page);
    QFETCH(int, slot);
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QRect nextInNews = w.favoriteButton(2)->geometry();
    EditorDriver driver({[&](TFrmEdtFav* e) {
        child<QComboBox>(e, "CmbCate")->setEditText(target);
        click(e, "BtnEdt");
    }});
    pickFavoriteMenu(w, 1, "MenuEditFav");
    QCOMPARE(driver.leftOpen, 0);
    QCOMPARE(w.pageControl()->count(), page == 3 ? 4 : 3);
    QCOMPARE(w.pageCaption(page), target);
    FavButton* moved = w.favoriteButton(1);
    QVERIFY(moved);
    QCOMPARE(moved->parentWidget(), w.buttonBox(page)->content());
    QCOMPARE(moved->geometry(), ButtonLayout().slotRect(slot));
    // The old page keeps a gap: the next button stays where it was.
    QCOMPARE(w.favoriteButton(2)->geometry(), nextInNews);
    const QByteArray r = record(t.read("Fav.Dat"), 1);
    QCOMPARE(r.left(4), QByteArray("\x01\0\0\0", 4));
    QCOMPARE(r.mid(5, target.size()), target.toUtf8());
    const IniDocument ini = IniDocument::load(t.path("Config.INI"));
    QCOMPARE(ini.readInteger("FavID", "NewID", 0), 7);
    QCOMPARE(ini.readInteger("Categories", target, 0), slot + 1);
    if (page == 3)
        QVERIFY(dropZone()->findChild<QAction*>("AddTo3"));
}

void TestCapture::confirmRefusesEmptyCategory() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    // A record whose category is no page any more (a name cut to 10 bytes in an older run).
    t.write("Fav.Dat", fiveRecords() + recordBytes(5, "Newsletter", "Old", "https://old.test", ""));
    t.write("Config.INI", kConfig + "[X]\n");
    FakeDialogs d;
    TFrmFav w;
    const QByteArray data = t.read("Fav.Dat");
    // Its button exists nowhere; Edit through the hook as the menu would.
    bool stayedOpen = false;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QCOMPARE(child<QComboBox>(e, "CmbCate")->currentText(), QString());
        click(e, "BtnEdt");
        stayedOpen = e->isVisible();
    }});
    QCOMPARE(FindFavoriteById(5), 6);
    favWindowHooks().openEditor(&w, true, 6, 5);
    QVERIFY(stayedOpen);
    QCOMPARE(d.boxes.size(), 1);
    QCOMPARE(t.read("Fav.Dat"), data);
}

void TestCapture::confirmAfterHotkeyEditorAdded() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QRect place = w.favoriteButton(1)->geometry();
    EditorDriver driver;
    driver.steps = {[&](TFrmEdtFav* e) {
                        // Ctrl+D while editing: a second editor adds a favorite to Work.
                        w.hotykey();
                        child<QLineEdit>(e, "EdtName")->setText("Le Monde FR");
                        click(e, "BtnEdt");
                    },
                    [&](TFrmEdtFav* e) {
                        setEdits(e, "Added", "https://added.test", "", "Work");
                        click(e, "BtnApd");
                    }};
    pickFavoriteMenu(w, 1, "MenuEditFav");
    QCOMPARE(driver.opened, 2);
    QCOMPARE(driver.leftOpen, 0);
    // The edited favorite stays in News, in its place, with its own bytes.
    FavButton* b = w.favoriteButton(1);
    QCOMPARE(b->parentWidget(), w.buttonBox(0)->content());
    QCOMPARE(b->geometry(), place);
    QCOMPARE(b->text(), QStringLiteral("Le Monde F"));
    QCOMPARE(record(t.read("Fav.Dat"), 1), recordBytes(1, "News", "Le Monde FR", "https://lemonde.fr", "fr", 'x'));
    QCOMPARE(w.favoriteButton(7)->parentWidget(), w.buttonBox(1)->content());
}

void TestCapture::cancelChangesNoByte() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    const QByteArray config = t.read("Config.INI");
    const QByteArray data = t.read("Fav.Dat");
    auto changeAllAndCancel = [&](TFrmEdtFav* e) {
        setEdits(e, "changed", "https://changed.test", "changed", "Brand new");
        click(e, "BtnCancel");
    };
    EditorDriver driver({changeAllAndCancel, changeAllAndCancel});
    openAddEditor(w, 0);
    pickFavoriteMenu(w, 4, "MenuEditFav");
    QCOMPARE(driver.opened, 2);
    QCOMPARE(driver.leftOpen, 0);
    QCOMPARE(t.read("Config.INI"), config);
    QCOMPARE(t.read("Fav.Dat"), data);
    QCOMPARE(w.pageControl()->count(), 3);
}

void TestCapture::handOverClearedOnErrorPath() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    // Fav.Dat cannot be written: Add fails after the new category was made.
    QFile::remove(t.path("Fav.Dat"));
    QDir(t.dir.path()).mkdir("Fav.Dat");
    const QString dropped = t.path("Example.url");
    t.write("Example.url", "[InternetShortcut]\nURL=https://example.org/\n");
    bool stayedOpen = false;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QCOMPARE(text(e, "EdtUrl"), QStringLiteral("https://example.org/"));
        QVERIFY(appState().DroppedFile.isEmpty());
        child<QComboBox>(e, "CmbCate")->setEditText("Fresh");
        click(e, "BtnApd");
        stayedOpen = e->isVisible();
    }});
    appState().DroppedFile = dropped;
    favWindowHooks().openEditor(&w, false, 0, 0);
    QVERIFY(stayedOpen);
    QCOMPARE(d.boxes.size(), 1);
    QCOMPARE(d.boxes[0].caption, QStringLiteral("Pinlet"));
    QVERIFY(appState().PresetCategoryName.isEmpty());
    QVERIFY(!appState().CategoryCreated);
    QVERIFY(appState().DroppedFile.isEmpty());
}

void TestCapture::editOpensOnTheFoundRecord() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    // Two records with ID 4: the first one (the fifth record) wins.
    t.write("Fav.Dat", fiveRecords() + recordBytes(4, "Work", "Second", "https://second.test", ""));
    FakeDialogs d;
    TFrmFav w;
    int recordNo = 0;
    qint32 favId = -2;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        recordNo = e->RecordNo;
        favId = e->FavID;
        QCOMPARE(text(e, "EdtName"), QStringLiteral("Qt docs"));
        QCOMPARE(text(e, "EdtUrl"), QStringLiteral("https://doc.qt.io"));
        QCOMPARE(text(e, "EdtComment"), QStringLiteral("manual"));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->currentIndex(), 1);
    }});
    appState().DroppedFile = "/stale/path";
    pickFavoriteMenu(w, 4, "MenuEditFav");
    QCOMPARE(recordNo, 5);
    QCOMPARE(favId, 4);
    QVERIFY(appState().DroppedFile.isEmpty());
}

void TestCapture::deleteChangesFourBytes() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    const QByteArray before = t.read("Fav.Dat");
    {
        TFrmFav w;
        const QByteArray config = t.read("Config.INI");
        pickFavoriteMenu(w, 1, "MenuRemoveFav");
        QVERIFY(!w.hasFavoriteButton(1));
        QVERIFY(d.boxes.isEmpty()); // no question asked
        QCOMPARE(t.read("Config.INI"), config);
    }
    QByteArray expected = before;
    expected.replace(628, 4, QByteArray(4, '\xff'));
    QCOMPARE(t.read("Fav.Dat"), expected);
    // At the next start the favorite is gone and the others close up.
    resetAppState();
    TFrmFav again;
    QVERIFY(!again.hasFavoriteButton(1));
    QCOMPARE(again.favoriteButton(2)->geometry(), ButtonLayout().slotRect(2));
}

void TestCapture::recordGoneBehindTheProgram() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    t.write("Fav.Dat", fiveRecords());
    FakeDialogs d;
    TFrmFav w;
    // Another file without ID 3 takes the place of Fav.Dat.
    const QByteArray other = favs({recordBytes(0, "News", "BBC", "https://bbc.co.uk", "uk")});
    t.write("Fav.Dat", other);
    EditorDriver driver;
    pickFavoriteMenu(w, 3, "MenuEditFav");
    pickFavoriteMenu(w, 3, "MenuRemoveFav");
    QCOMPARE(driver.opened, 0);
    QCOMPARE(d.boxes.size(), 2);
    QCOMPARE(d.boxes[0].text, QStringLiteral("ERROR\uFF1AFile not found"));
    QCOMPARE(d.boxes[0].caption, QStringLiteral("ERROR"));
    QCOMPARE(d.boxes[0].icon, Dialogs::Icon::Error);
    QVERIFY(!d.boxes[0].owned);
    QCOMPARE(d.boxes[1].text, QStringLiteral("File not found"));
    QCOMPARE(d.boxes[1].caption, QStringLiteral("Error"));
    QCOMPARE(d.boxes[1].icon, Dialogs::Icon::Warning);
    QVERIFY(!d.boxes[1].owned);
    QCOMPARE(t.read("Fav.Dat"), other);
    QVERIFY(w.favoriteButton(3));
}

void TestCapture::threeFilesDroppedThreeEditors() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    t.write("Example.url", "[InternetShortcut]\nURL=https://example.org/\n");
    t.write("app.lnk", shortcutBytes("C:\\Tools\\app.exe"));
    QDir(t.dir.path()).mkdir("Folder");
    QStringList seen;
    auto record = [&](TFrmEdtFav* e) {
        seen.append(text(e, "EdtName") + u'|' + text(e, "EdtComment") + u'|' + text(e, "EdtUrl"));
        click(e, "BtnCancel");
    };
    EditorDriver driver({record, record, record});
    std::unique_ptr<QMimeData> data(fileDrag({t.path("Example.url"), t.path("app.lnk"), t.path("Folder")}));
    dropOn(dropZone(), data.get());
    QVERIFY(QTest::qWaitFor([&] { return seen.size() == 3; }, 20000));
    QCOMPARE(seen, (QStringList{"Example.url|Example.url|https://example.org/", "app.lnk|app.lnk|C:\\Tools\\app.exe",
                                "Folder|Folder|" + t.path("Folder")}));
    QVERIFY(appState().DroppedFile.isEmpty());
}

void TestCapture::dropOnOpenEditor() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    t.write("First.url", "[InternetShortcut]\nURL=https://first.test/\n");
    t.write("Second.url", "[InternetShortcut]\nURL=https://www.youtube.com/watch?v=x\n");
    EditorDriver driver({[&](TFrmEdtFav* e) {
        child<QComboBox>(e, "CmbCate")->setEditText("Misc");
        std::unique_ptr<QMimeData> data(fileDrag({t.path("First.url"), t.path("Second.url")}));
        dropOn(e, data.get());
        QCOMPARE(text(e, "EdtName"), QStringLiteral("Second.url"));
        QCOMPARE(text(e, "EdtComment"), QStringLiteral("Second.url"));
        QCOMPARE(text(e, "EdtUrl"), QStringLiteral("https://www.youtube.com/watch?v=x"));
        QCOMPARE(child<QComboBox>(e, "CmbCate")->currentText(), QStringLiteral("Misc"));
        // The new link enables the video button; whether it is there was decided at show.
        QVERIFY(!child<QPushButton>(e, "BtnDownload")->isVisible());
        QVERIFY(child<QPushButton>(e, "BtnDownload")->isEnabled());
    }});
    openAddEditor(w, 0);
    QCOMPARE(driver.opened, 1);
}

void TestCapture::draggedWebLinkOnMainWindow() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        QCOMPARE(text(e, "EdtName"), QStringLiteral("Example page"));
        QCOMPARE(text(e, "EdtComment"), QStringLiteral("Example page"));
        QCOMPARE(text(e, "EdtUrl"), QStringLiteral("https://example.org/page"));
        click(e, "BtnApd");
    }});
    QMimeData data;
    data.setUrls({QUrl("https://example.org/page")});
    data.setData("_NETSCAPE_URL", "https://example.org/page\nExample page");
    w.pageControl()->setCurrentIndex(2);
    dropOn(&w, &data);
    QVERIFY(QTest::qWaitFor([&] { return driver.opened == 1 && w.hasFavoriteButton(7); }, 20000));
    QCOMPARE(w.favoriteButton(7)->parentWidget(), w.buttonBox(2)->content());
    // Nothing else is taken: a plain text drag is refused.
    QMimeData plain;
    plain.setText("just words");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &plain, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(!enter.isAccepted());
}

void TestCapture::dropZoneCreationAndMenu() {
    {
        // No settings file: default place, empty "Add to".
        TestFolder t;
        FakeDialogs d;
        TFrmFav w;
        TFrmMain* z = dropZone();
        QVERIFY(z);
        QCOMPARE(z->pos(), QPoint(QApplication::primaryScreen()->geometry().width() - 240, 39));
        QVERIFY(z->addToMenu()->actions().isEmpty());
    }
    TestFolder t;
    t.write("Config.INI", kConfig + "[Size]\nTop=300\nRight=280\n");
    FakeDialogs d;
    TFrmFav w;
    TFrmMain* z = dropZone();
    QVERIFY(z);
    QVERIFY(z->isVisible());
    QCOMPARE(z->size(), QSize(48, 48));
    QVERIFY(z->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(z->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE((z->windowFlags() & Qt::WindowType_Mask), Qt::Tool);
    QCOMPARE(z->pos(), QPoint(QApplication::primaryScreen()->geometry().width() - 280, 300));
    QVERIFY(z->image()->isVisible());
    QCOMPARE(z->image()->toolTip(), QStringLiteral("DoubleClick to add favorites"));
    QVERIFY(!z->image()->accessibleName().isEmpty());
    QCOMPARE(z->image()->pixmap().size(), QSize(48, 48));
    QStringList menu;
    for (QAction* a : z->popupMenu()->actions())
        menu.append(a->objectName() + u'=' + (a->isSeparator() ? QStringLiteral("-") : a->text()));
    QCOMPARE(menu, (QStringList{"ShowFav=&Main Window", "AddTo=Add to", "N2=-", "Hide1=&Hide DropZone", "N1=-",
                                "Exit=&Exit"}));
    QCOMPARE(z->popupMenu()->defaultAction()->objectName(), QStringLiteral("ShowFav"));
    QStringList items;
    for (QAction* a : z->addToMenu()->actions())
        items.append(a->objectName() + u'=' + a->text());
    QCOMPARE(items, (QStringList{"AddTo0=News", "AddTo1=Work", "AddTo2=Misc"}));
    QCOMPARE(appState().CategoryList, (QStringList{"News", "Work", "Misc"}));
    // Hide, and back at the same place from the tray menu.
    const QPoint place = z->pos();
    z->findChild<QAction*>("Hide1")->trigger();
    QVERIFY(!z->isVisible());
    w.ShowDropZone1Click();
    QVERIFY(z->isVisible());
    QCOMPARE(z->pos(), place);
}

void TestCapture::dropZoneFollowsCategories() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    TFrmMain* z = dropZone();
    d.inputAnswers = {"Video"};
    w.SBtnNewCateClick();
    w.pageControl()->setCurrentIndex(0);
    w.SBtnRemoveCateClick();
    w.pageControl()->setCurrentIndex(1);
    d.inputAnswers = {"Things"};
    w.Edit1Click();
    QStringList items;
    for (QAction* a : z->addToMenu()->actions())
        items.append(a->objectName() + u'=' + a->text());
    QCOMPARE(items, (QStringList{"AddTo0=Work", "AddTo1=Things", "AddTo2=Video"}));
}

void TestCapture::dropZoneAddToAndExit() {
    TestFolder t;
    t.write("Config.INI", kConfig);
    FakeDialogs d;
    TFrmFav w;
    w.resize(600, 420);
    TFrmMain* z = dropZone();
    QString selected;
    EditorDriver driver({[&](TFrmEdtFav* e) { selected = child<QComboBox>(e, "CmbCate")->currentText(); },
                         [&](TFrmEdtFav* e) { QCOMPARE(e->windowTitle(), QStringLiteral("Add a Favorite")); }});
    z->findChild<QAction*>("AddTo2")->trigger();
    QCOMPARE(driver.opened, 1);
    QCOMPARE(selected, QStringLiteral("Misc"));
    QCOMPARE(w.pageControl()->currentIndex(), 2);
    // A double-click on the picture opens an empty editor, and does not move the window.
    const QPoint place = z->pos();
    QTest::mouseDClick(z->image(), Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
    QVERIFY(QTest::qWaitFor([&] { return driver.opened == 2; }, 10000));
    QCOMPARE(z->pos(), place);

    z->move(1000, 300);
    bool quit = false;
    TFrmMain::setQuit([&] { quit = true; });
    z->findChild<QAction*>("Exit")->trigger();
    TFrmMain::setQuit([] {});
    QVERIFY(quit);
    const IniDocument ini = IniDocument::load(t.path("Config.INI"));
    QCOMPARE(ini.keys("Size"), (QStringList{"Height", "Width", "Top", "Right", "CateID"}));
    QCOMPARE(ini.readInteger("Size", "Top", 0), 300);
    QCOMPARE(ini.readInteger("Size", "Right", 0), QApplication::primaryScreen()->geometry().width() - 1000);
    QCOMPARE(ini.readInteger("Size", "CateID", 0), 2);
    QCOMPARE(ini.readInteger("Size", "Width", 0), w.width());
}

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
