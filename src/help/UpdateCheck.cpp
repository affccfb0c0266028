#include "UpdateCheck.h"

#include "ProductInfo.h"
#include "ProductSite.h"
#include "ProgramFolder.h"
#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace {
int g_timeoutMs = 20000;

QString versionCopyPath() { return dataFolder() + QStringLiteral("update/v.ini"); }
} // namespace

QString ShortDateText(const QLocale& locale, QDate date) { return locale.toString(date, QLocale::ShortFormat); }

bool IsCheckDay(const QString& dateText) {
    QString t = dateText;
    t.remove(u'-');
    t.remove(u'/');
    const QString last = t.right(2);
    return last == QLatin1String("10") || last == QLatin1String("20");
}

std::optional<qint64> VersionFromFile(const QByteArray& text) {
    int end = text.indexOf('\n');
    QByteArray line = end < 0 ? text : text.left(end);
    line = line.trimmed();
    if (line.isEmpty() || !std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 v = line.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

bool NamesNewerVersion(const QByteArray& text) {
    const std::optional<qint64> v = VersionFromFile(text);
    return v && *v > product::Version.toLongLong();
}

CheckForUpdate::CheckForUpdate(QObject* parent) : QObject(parent), m_http(new QNetworkAccessManager(this)) {
    setObjectName(QStringLiteral("HTTPFiles"));
}

void CheckForUpdate::setTimeoutMs(int ms) { g_timeoutMs = ms; }

int CheckForUpdate::timeoutMs() { return g_timeoutMs; }

void CheckForUpdate::start() {
    if (m_reply)
        return;
    QNetworkRequest request{QUrl(versionFileUrl())};
    request.setRawHeader("Accept", "text/html, */*");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    request.setTransferTimeout(g_timeoutMs);
    m_reply = m_http->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxBytes && m_reply)
            m_reply->abort();
    });
    connect(m_reply, &QNetworkReply::finished, this, &CheckForUpdate::done);
    // The transfer time-out only measures silence: a site that trickles bytes is cut off too.
    QTimer::singleShot(3 * g_timeoutMs, m_reply, [reply = m_reply] {
        if (reply && reply->isRunning())
            reply->abort();
    });
}

void CheckForUpdate::done() {
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    bool newer = false;
    if (reply->error() == QNetworkReply::NoError) {
        const QByteArray body = reply->read(kMaxBytes + 1);
        QDir().mkpath(QFileInfo(versionCopyPath()).path());
        QSaveFile copy(versionCopyPath());
        if (body.size() <= kMaxBytes && copy.open(QIODevice::WriteOnly)) {
            copy.write(body + '\n');
            if (copy.commit()) {
                // The check judges the copy it keeps, as the updater would see it.
                QFile saved(versionCopyPath());
                if (saved.open(QIODevice::ReadOnly))
                    newer = NamesNewerVersion(saved.read(kMaxBytes + 1));
            }
        }
    }
    emit finished(newer);
}

void LaunchUpdater() { Shell::instance().startProgram(programFolder() + QStringLiteral("PinletUpdate"), {}); }

bool UpdateTrigger(QObject* owner, const QString& dateText) {
    if (!IsCheckDay(dateText))
        return false;
    if (auto* running = owner->findChild<CheckForUpdate*>(QString(), Qt::FindDirectChildrenOnly);
        running && running->running())
        return false;
    auto* check = new CheckForUpdate(owner);
    QObject::connect(check, &CheckForUpdate::finished, check, [check](bool newer) {
        if (newer)
            LaunchUpdater();
        check->deleteLater();
    });
    check->start();
    return true;
}
