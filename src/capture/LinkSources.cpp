#include "LinkSources.h"

#include "TitleDash.h"

#include "BrowserProbe.h"
#include "IniFile.h"
#include "ShortcutFile.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr int kMaxTitle = 1023;
constexpr int kMaxTarget = 260;
// An Internet shortcut is a few lines; a larger file of that name is not read into memory.
constexpr qint64 kMaxShortcutFile = 1 << 20;

bool isWebLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp"));
}

// "url\ntitle" pairs, one after the other, as Firefox and Chromium put links on the drag.
QList<QPair<QString, QString>> linkTitlePairs(const QString& text) {
    QList<QPair<QString, QString>> pairs;
    const QStringList lines = QString(text).remove(u'\r').remove(QChar(0)).split(u'\n');
    for (int i = 0; i < lines.size(); i += 2)
        if (!lines[i].trimmed().isEmpty())
            pairs.append({lines[i].trimmed(), i + 1 < lines.size() ? lines[i + 1].trimmed() : QString()});
    return pairs;
}

QString mozUrlText(const QByteArray& bytes) {
    // Firefox writes text/x-moz-url in UTF-16; take UTF-8 where it plainly is not.
    if (bytes.size() >= 2 && bytes.size() % 2 == 0 && (bytes[1] == '\0' || bytes.startsWith("\xff\xfe")))
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2)
            .remove(QChar(0xFEFF));
    return QString::fromUtf8(bytes);
}

} // namespace

QString LinkFromFile(const QString& path) {
    if (path.endsWith(QLatin1String(".url"), Qt::CaseSensitive)) {
        if (QFileInfo(path).size() > kMaxShortcutFile)
            return path;
        const auto url = IniDocument::load(path).value(QStringLiteral("InternetShortcut"), QStringLiteral("URL"));
        return url ? *url : path;
    }
    if (path.endsWith(QLatin1String(".lnk"), Qt::CaseSensitive))
        return ResolveLink(path);
    return path;
}

QString ResolveLink(const QString& path) {
    const auto target = ShortcutTarget(path);
    return target ? target->left(kMaxTarget) : kUnresolvedLink;
}

QString FileNamePart(const QString& path) {
    QString p = path;
    // A dropped folder may come with a closing separator.
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p.mid(p.lastIndexOf(u'/') + 1);
}

QString TitleBeforeLastDash(const QString& title) {
    const int dash = title.lastIndexOf(u'-');
    if (dash < 0)
        return title;
    QString t = title.left(dash);
    if (t.endsWith(u' '))
        t.chop(1);
    return t;
}

QString CleanPageTitle(const QString& title) {
    if (title.contains(QLatin1String("YouTube - Broadcast Yourself."), Qt::CaseInsensitive))
        return TitleBeforeLastDash(title);
    QString t = title;
    t.remove(QStringLiteral("YouTube - "), Qt::CaseInsensitive);
    if (t.isEmpty())
        return {};
    const int dash = t.indexOf(u'-', 1);
    QString u = dash < 0 ? t : t.left(dash);
    if (u.endsWith(u' '))
        u.chop(1);
    return u;
}

namespace {
QString titleOf(const std::optional<BrowserWindowInfo>& window) {
    return window ? window->title.left(kMaxTitle) : QString();
}
QString addressOf(const std::optional<BrowserWindowInfo>& window) {
    return window ? BrowserAddress(*window).left(kMaxTitle) : QString();
}
} // namespace

QString ReadBrowserTitle() { return titleOf(FrontBrowserWindow()); }

QString ReadBrowserAddress() { return addressOf(FrontBrowserWindow()); }

EditorFields FieldsFromFrontBrowser() {
    const auto window = FrontBrowserWindow();
    const QString title = titleOf(window);
    return FieldsFromBrowser(title, title.isEmpty() ? QString() : addressOf(window));
}

EditorFields FieldsFromBrowser(const QString& title, const QString& address) {
    // Firefox sets its name off with an em or en dash: read that last separator as the hyphen
    // the title rules cut at, and leave dashes inside the page's own title alone.
    QString t = title;
    if (const int dash = LastTitleDash(t); dash >= 0)
        t[dash] = u'-';
    return {CleanPageTitle(t), TitleBeforeLastDash(t), address};
}

QList<DroppedItem> DroppedItems(const QMimeData* data) {
    QList<DroppedItem> items;
    if (!data)
        return items;
    // Titles of dragged links, from whichever of the browsers' own formats the drag offers.
    QHash<QString, QString> titles;
    QList<QPair<QString, QString>> offered;
    if (data->hasFormat(QStringLiteral("text/x-moz-url")))
        offered += linkTitlePairs(mozUrlText(data->data(QStringLiteral("text/x-moz-url"))));
    if (data->hasFormat(QStringLiteral("_NETSCAPE_URL")))
        offered += linkTitlePairs(QString::fromUtf8(data->data(QStringLiteral("_NETSCAPE_URL"))));
    for (const auto& [link, title] : offered)
        if (!title.isEmpty() && !titles.contains(link))
            titles.insert(link, title);

    QList<QUrl> urls = data->urls();
    if (urls.isEmpty())
        for (const auto& pair : offered)
            urls.append(QUrl(pair.first));
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            const QString path = url.toLocalFile();
            if (!path.isEmpty())
                items.append({path, {}, {}});
        } else if (isWebLink(url)) {
            const QString link = url.toString(QUrl::FullyEncoded);
            QString title = titles.value(link);
            if (title.isEmpty())
                title = titles.value(url.toString());
            items.append({{}, link, title});
        }
    }
    return items;
}

EditorFields FieldsFromDrop(const QString& droppedFile, const QString& title) {
    if (droppedFile.startsWith(u'/')) {
        const QString name = FileNamePart(droppedFile);
        return {name, name, LinkFromFile(droppedFile)};
    }
    const QString text = title.isEmpty() ? droppedFile : title;
    return {text, text, droppedFile};
}
