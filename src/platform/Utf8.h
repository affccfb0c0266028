#pragma once

#include <QByteArray>
#include <QString>

// Limits of the stored formats count bytes; these cuts never split a UTF-8 character.
namespace utf8 {
QByteArray cut(const QByteArray& bytes, int maxBytes);
QByteArray cut(const QString& text, int maxBytes);
QString cutText(const QString& text, int maxBytes);
} // namespace utf8
