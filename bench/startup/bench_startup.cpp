// Start-up benchmark: time from process start to the main window mapped, and resident memory
// once idle, for 0, 1,000 and 10,000 favorites over 100 categories. Needs an X display
// (bench/startup.sh starts Xvfb).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray record(qint32 id, const QByteArray& category, const QByteArray& name, const QByteArray& url) {
    QByteArray r(628, '\0');
    qToLittleEndian<qint32>(id, r.data());
    auto field = [&](int at, const QByteArray& text) {
        r[at] = char(text.size());
        memcpy(r.data() + at + 1, text.constData(), text.size());
    };
    field(4, category);
    field(15, name);
    field(271, url);
    return r;
}

void makeFolder(const QString& dir, int favorites) {
    QByteArray ini = "[Categories]\n";
    for (int c = 0; c < 100; ++c)
        ini += "Cat" + QByteArray::number(c) + "=1\n";
    QFile f(dir + "/Config.INI");
    f.open(QIODevice::WriteOnly);
    f.write(ini);
    QFile d(dir + "/Fav.Dat");
    d.open(QIODevice::WriteOnly);
    for (int i = 0; i < favorites; ++i)
        d.write(record(i, "Cat" + QByteArray::number(i % 100), "Favorite number " + QByteArray::number(i),
                       "https://example.org/page/" + QByteArray::number(i)));
    QFile::copy(PINLET_BIN_DIR "/Pinlet", dir + "/Pinlet");
}

bool isPinletWindow(Display* dpy, Window w) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(dpy, w, &name) && name) {
        match = QByteArray(name) == "Pinlet";
        XFree(name);
    }
    return match;
}

long rssKiB(qint64 pid) {
    QFile f(QString("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

struct Result {
    double ms;
    long rss;
};

Result runOnce(Display* dpy, const QString& dir, const QString& runtime) {
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, True);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(dir + "/Pinlet");
    double ms = -1;
    while (t.elapsed() < 60000 && ms < 0) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && isPinletWindow(dpy, ev.xmap.window))
                ms = t.nsecsElapsed() / 1e6;
        }
        if (ms < 0)
            QThread::usleep(500);
    }
    QThread::sleep(3); // idle
    const long rss = rssKiB(p.processId());
    p.kill();
    p.waitForFinished();
    return {ms, rss};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        fprintf(stderr, "no X display\n");
        return 1;
    }
    const int runs = 3;
    printf("%-10s %12s %12s %14s\n", "favorites", "median ms", "best ms", "idle RSS MiB");
    double emptyMs = 0;
    long emptyRss = 0;
    for (int favorites : {0, 1000, 10000}) {
        QTemporaryDir dir, runtime;
        makeFolder(dir.path(), favorites);
        std::vector<double> times;
        long rss = 0;
        for (int i = 0; i < runs; ++i) {
            const Result r = runOnce(dpy, dir.path(), runtime.path());
            times.push_back(r.ms);
            rss = std::max(rss, r.rss);
        }
        std::sort(times.begin(), times.end());
        const double median = times[runs / 2];
        if (favorites == 0) {
            emptyMs = median;
            emptyRss = rss;
        }
        printf("%-10d %12.1f %12.1f %14.1f", favorites, median, times.front(), rss / 1024.0);
        if (favorites > 0)
            printf("   (%.2fx time, %.2fx memory of the empty start)", median / emptyMs, double(rss) / emptyRss);
        printf("\n");
        fflush(stdout);
    }
    XCloseDisplay(dpy);
    return 0;
}
