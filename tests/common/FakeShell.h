#pragma once

#include "Shell.h"
#include "WindowReuse.h"

#include <QStringList>
#include <stdexcept>

// Records what would have been opened or started.
class FakeShell : public Shell {
public:
    QStringList calls; // "open <link>", "new <link>", "start <program> <args>"
    FakeShell() { Shell::setInstance(this); }
    ~FakeShell() override { Shell::setInstance(nullptr); }
    void open(const QString& link) override { calls << QStringLiteral("open ") + link; }
    void openInNewWindow(const QString& link) override { calls << QStringLiteral("new ") + link; }
    void startProgram(const QString& program, const QStringList& args) override {
        calls << (QStringList{QStringLiteral("start"), program} + args).join(u' ');
    }
};
