#pragma once

#include <QString>

// Browsers end their window titles with their own name after a dash set in blanks: Chromium
// uses a hyphen ("Page - Chromium"), Firefox an em dash ("Page — Mozilla Firefox") and some
// of its versions an en dash ("Page – Mozilla Firefox").
//
// The index of the dash of the last " - ", " – " or " — " in title, or -1 when there is none.
int LastTitleDash(const QString& title);
