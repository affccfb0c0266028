#pragma once

#include "FakeDialogs.h"
#include "ProgramFolder.h"
#include "TForm_Update.h"
#include "TestServers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A program folder of its own (inside a temporary folder, so that escapes are visible),
// fake dialogs, and the wizard with its ways out of the process recorded.
struct WizardFixture {
    QTemporaryDir outer;
    QString folder; // the program folder, ending in "/"
    FakeDialogs dialogs;
    std::unique_ptr<TForm_Update> form;
    QList<QPair<int, bool>> ends;           // endProgram calls
    QList<QPair<QString, QString>> started; // startExe calls
    QStringList opened;                     // openUrl calls

    WizardFixture() {
        folder = outer.path() + QStringLiteral("/prog/");
        QDir().mkpath(folder + QStringLiteral("update"));
        setProgramFolderForTesting(folder);
    }
    ~WizardFixture() {
        form.reset();
        setProgramFolderForTesting(QString());
    }
    void writeSettings(const QString& listName, const QString& exe, const QList<QPair<QString, QString>>& servers) {
        QByteArray ini = "[chis]\nSubSys=" + listName.toUtf8() + "\n";
        if (!exe.isNull())
            ini += "exe=" + exe.toUtf8() + "\n";
        ini += "[update]\n";
        for (const auto& s : servers)
            ini += s.first.toUtf8() + "=" + s.second.toUtf8() + "\n";
        writeAll(folder + QStringLiteral("Update.ini"), ini);
    }
    TForm_Update& create(const QString& mainName) {
        form = std::make_unique<TForm_Update>();
        form->endProgram = [this](int code, bool atOnce) { ends.append({code, atOnce}); };
        form->startExe = [this](const QString& program, const QString& dir) {
            started.append({program, dir});
            return true;
        };
        form->openUrl = [this](const QString& url) {
            opened.append(url);
            return true;
        };
        form->mainProgramName = mainName;
        form->downloader().headerTimeoutMs = 20000;
        form->downloader().bodyTimeoutMs = 20000;
        return *form;
    }
    template <class T = QWidget> T* control(const QString& name) const { return form->findChild<T*>(name); }
    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : dialogs.boxes)
            out.append(b.text);
        return out;
    }
};
