#include "FavHint.h"

QString MakeFavHint(const QString& name, const QString& url, const QString& comment) {
    return QStringLiteral("Name:") + name + QStringLiteral("\r\nPath:") + url + QStringLiteral("\r\nCMT:") + comment;
}

QString ExtractUrl(const QString& hint) {
    int p = hint.indexOf(QLatin1String("Path:"));
    if (p < 0)
        return {};
    p += 5;
    const int q = hint.indexOf(QLatin1String("CMT:"), p);
    if (q < 0)
        return {};
    return hint.mid(p, q - p);
}

QString LinkFromHint(const QString& hint) { return ExtractUrl(hint).remove(QStringLiteral("\r\n")); }

bool IsVideoLink(const QString& url) {
    return url.contains(QLatin1String("youtube."), Qt::CaseInsensitive) &&
           url.contains(QLatin1String("watch"), Qt::CaseInsensitive);
}

bool CanDownloadVideo(const QString& url) {
    return url.contains(QLatin1String("youtube."), Qt::CaseInsensitive) && url.contains(u'/');
}

int EditorUrlFieldWidth(bool videoButtonShown) { return videoButtonShown ? 289 : 409; }
