#include "IniFile.h"

#include "PinletError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

QString decode(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The section name of a header line, or nothing for other lines.
std::optional<QString> headerName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const int close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return decode(t.mid(1, close - 1)).trimmed();
}

struct KeyLine {
    QString key;
    QString value;
};

// A key ends at the first "=" of its line; comment lines and lines without "=" hold no key.
std::optional<KeyLine> keyLine(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('['))
        return std::nullopt;
    const int eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return KeyLine{decode(t.left(eq)).trimmed(), decode(t.mid(eq + 1)).trimmed()};
}

QByteArray makeLine(const QString& key, const QString& value) { return key.toUtf8() + '=' + value.toUtf8(); }

} // namespace

std::optional<int> parseIniInteger(const QString& text) {
    const QString s = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return std::nullopt;
    qint64 v = 0;
    for (; i < s.size(); ++i) {
        const int d = QChar(s[i]).isDigit() && s[i].unicode() < 128 ? s[i].unicode() - '0'
                      : base == 16 && s[i].toLower() >= u'a' && s[i].toLower() <= u'f'
                          ? s[i].toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0 || d >= base)
            return std::nullopt;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    if (base == 16) {
        const auto bits = static_cast<qint32>(static_cast<quint32>(v));
        return negative ? -bits : bits;
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

IniDocument IniDocument::load(const QString& path) {
    IniDocument doc;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return doc; // a missing or unreadable file reads as empty
    QByteArray all = f.readAll();
    if (all.startsWith(kBom)) {
        doc.m_bom = true;
        all.remove(0, kBom.size());
    }
    const int firstLf = all.indexOf('\n');
    doc.m_crlf = firstLf > 0 && all[firstLf - 1] == '\r';
    if (all.endsWith('\n'))
        all.chop(1);
    if (all.isEmpty())
        return doc;
    doc.m_lines = all.split('\n');
    for (QByteArray& line : doc.m_lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return doc;
}

void IniDocument::save(const QString& path) const {
    const PinletError refused(QStringLiteral("Unable to write to %1").arg(path));
    const QFileInfo info(path);
    // A read-only file stays read-only: replacing it by rename would slip past its mode.
    if (info.exists() && !info.isWritable())
        throw refused;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw refused;
    QByteArray out;
    if (m_bom)
        out += kBom;
    for (const QByteArray& line : m_lines)
        out += line + newline();
    if (f.write(out) != out.size() || !f.commit())
        throw refused;
}

int IniDocument::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = headerName(m_lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

int IniDocument::sectionEnd(int header) const {
    int i = header + 1;
    while (i < m_lines.size() && !headerName(m_lines[i]))
        ++i;
    return i;
}

int IniDocument::findKey(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0)
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto kl = keyLine(m_lines[i]);
        if (kl && sameName(kl->key, key))
            return i;
    }
    return -1;
}

bool IniDocument::sectionExists(const QString& section) const { return findSection(section) >= 0; }

bool IniDocument::valueExists(const QString& section, const QString& key) const {
    return findKey(section, key) >= 0;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const int i = findKey(section, key);
    if (i < 0)
        return std::nullopt;
    return keyLine(m_lines[i])->value;
}

QString IniDocument::readString(const QString& section, const QString& key, const QString& def) const {
    auto v = value(section, key);
    if (!v)
        return def;
    if (v->size() >= 2 && ((v->startsWith(u'"') && v->endsWith(u'"')) || (v->startsWith(u'\'') && v->endsWith(u'\''))))
        return v->mid(1, v->size() - 2);
    return *v;
}

int IniDocument::readInteger(const QString& section, const QString& key, int def) const {
    const auto v = value(section, key);
    if (!v)
        return def;
    return parseIniInteger(*v).value_or(def);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const int at = findKey(section, key);
    if (at >= 0) {
        // Keep the key as spelt in the file and its place; only the value changes.
        const QByteArray t = m_lines[at].trimmed();
        m_lines[at] = makeLine(decode(t.left(t.indexOf('='))).trimmed(), value);
        return;
    }
    const int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QByteArray());
        m_lines.append('[' + section.toUtf8() + ']');
        m_lines.append(makeLine(key, value));
        return;
    }
    int insert = sectionEnd(header);
    while (insert > header + 1 && m_lines[insert - 1].trimmed().isEmpty())
        --insert;
    m_lines.insert(insert, makeLine(key, value));
}

void IniDocument::setInteger(const QString& section, const QString& key, int value) {
    setValue(section, key, QString::number(value));
}

void IniDocument::deleteKey(const QString& section, const QString& key) {
    const int at = findKey(section, key);
    if (at >= 0)
        m_lines.removeAt(at);
}

void IniDocument::eraseSection(const QString& section) {
    const int header = findSection(section);
    if (header < 0)
        return;
    m_lines.erase(m_lines.begin() + header, m_lines.begin() + sectionEnd(header));
}

void IniDocument::replaceSection(const QString& section, const QList<QPair<QString, QString>>& pairs) {
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QByteArray());
        m_lines.append('[' + section.toUtf8() + ']');
        header = m_lines.size() - 1;
    }
    int end = sectionEnd(header);
    // Blank lines that separate this section from the next one stay.
    while (end > header + 1 && m_lines[end - 1].trimmed().isEmpty())
        --end;
    m_lines.erase(m_lines.begin() + header + 1, m_lines.begin() + end);
    int at = header + 1;
    for (const auto& [key, value] : pairs)
        m_lines.insert(at++, makeLine(key, value));
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    for (const auto& [key, value] : pairs(section))
        out.append(key);
    return out;
}

QList<QPair<QString, QString>> IniDocument::pairs(const QString& section) const {
    QList<QPair<QString, QString>> out;
    const int header = findSection(section);
    if (header < 0)
        return out;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto kl = keyLine(m_lines[i]);
        if (kl && !kl->key.isEmpty())
            out.append({kl->key, kl->value});
    }
    return out;
}

QStringList IniDocument::sections() const {
    QStringList out;
    for (const QByteArray& line : m_lines)
        if (const auto name = headerName(line))
            out.append(*name);
    return out;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    return load().readInteger(section, key, def);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return load().readString(section, key, def);
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    return load().valueExists(section, key);
}

bool IniFile::sectionExists(const QString& section) const { return load().sectionExists(section); }

QStringList IniFile::readSection(const QString& section) const { return load().keys(section); }

QList<QPair<QString, QString>> IniFile::readSectionValues(const QString& section) const {
    return load().pairs(section);
}

QStringList IniFile::readSections() const { return load().sections(); }

void IniFile::writeInteger(const QString& section, const QString& key, int value) const {
    IniDocument doc = load();
    doc.setInteger(section, key, value);
    save(doc);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const {
    IniDocument doc = load();
    doc.setValue(section, key, value);
    save(doc);
}

void IniFile::deleteKey(const QString& section, const QString& key) const {
    IniDocument doc = load();
    doc.deleteKey(section, key);
    save(doc);
}

void IniFile::eraseSection(const QString& section) const {
    IniDocument doc = load();
    doc.eraseSection(section);
    save(doc);
}
