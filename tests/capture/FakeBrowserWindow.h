#pragma once

#include <QByteArray>
#include <QList>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// A plain X window that looks like a browser to the window probe: a browser WM_CLASS and a title.
class FakeBrowserWindow {
public:
    // utf8Title goes to _NET_WM_NAME; latin1Title to WM_NAME (either may be empty).
    FakeBrowserWindow(const char* wmClass, const QByteArray& utf8Title, const QByteArray& latin1Title = {},
                      long pid = 0) {
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 10, 10, 200, 100, 0, 0, 0xffffff);
        XClassHint hint{const_cast<char*>("browser"), const_cast<char*>(wmClass)};
        XSetClassHint(m_display, m_window, &hint);
        if (!latin1Title.isEmpty())
            XStoreName(m_display, m_window, latin1Title.constData());
        if (!utf8Title.isEmpty())
            XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_NAME", False),
                            XInternAtom(m_display, "UTF8_STRING", False), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(utf8Title.constData()), int(utf8Title.size()));
        if (pid)
            XChangeProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
    }
    ~FakeBrowserWindow() {
        if (!m_display)
            return;
        XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    FakeBrowserWindow(const FakeBrowserWindow&) = delete;
    FakeBrowserWindow& operator=(const FakeBrowserWindow&) = delete;

    bool ok() const { return m_display != nullptr; }
    unsigned long id() const { return m_window; }
    void raise() {
        XRaiseWindow(m_display, m_window);
        XSync(m_display, False);
    }

private:
    Display* m_display = nullptr;
    Window m_window = 0;
};

// Sets (or with an empty list removes) the window manager's stacking list, bottom to top.
inline void setStackingList(const QList<unsigned long>& bottomToTop) {
    Display* d = XOpenDisplay(nullptr);
    const Atom list = XInternAtom(d, "_NET_CLIENT_LIST_STACKING", False);
    if (bottomToTop.isEmpty())
        XDeleteProperty(d, DefaultRootWindow(d), list);
    else
        XChangeProperty(d, DefaultRootWindow(d), list, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bottomToTop.constData()), int(bottomToTop.size()));
    XSync(d, False);
    XCloseDisplay(d);
}
