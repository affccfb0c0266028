#pragma once

#include <QString>

// Starts a program and does not wait for it. A relative path is found in folder first. A
// file that is not executable, or a link, goes to the desktop's default handler.
// False when nothing could be started.
bool startProgram(const QString& program, const QString& folder);

// Opens a link with the desktop's default handler.
bool openLink(const QString& url);
