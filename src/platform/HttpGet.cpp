#include "HttpGet.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

HttpGetResult httpGet(const QString& url, int silenceMs, const QList<QPair<QByteArray, QByteArray>>& headers,
                      qint64 maxBytes, int totalMs) {
    HttpGetResult result;
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || u.host().isEmpty() || (u.scheme() != u"http" && u.scheme() != u"https")) {
        result.error = QStringLiteral("Invalid URL: %1").arg(url);
        return result;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(u);
    for (const auto& h : headers)
        request.setRawHeader(h.first, h.second);
    QPointer<QNetworkReply> reply = manager.get(request);
    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    bool timedOut = false;
    bool tooLarge = false;
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        silence.start(silenceMs);
        if (received > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer overall;
    overall.setSingleShot(true);
    QObject::connect(&overall, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    silence.start(silenceMs);
    overall.start(totalMs);
    if (!reply->isFinished())
        loop.exec();
    silence.stop();
    overall.stop();
    if (timedOut)
        result.error = QStringLiteral("Timed out");
    else if (tooLarge)
        result.error = QStringLiteral("Answer too large");
    else if (reply->error() != QNetworkReply::NoError)
        result.error = reply->errorString();
    else {
        result.ok = true;
        result.body = reply->readAll();
    }
    reply->deleteLater();
    return result;
}
