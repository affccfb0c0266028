#include "Store.h"

#include "AppState.h"
#include "ProductInfo.h"
#include "ProgramFolder.h"
#include "RecordFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

QString ConfigPath() { return dataFolder() + product::ConfigFileName; }

QString FavDataPath() { return dataFolder() + product::FavDataFileName; }

IniFile configFile() { return IniFile(ConfigPath()); }

void CreateFavDataWhenMissing() {
    if (!QFileInfo::exists(FavDataPath()))
        RecordFile::create(FavDataPath());
}

void AppendFavorite() {
    RecordFile f(FavDataPath(), FavoriteRecord::Size);
    f.open();
    f.seek(f.size());
    f.write(appState().CurrentFavorite.data());
}

void ForEachFavorite(const std::function<void()>& visit) {
    RecordFile f(FavDataPath(), FavoriteRecord::Size);
    f.open();
    while (!f.atEnd()) {
        f.readNext(appState().CurrentFavorite.data());
        visit();
    }
}

int FindFavoriteById(qint32 id) {
    RecordFile f(FavDataPath(), FavoriteRecord::Size);
    f.open();
    int count = 0;
    while (!f.atEnd()) {
        f.readNext(appState().CurrentFavorite.data());
        ++count;
        if (appState().CurrentFavorite.id() == id)
            return count;
    }
    return 0;
}

void OverwriteFavorite(int count) {
    RecordFile f(FavDataPath(), FavoriteRecord::Size);
    f.open();
    f.seek(count - 1);
    f.write(appState().CurrentFavorite.data());
}

int RenameCategoryInRecords(const QString& oldName, const QString& newName) {
    const QByteArray old = oldName.toUtf8();
    RecordFile f(FavDataPath(), FavoriteRecord::Size);
    f.open();
    FavoriteRecord& rec = appState().CurrentFavorite;
    int rewritten = 0;
    while (!f.atEnd()) {
        const qint64 k = f.position();
        f.readNext(rec.data());
        if (rec.bytes(FavoriteRecord::Field::Category) == old) {
            rec.setCategory(newName);
            f.seek(k);
            f.write(rec.data());
            ++rewritten;
        }
    }
    return rewritten;
}

void ReadCategories(QStringList& list) {
    list.clear();
    QSet<QString> seen;
    for (const QString& key : configFile().readSection(QStringLiteral("Categories"))) {
        const QString folded = key.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        list.append(key);
    }
}

void WriteCategories() {
    const IniFile ini = configFile();
    IniDocument doc = ini.load();
    for (const QString& name : appState().CategoryList)
        doc.setInteger(QStringLiteral("Categories"), name, 1);
    ini.save(doc);
}

int NextFavoriteID() {
    const IniFile ini = configFile();
    IniDocument doc = ini.load();
    int v = doc.readInteger(QStringLiteral("FavID"), QStringLiteral("NewID"), 0);
    // A counter behind the file (a lost or replaced Config.INI) would hand out an ID that a
    // favorite already has, and one of the two would not show at the next start.
    if (QFileInfo::exists(FavDataPath())) {
        RecordFile f(FavDataPath(), FavoriteRecord::Size);
        f.open();
        FavoriteRecord rec;
        while (!f.atEnd()) {
            f.readNext(rec.data());
            if (rec.id() >= v && rec.id() < INT32_MAX)
                v = rec.id() + 1;
        }
    }
    doc.setInteger(QStringLiteral("FavID"), QStringLiteral("NewID"), v + 1);
    ini.save(doc);
    return v;
}

namespace {

// The value as the kind writes it back, or nothing when it does not convert.
std::optional<QString> convertValue(const QString& value, int kind) {
    const QLocale locale;
    switch (kind) {
    case 0: {
        const auto v = parseIniInteger(value);
        if (!v)
            return std::nullopt;
        return QString::number(*v != 0 ? 1 : 0);
    }
    case 1: {
        const auto v = parseIniInteger(value);
        if (!v)
            return std::nullopt;
        return QString::number(*v);
    }
    case 2:
        return value;
    case 3:
        if (!locale.toDate(value, QLocale::ShortFormat).isValid())
            return std::nullopt;
        return value;
    case 4:
        if (!locale.toTime(value, QLocale::ShortFormat).isValid() && !locale.toTime(value, QLocale::LongFormat).isValid())
            return std::nullopt;
        return value;
    case 5:
        if (!locale.toDateTime(value, QLocale::ShortFormat).isValid())
            return std::nullopt;
        return value;
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return QString::number(d, 'g', 15);
    }
    }
}

} // namespace

bool RenameIniKey(const QString& path, const QString& section, const QString& oldKey, int valueKind,
                  const QString& newKey) {
    if (!QFileInfo::exists(path))
        return false;
    const IniFile ini(path);
    IniDocument doc = ini.load();
    if (!doc.sectionExists(section))
        return false;
    auto pairs = doc.pairs(section);
    bool found = false;
    for (auto& [key, value] : pairs) {
        if (!found && key.compare(oldKey, Qt::CaseInsensitive) == 0) {
            key = newKey;
            found = true;
        }
        const auto converted = convertValue(value, valueKind);
        if (!converted)
            return false;
        value = *converted;
    }
    if (!found)
        return false;
    doc.replaceSection(section, pairs);
    try {
        ini.save(doc);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
