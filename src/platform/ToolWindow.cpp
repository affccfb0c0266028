#include "ToolWindow.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

void KeepOutOfTaskbar(QWidget* window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* d = x11 ? x11->display() : nullptr;
    if (!d || !window)
        return;
    const Window w = static_cast<Window>(window->winId());
    const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
    QList<Atom> atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, state, 0, 1024, False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
        data) {
        if (type == XA_ATOM && format == 32)
            for (unsigned long i = 0; i < count; ++i)
                atoms.append(reinterpret_cast<const Atom*>(data)[i]);
        XFree(data);
    }
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const Atom a = XInternAtom(d, name, False);
        if (!atoms.contains(a))
            atoms.append(a);
    }
    // Qt keeps states it did not set itself when it maps the window.
    XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.constData()), static_cast<int>(atoms.size()));
    XFlush(d);
}
