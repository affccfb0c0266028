#pragma once

#include <QString>

// Starting the program with the desktop session: the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/Pinlet.desktop (default ~/.config/autostart). Every operation
// fails silently, as the settings dialog wants.
namespace autostart {
QString entryPath();
// True when the entry exists, is not hidden, and its Exec contains program, ignoring case.
bool isEnabledFor(const QString& program);
// Writes the entry so that the session starts program with the given argument.
bool enable(const QString& program, const QString& argument);
// Deletes the entry; a missing one is fine.
void disable();
} // namespace autostart
