#include "CategoryName.h"

#include "FavoriteRecord.h"

QString CategoryNameProblem(const QString& name) {
    const int max = FavoriteRecord::maxLength(FavoriteRecord::Field::Category);
    if (name.toUtf8().size() > max)
        return QStringLiteral("The category name \"%1\" is too long: a category name can have at most %2 bytes "
                              "(%2 letters without accents).")
            .arg(name)
            .arg(max);
    if (name.contains(u'=') || name.contains(u'[') || name.contains(u']') || name.contains(u'\n') ||
        name.contains(u'\r') || name.startsWith(u';') || name.trimmed() != name)
        return QStringLiteral("The category name \"%1\" cannot be used: a category name cannot contain \"=\", "
                              "\"[\", \"]\" or a line break, begin with \";\", or begin or end with a blank.")
            .arg(name);
    return {};
}
