#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// Parses an integer the way the settings file has always been read: blanks, a sign, decimal
// digits or "$"/"0x" followed by hex digits (hex wraps into 32 bits).
std::optional<int> parseIniInteger(const QString& text);

// One settings file held in memory, line by line. Untouched lines keep their bytes.
// Names of sections and keys compare without regard to case; the first match wins.
class IniDocument {
public:
    static IniDocument load(const QString& path);
    // Replaces the file at path atomically; throws PinletError("Unable to write to <path>").
    void save(const QString& path) const;

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;

    // An existing key is replaced in place; a new key goes to the end of its section; a new
    // section to the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);
    void setInteger(const QString& section, const QString& key, int value);
    void deleteKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);
    // Rewrites the body of a section with these pairs, keeping the section where it stands
    // (a missing section is added at the end).
    void replaceSection(const QString& section, const QList<QPair<QString, QString>>& pairs);

    QStringList keys(const QString& section) const;
    QList<QPair<QString, QString>> pairs(const QString& section) const;
    QStringList sections() const;

private:
    int findSection(const QString& section) const;
    int sectionEnd(int header) const;
    int findKey(const QString& section, const QString& key) const;
    QByteArray newline() const { return m_crlf ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n"); }

    QList<QByteArray> m_lines;
    bool m_crlf = false;
    bool m_bom = false;
};

// The settings file by path: every call reads the file, and every write replaces it at once.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    IniDocument load() const { return IniDocument::load(m_path); }
    void save(const IniDocument& doc) const { doc.save(m_path); }

    int readInteger(const QString& section, const QString& key, int def) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    bool valueExists(const QString& section, const QString& key) const;
    bool sectionExists(const QString& section) const;
    QStringList readSection(const QString& section) const;
    QList<QPair<QString, QString>> readSectionValues(const QString& section) const;
    QStringList readSections() const;

    void writeInteger(const QString& section, const QString& key, int value) const;
    void writeString(const QString& section, const QString& key, const QString& value) const;
    void deleteKey(const QString& section, const QString& key) const;
    void eraseSection(const QString& section) const;

private:
    QString m_path;
};
