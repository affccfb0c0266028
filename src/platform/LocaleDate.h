#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Reads a date with an optional time the way the user's locale writes it: the short date
// format's order of day, month and year, its date separator, "/" or "-" as separators too,
// and a time "h:mm[:ss[.zzz]]" with an optional AM/PM after a blank. A date that starts with a
// four-digit year is read year first in every locale. Two-digit years fall in 1950..2049;
// a date without a year takes the current one. Throws PinletError
// "'<text>' is not a valid date and time".
QDateTime parseLocaleDateTime(const QString& text, const QLocale& locale = QLocale());
