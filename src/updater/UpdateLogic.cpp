#include "UpdateLogic.h"

#include "LocaleDate.h"

#include <QFileInfo>
#include <QStringList>

std::optional<QString> safeUpdateName(const QString& section) {
    QString name = section.trimmed();
    name.replace(u'\\', u'/');
    if (name.isEmpty() || name.startsWith(u'/') || name.endsWith(u'/'))
        return std::nullopt;
    // "C:..." is a drive on the systems the lists come from.
    if (name.size() >= 2 && name.at(1) == u':')
        return std::nullopt;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return std::nullopt;
    const QStringList parts = name.split(u'/');
    for (const QString& part : parts)
        if (part.isEmpty() || part == u"." || part == u"..")
            return std::nullopt;
    return name;
}

std::optional<QDateTime> GetFileDate(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return info.lastModified();
}

bool listDateIsLater(const QString& listDate, const QDateTime& installed) {
    return parseLocaleDateTime(listDate) > installed;
}
