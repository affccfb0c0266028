#include "GlobalHotkey.h"

#include <QGuiApplication>
#include <QTimer>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

Display* x11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool g_grabRefused = false;

int recordRefusal(Display*, XErrorEvent* event) {
    if (event->error_code == BadAccess)
        g_grabRefused = true;
    return 0;
}

unsigned int numLockMask(Display* display) {
    unsigned int mask = 0;
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return Mod2Mask;
    for (int m = 0; m < 8 && numLock != 0; ++m)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[m * map->max_keypermod + k] == numLock)
                mask = 1u << m;
    XFreeModifiermap(map);
    return mask ? mask : Mod2Mask;
}

QList<unsigned int> lockVariants(unsigned int numLock) {
    return {0u, LockMask, numLock, LockMask | numLock};
}

} // namespace

GlobalHotkey::GlobalHotkey(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

GlobalHotkey::~GlobalHotkey() {
    unregisterKey();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool GlobalHotkey::registerKey() {
    if (m_registered)
        return true;
    Display* display = x11Display();
    if (!display)
        return false;
    m_keycode = XKeysymToKeycode(display, XK_d);
    m_numLockMask = numLockMask(display);
    if (m_keycode == 0)
        return false;
    const Window root = DefaultRootWindow(display);
    // A grab that another client holds fails only asynchronously: catch it with a handler of
    // our own while the requests are flushed.
    XSync(display, False);
    g_grabRefused = false;
    XErrorHandler previous = XSetErrorHandler(recordRefusal);
    for (unsigned int lock : lockVariants(m_numLockMask))
        XGrabKey(display, static_cast<int>(m_keycode), ControlMask | lock, root, True, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (g_grabRefused) {
        for (unsigned int lock : lockVariants(m_numLockMask))
            XUngrabKey(display, static_cast<int>(m_keycode), ControlMask | lock, root);
        XSync(display, False);
        return false;
    }
    m_registered = true;
    return true;
}

void GlobalHotkey::unregisterKey() {
    if (!m_registered)
        return;
    m_registered = false;
    Display* display = x11Display();
    if (!display)
        return;
    const Window root = DefaultRootWindow(display);
    XErrorHandler previous = XSetErrorHandler(recordRefusal);
    for (unsigned int lock : lockVariants(m_numLockMask))
        XUngrabKey(display, static_cast<int>(m_keycode), ControlMask | lock, root);
    XSync(display, False);
    XSetErrorHandler(previous);
}

bool GlobalHotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_registered || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    // Only the eight modifier bits count: the keyboard group (a second layout) and held mouse
    // buttons also show in the state.
    const unsigned int state = key->state & 0xFF & ~(LockMask | m_numLockMask);
    if (key->detail != m_keycode || state != ControlMask)
        return false;
    // Handlers open modal dialogs: let them run from the event loop, not inside this filter.
    QTimer::singleShot(0, this, [this] { emit activated(); });
    return true;
}
