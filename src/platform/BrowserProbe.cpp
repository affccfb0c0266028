#include "BrowserProbe.h"

#include <QGuiApplication>
#include <QSet>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const QSet<QString>& knownBrowserClasses() {
    static const QSet<QString> classes = {
        QStringLiteral("firefox"),          QStringLiteral("firefox-esr"),    QStringLiteral("chromium"),
        QStringLiteral("chromium-browser"), QStringLiteral("google-chrome"),  QStringLiteral("google-chrome-stable"),
        QStringLiteral("brave-browser"),    QStringLiteral("microsoft-edge"), QStringLiteral("microsoft-edge-stable"),
        QStringLiteral("vivaldi"),          QStringLiteral("vivaldi-stable"), QStringLiteral("opera"),
    };
    return classes;
}

// Qt's own connection when the program runs on X11; else a connection of its own for this call.
class DisplayConnection {
public:
    DisplayConnection() {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        m_display = x11 ? x11->display() : nullptr;
        if (!m_display && qEnvironmentVariableIsSet("DISPLAY")) {
            m_display = XOpenDisplay(nullptr);
            m_own = m_display != nullptr;
        }
    }
    ~DisplayConnection() {
        if (m_own)
            XCloseDisplay(m_display);
    }
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;
    Display* get() const { return m_display; }

private:
    Display* m_display = nullptr;
    bool m_own = false;
};

// Windows vanish at any time: a request on a gone window must not end the program.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

QByteArray property(Display* d, Window w, Atom name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, name, 0, 1 << 16, False, type, &actualType, &format, &count, &after, &data) !=
            Success ||
        !data)
        return {};
    QByteArray bytes;
    if (actualType != None)
        bytes = QByteArray(reinterpret_cast<const char*>(data),
                           static_cast<qsizetype>(count) *
                               (format == 32 ? static_cast<qsizetype>(sizeof(long)) : format / 8));
    XFree(data);
    return bytes;
}

QList<Window> windowList(Display* d, Window root, Atom name) {
    const QByteArray bytes = property(d, root, name, XA_WINDOW);
    QList<Window> list;
    const auto* ids = reinterpret_cast<const unsigned long*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size() / static_cast<qsizetype>(sizeof(unsigned long)); ++i)
        list.append(static_cast<Window>(ids[i]));
    return list;
}

QString classPart(Display* d, Window w) {
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(d, w, &hint))
        return {};
    const QString result = hint.res_class ? QString::fromLocal8Bit(hint.res_class) : QString();
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return result;
}

QString title(Display* d, Window w) {
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const QByteArray netName = property(d, w, XInternAtom(d, "_NET_WM_NAME", False), utf8);
    if (!netName.isEmpty())
        return QString::fromUtf8(netName);
    XTextProperty text{};
    if (!XGetWMName(d, w, &text) || !text.value)
        return {};
    QString result;
    if (text.encoding == XA_STRING) {
        result = QString::fromLatin1(reinterpret_cast<const char*>(text.value), static_cast<qsizetype>(text.nitems));
    } else {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(d, &text, &list, &count) >= Success && list) {
            if (count > 0 && list[0])
                result = QString::fromUtf8(list[0]);
            XFreeStringList(list);
        }
    }
    XFree(text.value);
    return result;
}

qint64 processId(Display* d, Window w) {
    const QByteArray bytes = property(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL);
    if (bytes.size() < static_cast<qsizetype>(sizeof(unsigned long)))
        return 0;
    return static_cast<qint64>(*reinterpret_cast<const unsigned long*>(bytes.constData()));
}

// Without a window manager's list, the root's children top first; a frame of a reparenting
// manager stands for the client window inside it.
QList<Window> treeOrderTopFirst(Display* d, Window root) {
    QList<Window> result;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, root, &rootReturn, &parent, &children, &count))
        return result;
    for (unsigned int i = count; i-- > 0;) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(d, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        result.append(children[i]);
        Window r = 0, p = 0;
        Window* inner = nullptr;
        unsigned int innerCount = 0;
        if (XQueryTree(d, children[i], &r, &p, &inner, &innerCount) && inner) {
            for (unsigned int k = innerCount; k-- > 0;)
                result.append(inner[k]);
            XFree(inner);
        }
    }
    if (children)
        XFree(children);
    return result;
}

} // namespace

std::optional<BrowserWindowInfo> FrontBrowserWindow() {
    DisplayConnection connection;
    Display* d = connection.get();
    if (!d)
        return std::nullopt;
    XErrorHandler previous = XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(d);
    QList<Window> order = windowList(d, root, XInternAtom(d, "_NET_CLIENT_LIST_STACKING", False));
    if (order.isEmpty())
        order = treeOrderTopFirst(d, root);
    else
        std::reverse(order.begin(), order.end()); // the list runs bottom to top
    std::optional<BrowserWindowInfo> found;
    for (Window w : order) {
        const QString wmClass = classPart(d, w);
        if (wmClass.isEmpty() || !knownBrowserClasses().contains(wmClass.toLower()))
            continue;
        found = BrowserWindowInfo{w, processId(d, w), wmClass, title(d, w)};
        break;
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    return found;
}
