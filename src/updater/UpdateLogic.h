#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The program-folder-relative path that an update list's section name stands for, with "\"
// read as "/". Empty when the name would lead outside the program folder (absolute paths,
// drive letters, ".." segments) or is no usable file name.
std::optional<QString> safeUpdateName(const QString& section);

// The file's last-modified time in local time; nothing when there is no such file.
std::optional<QDateTime> GetFileDate(const QString& path);

// True when the list's date text is later than the installed file's time. Throws
// PinletError "'<text>' is not a valid date and time" when the text cannot be read.
bool listDateIsLater(const QString& listDate, const QDateTime& installed);
