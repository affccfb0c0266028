#pragma once

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QLocale;
class QNetworkAccessManager;
#include <QNetworkReply>

// Today's date as the user's locale writes it short, the text the check day is read from.
QString ShortDateText(const QLocale& locale, QDate date);
// Whether the update check runs on a day with this date text: without its "-" and "/", the
// text ends in "10" or "20".
bool IsCheckDay(const QString& dateText);
// The version number of a version file: its first line as a decimal number; nothing when the
// line is anything else (an HTML page served in its place, an empty file).
std::optional<qint64> VersionFromFile(const QByteArray& text);
// Whether a version file names a release newer than this build.
bool NamesNewerVersion(const QByteArray& text);

// Asks the product's web site for the newest version, without blocking the window. The
// fetched file is kept as update/v.ini in the data folder (the update folder must exist).
// finished(newer) comes once: false for every failure, silently.
class CheckForUpdate : public QObject {
    Q_OBJECT
public:
    explicit CheckForUpdate(QObject* parent = nullptr);
    void start();
    bool running() const { return m_reply != nullptr; }

    // Time allowed without data, and three times that for the whole answer; tests shorten it.
    static void setTimeoutMs(int ms);
    static int timeoutMs();
    // The largest version file taken; a larger answer is no version file.
    static constexpr qint64 kMaxBytes = 64 * 1024;

signals:
    void finished(bool newer);

private:
    void done();
    QNetworkAccessManager* m_http;
    QPointer<QNetworkReply> m_reply;
};

// Starts PinletUpdate from the program folder and does not wait for it.
void LaunchUpdater();

// The check of the main window's show: on a check day, starts a check under owner (unless
// one is still running there) that launches the updater when the site names a newer
// version. Returns whether a check started.
bool UpdateTrigger(QObject* owner, const QString& dateText);
