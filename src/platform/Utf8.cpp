#include "Utf8.h"

namespace utf8 {

QByteArray cut(const QByteArray& bytes, int maxBytes) {
    if (maxBytes <= 0)
        return {};
    if (bytes.size() <= maxBytes)
        return bytes;
    // When the first byte past the limit continues a character, that character straddles the
    // limit: cut before its lead byte.
    int end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    return bytes.left(end);
}

QByteArray cut(const QString& text, int maxBytes) { return cut(text.toUtf8(), maxBytes); }

QString cutText(const QString& text, int maxBytes) { return QString::fromUtf8(cut(text, maxBytes)); }

} // namespace utf8
