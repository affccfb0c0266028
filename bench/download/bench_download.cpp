// Fetches one URL with the updater's HTTP client and prints the time taken.
// Usage: bench_download URL DEST [--cut-half]
//   --cut-half: stop once half the file has arrived, then fetch again (a resume) and time both.
#include "HttpDownload.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>

namespace {
struct Run {
    bool ok = false;
    double seconds = 0;
    qint64 bytes = 0;
};

Run fetch(HttpDownloader& d, const QString& url, const QString& dest) {
    Run run;
    const qint64 before = QFileInfo(dest).size();
    QElapsedTimer clock;
    clock.start();
    run.ok = d.DownloadFile(url, dest);
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.bytes = QFileInfo(dest).size() - before;
    if (!run.ok && !d.StopRequested)
        std::fprintf(stderr, "download failed: %s\n", qPrintable(d.lastError));
    return run;
}

void print(const char* label, const Run& r) {
    std::printf("%-22s %s %12lld bytes %8.3f s %9.1f MiB/s\n", label, r.ok ? "ok  " : "stop", (long long)r.bytes,
                r.seconds, double(r.bytes) / (1024.0 * 1024.0) / r.seconds);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_download URL DEST [--cut-half]\n");
        return 2;
    }
    const QString url = args.at(1), dest = args.at(2);
    HttpDownloader d;
    qint64 updates = 0;
    if (args.contains(QStringLiteral("--cut-half"))) {
        d.progress = [&](qint64 received, qint64 remaining) {
            ++updates;
            if (received * 2 >= remaining)
                d.StopRequested = true;
        };
        const Run first = fetch(d, url, dest);
        print("first half, then cut", first);
        d.progress = [&](qint64, qint64) { ++updates; };
        const Run second = fetch(d, url, dest);
        print("resume", second);
        std::printf("resume asked from byte %lld\n", (long long)d.ResumeOffset);
        return second.ok ? 0 : 1;
    }
    d.progress = [&](qint64, qint64) { ++updates; };
    const Run r = fetch(d, url, dest);
    print("DownloadFile", r);
    std::printf("progress updates: %lld\n", (long long)updates);
    return r.ok ? 0 : 1;
}
