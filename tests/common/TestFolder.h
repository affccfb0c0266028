#pragma once

#include "AppState.h"
#include "ProgramFolder.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline void writeTestFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

inline QByteArray readTestFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A fresh program folder and fresh shared state for one test case.
struct TestFolder {
    QTemporaryDir dir;
    TestFolder() {
        resetAppState();
        setProgramFolderForTesting(dir.path());
    }
    ~TestFolder() { setProgramFolderForTesting(QString()); }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) const { writeTestFile(path(name), bytes); }
    QByteArray read(const QString& name) const { return readTestFile(path(name)); }
};
