#pragma once

#include <QString>

// Why a category name cannot be kept, or empty text when it can. A favorite's record keeps
// only 10 bytes of its category, and the settings file holds the names as keys: a name that
// breaks either would lose its favorites at the next start.
QString CategoryNameProblem(const QString& name);
