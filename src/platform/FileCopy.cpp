#include "FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool copyFileAtomic(const QString& source, const QString& target, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in.errorString());
    const QFileInfo old(target);
    const QFile::Permissions mode = old.exists() ? QFile::permissions(target) : in.permissions();
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    char buffer[65536];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0)
            return fail(in.errorString());
        if (n == 0)
            break;
        if (out.write(buffer, n) != n)
            return fail(out.errorString());
    }
    if (!out.setPermissions(mode))
        return fail(out.errorString());
    if (!out.commit())
        return fail(out.errorString());
    return true;
}
