#include "FavoriteRecord.h"

#include "Utf8.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

qint32 FavoriteRecord::id() const { return qFromLittleEndian<qint32>(m_bytes.data()); }

void FavoriteRecord::setId(qint32 id) { qToLittleEndian<qint32>(id, m_bytes.data()); }

QByteArray FavoriteRecord::bytes(Field f) const {
    const int at = offset(f);
    const int len = std::min<int>(m_bytes[at], maxLength(f));
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()) + at + 1, len);
}

void FavoriteRecord::setText(Field f, const QString& text) {
    const QByteArray b = utf8::cut(text, maxLength(f));
    const int at = offset(f);
    m_bytes[at] = static_cast<unsigned char>(b.size());
    std::memcpy(m_bytes.data() + at + 1, b.constData(), b.size());
}
