#pragma once

#include <QList>
#include <QString>

class QMimeData;

// Turning files, browser windows and dragged links into the editor's name, comment and URL.
// None of this needs a window.

inline const QString kUnresolvedLink = QStringLiteral("unable to resolve link");

// The link a file yields: the URL of an Internet shortcut (".url"), the target of a Windows
// shortcut (".lnk"), else the path itself. The endings compare exactly, letter case included.
QString LinkFromFile(const QString& path);
// The target of a ".lnk" file (at most 260 characters), or "unable to resolve link".
QString ResolveLink(const QString& path);
// The last part of a path, extension included.
QString FileNamePart(const QString& path);

// The text before the last "-" of a title, without one blank at its end; a title without "-"
// unchanged.
QString TitleBeforeLastDash(const QString& title);
// The favorite name made from a browser title: "YouTube - " prefixes gone and the browser's own
// name after the first dash cut off.
QString CleanPageTitle(const QString& title);

// The front-most browser window's title and the address it shows (each at most 1023
// characters); empty when there is none.
QString ReadBrowserTitle();
QString ReadBrowserAddress();

struct EditorFields {
    QString name;
    QString comment;
    QString url;
};
EditorFields FieldsFromBrowser(const QString& title, const QString& address);
// The fields from the front-most browser window: its title and address read from the same
// window, found once.
EditorFields FieldsFromFrontBrowser();

// One thing dropped: a local file or folder, or a web link with the title the drag carried.
struct DroppedItem {
    QString path;
    QString link;
    QString title;
    bool isFile() const { return !path.isEmpty(); }
    // How the item travels to an editor in DroppedFile: the path, or the link.
    QString handOver() const { return isFile() ? path : link; }
};
// The files and web links of a drag, in the order of the drag; empty when it holds neither.
QList<DroppedItem> DroppedItems(const QMimeData* data);
// The editor's fields for a dropped item. What DroppedFile holds: a local path, or a web link
// (title then comes with it, empty when the drag carried none).
EditorFields FieldsFromDrop(const QString& droppedFile, const QString& title = QString());
