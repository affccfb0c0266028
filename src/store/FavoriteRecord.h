#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// One 628-byte record of Fav.Dat, packed and little-endian:
//   0 ID (int32, negative = removed) | 4 Category (1+10) | 15 Name (1+255) | 271 Url (1+255) | 527 Comment (1+100)
// Each text is a length byte and UTF-8 bytes. Bytes past a text's length are not significant
// and are left as they were, as the program has always done.
class FavoriteRecord {
public:
    static constexpr int Size = 628;
    enum class Field { Category, Name, Url, Comment };
    static constexpr int offset(Field f) {
        return f == Field::Category ? 4 : f == Field::Name ? 15 : f == Field::Url ? 271 : 527;
    }
    static constexpr int maxLength(Field f) {
        return f == Field::Category ? 10 : f == Field::Comment ? 100 : 255;
    }

    qint32 id() const;
    void setId(qint32 id);

    // The stored bytes of a field; a damaged length byte above the field's maximum reads as it.
    QByteArray bytes(Field f) const;
    QString text(Field f) const { return QString::fromUtf8(bytes(f)); }
    // Stores the first maxLength(f) bytes of text, never splitting a character.
    void setText(Field f, const QString& text);

    QString category() const { return text(Field::Category); }
    QString name() const { return text(Field::Name); }
    QString url() const { return text(Field::Url); }
    QString comment() const { return text(Field::Comment); }
    void setCategory(const QString& t) { setText(Field::Category, t); }
    void setName(const QString& t) { setText(Field::Name, t); }
    void setUrl(const QString& t) { setText(Field::Url, t); }
    void setComment(const QString& t) { setText(Field::Comment, t); }

    char* data() { return reinterpret_cast<char*>(m_bytes.data()); }
    const char* data() const { return reinterpret_cast<const char*>(m_bytes.data()); }
    void clear() { m_bytes.fill(0); }

private:
    std::array<unsigned char, Size> m_bytes{};
};
