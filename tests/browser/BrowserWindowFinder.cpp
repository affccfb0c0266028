#include "BrowserWindowFinder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

QByteArray propertyBytes(Display* dpy, Window w, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, 65536, False, type, &actualType, &format, &count, &after, &data) !=
            Success ||
        !data)
        return {};
    QByteArray bytes;
    if (format == 8)
        bytes = QByteArray(reinterpret_cast<const char*>(data), int(count));
    else if (format == 32 && count > 0)
        bytes = QByteArray::number(qulonglong(*reinterpret_cast<unsigned long*>(data)));
    XFree(data);
    return bytes;
}

QString title(Display* dpy, Window w) {
    const QByteArray net =
        propertyBytes(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), XInternAtom(dpy, "UTF8_STRING", False));
    if (!net.isEmpty())
        return QString::fromUtf8(net);
    XTextProperty text;
    if (!XGetWMName(dpy, w, &text))
        return {};
    char** list = nullptr;
    int n = 0;
    QString result;
    if (Xutf8TextPropertyToTextList(dpy, &text, &list, &n) == Success && n > 0)
        result = QString::fromUtf8(list[0]);
    if (list)
        XFreeStringList(list);
    XFree(text.value);
    return result;
}

std::optional<BrowserWindowInfo> search(Display* dpy, Window w, qint64 pid, const QString& prefix, int depth) {
    const QByteArray windowPid = propertyBytes(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL);
    if (windowPid.toLongLong() == pid) {
        const QString t = title(dpy, w);
        if (t.startsWith(prefix)) {
            BrowserWindowInfo info;
            info.window = w;
            info.pid = pid;
            info.title = t;
            XClassHint hint;
            if (XGetClassHint(dpy, w, &hint)) {
                info.wmClass = QString::fromLocal8Bit(hint.res_class);
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            return info;
        }
    }
    if (depth == 0)
        return std::nullopt;
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &kids, &n))
        return std::nullopt;
    std::optional<BrowserWindowInfo> found;
    for (unsigned int i = n; i-- > 0 && !found;) // top of the stacking order first
        found = search(dpy, kids[i], pid, prefix, depth - 1);
    if (kids)
        XFree(kids);
    return found;
}

} // namespace

std::optional<BrowserWindowInfo> FindBrowserWindow(qint64 pid, const QString& titlePrefix) {
    std::unique_ptr<Display, int (*)(Display*)> dpy(XOpenDisplay(nullptr), XCloseDisplay);
    if (!dpy)
        return std::nullopt;
    // Depth 2: a window manager puts each top-level window inside a frame of its own.
    return search(dpy.get(), DefaultRootWindow(dpy.get()), pid, titlePrefix, 2);
}
