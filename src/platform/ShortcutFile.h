#pragma once

#include <QString>
#include <optional>

// The target of a Windows shortcut (.lnk) file: its local path, else its network path, else
// its relative path. Nothing when the file cannot be read, is no valid shortcut or holds no path.
std::optional<QString> ShortcutTarget(const QString& path);
