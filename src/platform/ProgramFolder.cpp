#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {
QString g_testFolder;

QString withSlash(QString path) {
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}
} // namespace

QString programFolder() {
    if (!g_testFolder.isEmpty())
        return g_testFolder;
    return withSlash(QCoreApplication::applicationDirPath());
}

QString dataFolder() {
    const QString folder = programFolder();
    if (!g_testFolder.isEmpty() || ::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return folder;
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (xdg.isEmpty() || !QDir::isAbsolutePath(xdg))
        xdg = QDir::homePath() + QStringLiteral("/.local/share");
    const QString data = withSlash(xdg) + QStringLiteral("Pinlet/");
    QDir().mkpath(data);
    return data;
}

void setProgramFolderForTesting(const QString& folder) { g_testFolder = folder.isEmpty() ? folder : withSlash(folder); }
