#pragma once

#include <QString>

// Copies source over target atomically: the data goes to a temporary file beside target,
// which then takes the replaced file's mode (or the source's when target is new) and is
// renamed over target. A running program keeps its old file. False on any failure; target
// is then unchanged. error, when given, receives the reason.
bool copyFileAtomic(const QString& source, const QString& target, QString* error = nullptr);
