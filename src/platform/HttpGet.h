#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct HttpGetResult {
    bool ok = false;
    QByteArray body;
    QString error;
};

// Fetches url with GET. The window keeps handling its messages meanwhile (a local event
// loop runs). Fails on any network or HTTP error, when nothing arrives for silenceMs, when the
// whole fetch takes longer than totalMs, or when the body grows past maxBytes.
HttpGetResult httpGet(const QString& url, int silenceMs, const QList<QPair<QByteArray, QByteArray>>& headers = {},
                      qint64 maxBytes = 8 * 1024 * 1024, int totalMs = 120000);
