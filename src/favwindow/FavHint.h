#pragma once

#include <QString>

// The hint of a favorite button: "Name:" name CR LF "Path:" url CR LF "CMT:" comment.
QString MakeFavHint(const QString& name, const QString& url, const QString& comment);
// The text between the first "Path:" and the first "CMT:" after it (the link and its CR LF),
// or empty text when either is missing.
QString ExtractUrl(const QString& hint);
// ExtractUrl without its line breaks: the link as the menus and the click hand it on.
QString LinkFromHint(const QString& hint);
// Whether a link is a video page that the download page can take.
bool IsVideoLink(const QString& url);
// Whether the editor's "Download Video" is enabled for the text of its URL field.
bool CanDownloadVideo(const QString& url);
// Width of the editor's URL field: narrower when "Download Video" stands beside it.
int EditorUrlFieldWidth(bool videoButtonShown);
