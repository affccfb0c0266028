#pragma once

#include "TestFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the real programs from a temporary program folder on the test's X display.
struct ProgramFolderRun {
    QTemporaryDir dir;
    QTemporaryDir runtime; // a runtime folder of its own keeps the instance guard apart

    ProgramFolderRun() {
        for (const char* name : {"Pinlet", "PinletUpdate"}) {
            const QString from = QStringLiteral(PINLET_BIN_DIR "/") + QLatin1String(name);
            if (QFile::exists(from))
                QFile::copy(from, path(QLatin1String(name)));
        }
    }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) const { writeTestFile(path(name), bytes); }
    QByteArray read(const QString& name) const { return readTestFile(path(name)); }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }
    // Starts a program of the folder, from another current folder.
    QProcess* start(const QString& program, const QStringList& args = {}, QObject* parent = nullptr) const {
        auto* p = new QProcess(parent);
        p->setProcessEnvironment(environment());
        p->setWorkingDirectory(QDir::tempPath());
        p->start(path(program), args);
        return p;
    }
};

// Visible top-level windows whose title matches, through xdotool.
inline QStringList visibleWindows(const QString& titleRegex) {
    QProcess x;
    x.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--name"), titleRegex});
    x.waitForFinished(10000);
    return QString::fromUtf8(x.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

inline bool waitFor(const std::function<bool()>& condition, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (condition())
            return true;
        QTest::qWait(100);
    }
    return condition();
}
