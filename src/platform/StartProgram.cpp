#include "StartProgram.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool startProgram(const QString& program, const QString& folder) {
    if (program.trimmed().isEmpty())
        return false;
    QString path = program;
    if (!QDir::isAbsolutePath(path) && !path.contains(u"://")) {
        const QString local = QDir(folder).filePath(path);
        if (QFileInfo::exists(local))
            path = local;
    }
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    if (info.exists())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (program.contains(u"://"))
        return QDesktopServices::openUrl(QUrl(program));
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && QProcess::startDetached(found, {}, folder);
}

bool openLink(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}
