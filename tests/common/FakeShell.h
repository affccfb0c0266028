#pragma once

#include "Shell.h"

#include <QStringList>

// Records what the program hands to the desktop, and hands nothing on.
class FakeShell : public Shell {
public:
    QStringList opened;
    QStringList openedInNewWindow;
    QStringList started;

    FakeShell() { Shell::setInstance(this); }
    ~FakeShell() override { Shell::setInstance(nullptr); }
    void open(const QString& link) override { opened.append(link); }
    void openInNewWindow(const QString& link) override { openedInNewWindow.append(link); }
    void startProgram(const QString& program, const QStringList&) override { started.append(program); }
};
