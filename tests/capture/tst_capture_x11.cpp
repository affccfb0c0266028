#include "AppState.h"
#include "BrowserProbe.h"
#include "CaptureHooks.h"
#include "EditorDriver.h"
#include "FakeDialogs.h"
#include "GlobalHotkey.h"
#include "ProgramRun.h"
#include "RecordBytes.h"
#include "TFrmEdtFav.h"
#include "TFrmFav.h"
#include "TFrmMain.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// Xlib last: its macros (None, Status, ...) clash with names in the headers above.
#include "FakeBrowserWindow.h"
#include <X11/keysym.h>

// On a virtual X display: the front-most browser window, the Ctrl+D grab, and the real
// program opening its editor on Ctrl+D.
class TestCaptureX11 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frontBrowserWindowInTreeOrder();
    void frontBrowserWindowInStackingList();
    void editorFilledFromBrowserWindow();
    void hotkeyIsExactlyControlD();
    void hotkeyHeldElsewhereIsRefused();
    void dropZoneOutOfTaskbar();
    void programOpensEditorOnControlD();
    void programWithHotkeyOff();
    void programDropZoneDragAndExit();
};

namespace {
bool xdotool(const QStringList& args, QByteArray* output = nullptr) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    const bool ok = p.waitForFinished(10000) && p.exitCode() == 0;
    if (output)
        *output = p.readAllStandardOutput();
    return ok;
}

int visibleWindowsOf(qint64 pid) {
    QByteArray out;
    xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}, &out);
    return int(out.split('\n').count() - 1);
}

// Whether another X client than this test's Qt connection can take Control+D now.
bool keyFreeForOthers() {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    static bool refused;
    refused = false;
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent* e) {
        if (e->error_code == BadAccess)
            refused = true;
        return 0;
    });
    XGrabKey(d, XKeysymToKeycode(d, XK_d), ControlMask, DefaultRootWindow(d), True, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return !refused;
}
} // namespace

void TestCaptureX11::initTestCase() {
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X display");
    installCaptureHooks();
    TFrmFav::setProcessExit([](int) {});
    TFrmMain::setQuit([] {});
}

void TestCaptureX11::frontBrowserWindowInTreeOrder() {
    QVERIFY(!FrontBrowserWindow()); // none yet
    FakeBrowserWindow firefox("firefox-esr", QByteArray("Caf\xc3\xa9 - Mozilla Firefox"), {}, 4242);
    FakeBrowserWindow chromium("Chromium", {}, QByteArray("Old \xe9 title - Chromium"));
    FakeBrowserWindow other("XTerm", "Terminal");
    QVERIFY(firefox.ok() && chromium.ok() && other.ok());
    // Chromium is the higher browser window, even under another program's window.
    auto front = FrontBrowserWindow();
    QVERIFY(front);
    QCOMPARE(front->window, chromium.id());
    QCOMPARE(front->title, QString::fromLatin1("Old \xe9 title - Chromium"));
    QCOMPARE(front->wmClass, QStringLiteral("Chromium"));
    firefox.raise();
    front = FrontBrowserWindow();
    QVERIFY(front);
    QCOMPARE(front->window, firefox.id());
    QCOMPARE(front->title, QString::fromUtf8("Caf\xc3\xa9 - Mozilla Firefox"));
    QCOMPARE(front->pid, 4242);
}

void TestCaptureX11::frontBrowserWindowInStackingList() {
    FakeBrowserWindow a("Google-chrome", "A - Google Chrome");
    FakeBrowserWindow b("Brave-browser", "B - Brave");
    // A window manager's list wins over the tree order: here a is above b.
    setStackingList({b.id(), a.id()});
    auto front = FrontBrowserWindow();
    setStackingList({});
    QVERIFY(front);
    QCOMPARE(front->window, a.id());
}

void TestCaptureX11::editorFilledFromBrowserWindow() {
    TestFolder t;
    t.write("Config.INI", "[Categories]\nNews=1\nVideos=1\n[Size]\nCateID=1\n[FavID]\nNewID=3\n");
    FakeDialogs d;
    FakeBrowserWindow browser("firefox", "YouTube - Cat video - Mozilla Firefox");
    TFrmFav w;
    QStringList fields;
    EditorDriver driver({[&](TFrmEdtFav* e) {
        for (const char* name : {"EdtName", "EdtComment", "EdtUrl"})
            fields.append(e->findChild<QLineEdit*>(name)->text());
        fields.append(e->findChild<QComboBox*>("CmbCate")->currentText());
    }});
    w.hotykey();
    QCOMPARE(driver.opened, 1);
    // The address comes through the accessibility bus, which a plain X window does not offer.
    QCOMPARE(fields, (QStringList{"Cat video", "YouTube - Cat video", "", "Videos"}));
}

void TestCaptureX11::hotkeyIsExactlyControlD() {
    GlobalHotkey key;
    QVERIFY(key.registerKey());
    QVERIFY(key.registerKey()); // again: no change
    QSignalSpy spy(&key, &GlobalHotkey::activated);
    QVERIFY(xdotool({"key", "ctrl+d"}));
    QVERIFY(spy.wait(10000));
    QCOMPARE(spy.count(), 1);
    for (const char* other : {"ctrl+shift+d", "ctrl+alt+d", "d", "ctrl+e"})
        QVERIFY(xdotool({"key", other}));
    // The next Ctrl+D shows that the others went by without a signal.
    QVERIFY(xdotool({"key", "ctrl+d"}));
    QVERIFY(QTest::qWaitFor([&] { return spy.count() >= 2; }, 10000));
    QCOMPARE(spy.count(), 2);
    // With NumLock or CapsLock on, Ctrl+D is still the hotkey.
    for (const char* lock : {"Num_Lock", "Caps_Lock"}) {
        QVERIFY(xdotool({"key", lock}));
        QVERIFY(xdotool({"key", "ctrl+d"}));
        QVERIFY(xdotool({"key", lock}));
    }
    QVERIFY(QTest::qWaitFor([&] { return spy.count() >= 4; }, 10000));
    QCOMPARE(spy.count(), 4);
    QVERIFY(!keyFreeForOthers());
    key.unregisterKey();
    key.unregisterKey(); // not held: nothing happens
    QVERIFY(keyFreeForOthers());
}

void TestCaptureX11::hotkeyHeldElsewhereIsRefused() {
    Display* other = XOpenDisplay(nullptr);
    QVERIFY(other);
    const int code = XKeysymToKeycode(other, XK_d);
    XGrabKey(other, code, ControlMask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    {
        GlobalHotkey key;
        QVERIFY(!key.registerKey());
        QVERIFY(!key.isRegistered());
    }
    XCloseDisplay(other); // releases its grab
    GlobalHotkey key;
    QVERIFY(key.registerKey());
}

namespace {
QStringList windowStates(unsigned long window) {
    Display* d = XOpenDisplay(nullptr);
    QStringList names;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, XInternAtom(d, "_NET_WM_STATE", False), 0, 1024, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        for (unsigned long i = 0; i < count; ++i) {
            char* name = XGetAtomName(d, reinterpret_cast<Atom*>(data)[i]);
            names.append(QString::fromLatin1(name));
            XFree(name);
        }
        XFree(data);
    }
    XCloseDisplay(d);
    return names;
}
} // namespace

void TestCaptureX11::dropZoneOutOfTaskbar() {
    TestFolder t;
    FakeDialogs d;
    TFrmFav w;
    TFrmMain* zone = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* z = qobject_cast<TFrmMain*>(top))
            zone = z;
    QVERIFY(zone);
    for (int round = 0; round < 2; ++round) {
        const QStringList states = windowStates(zone->winId());
        QVERIFY2(states.contains("_NET_WM_STATE_SKIP_TASKBAR") && states.contains("_NET_WM_STATE_SKIP_PAGER") &&
                     states.contains("_NET_WM_STATE_ABOVE"),
                 qPrintable(states.join(u' ')));
        QCOMPARE(states.count("_NET_WM_STATE_SKIP_TASKBAR"), 1);
        zone->Hide1Click();
        w.ShowDropZone1Click();
    }
}

void TestCaptureX11::programOpensEditorOnControlD() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\nVideos=1\n[Size]\nCateID=1\n[FavID]\nNewID=3\n");
    FakeBrowserWindow browser("firefox", "Cat video - Mozilla Firefox");
    QScopedPointer<QProcess> p(run.start("Pinlet"));
    QVERIFY(p->waitForStarted());
    QVERIFY(waitFor([] { return visibleWindows("^Pinlet$").size() == 1; }));
    const QString editor = QStringLiteral("^Add a Favorite$");
    // Keys are handled in order: an editor opened by one of the other combinations would be
    // open before the Ctrl+D one, and still be open after that one's Add.
    QVERIFY(xdotool({"key", "ctrl+shift+d"}));
    QVERIFY(xdotool({"key", "ctrl+alt+d"}));
    QVERIFY(xdotool({"key", "ctrl+d"}));
    QVERIFY(waitFor([&] { return visibleWindows(editor).size() == 1; }));
    // Enter presses "Add": the favorite is made from the browser window's title.
    const QString id = visibleWindows(editor).first();
    // Without a window manager the dialog takes the focus itself; make sure of it all the same.
    xdotool({"windowfocus", "--sync", id});
    QVERIFY(xdotool({"key", "Return"}));
    QVERIFY(waitFor([&] { return run.read("Fav.Dat").size() == 628; }));
    QCOMPARE(run.read("Fav.Dat"), recordBytes(3, "Videos", "Cat video", "", "Cat video"));
    QVERIFY(waitFor([&] { return visibleWindows(editor).isEmpty(); }));
    p->kill();
    p->waitForFinished(10000);
}

void TestCaptureX11::programWithHotkeyOff() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\n[Size]\nHotKey=0\n");
    QScopedPointer<QProcess> p(run.start("Pinlet"));
    QVERIFY(p->waitForStarted());
    QVERIFY(waitFor([] { return visibleWindows("^Pinlet$").size() == 1; }));
    // The key stays free for other programs.
    QVERIFY(keyFreeForOthers());
    p->kill();
    p->waitForFinished(10000);
}

void TestCaptureX11::programDropZoneDragAndExit() {
    ProgramFolderRun run;
    run.write("Config.INI", "[Categories]\nNews=1\n");
    QScopedPointer<QProcess> p(run.start("Pinlet"));
    QVERIFY(p->waitForStarted());
    QVERIFY(waitFor([] { return visibleWindows("^Pinlet$").size() == 1; }));
    QVERIFY(waitFor([] { return visibleWindows("^DropZone$").size() == 1; }));
    // Default place: top 39, left 240 pixels from the right edge of the 1280-pixel screen.
    // Dragging the picture by its middle moves the window (on a bare X server without a window
    // manager, by following the mouse).
    QVERIFY(xdotool({"mousemove", "1064", "63", "mousedown", "1"}));
    QVERIFY(xdotool({"mousemove", "1040", "200", "mousemove", "1024", "324", "mouseup", "1"}));
    QVERIFY(waitFor([] {
        QByteArray out;
        xdotool({"search", "--name", "^DropZone$", "getwindowgeometry", "%@"}, &out);
        return out.contains("Position: 1000,300");
    }));
    // "&Exit" of its menu saves the state and ends the program in order.
    const int windows = visibleWindowsOf(p->processId());
    QVERIFY(xdotool({"click", "3"}));
    QVERIFY(waitFor([&] { return visibleWindowsOf(p->processId()) > windows; }));
    QVERIFY(xdotool({"key", "e"}));
    QVERIFY(p->waitForFinished(20000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    const QByteArray ini = run.read("Config.INI");
    QVERIFY2(ini.contains("Top=300\n") && ini.contains("Right=280\n"), ini.constData());
}

QTEST_MAIN(TestCaptureX11)
#include "tst_capture_x11.moc"
