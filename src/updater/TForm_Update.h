#pragma once

#include "HttpDownload.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

// The update wizard: choose a server, fetch its update list, download what is newer, stop
// the main program, put the files in place and start it again.
class TForm_Update : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Update(QWidget* parent = nullptr);
    ~TForm_Update() override;

    // Handlers, named after their controls and events.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void ListBox_serversClick();
    void btn_nextClick();
    void btn_preClick();
    void Button1Click();
    void Button2Click();
    void Notebook_stepPageChanged();
    bool FormCloseQuery();
    void FormClose();

    bool DownloadUpdateList();

    QString ProgramFolder;
    QString ListName;
    QStringList FileList;
    bool CanFinish = true;
    bool UpdateFound = false;

    HttpDownloader& downloader() { return m_download; }
    bool passRunning() const { return m_passRunning; }
    // The status image of a row of the file list; -1 for none.
    int imageIndex(int row) const;

    // Seams to the world outside the window, replaced by tests.
    // Ends the updater; atOnce: without any further step (the process ends where it stands).
    std::function<void(int code, bool atOnce)> endProgram;
    std::function<bool(const QString& url)> openUrl;
    std::function<bool(const QString& program, const QString& folder)> startExe;
    // The main program's executable name, and how long to wait for it to end.
    QString mainProgramName = QStringLiteral("Pinlet");
    int endProcessWaitMs = 5000;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void runPass();
    void finishStep();
    void stopAction();
    void setRowImage(int row, int index);
    void showProgress(qint64 received, qint64 remaining);
    QString updateFolder() const { return ProgramFolder + QStringLiteral("update/"); }

    HttpDownloader m_download;
    bool m_passRunning = false;
    bool m_ended = false;
    QList<QString> m_names; // per row: the safe relative name, empty when refused
    qint64 m_lastDraw = 0;

    QLabel* Image1 = nullptr;
    QStackedWidget* Notebook_step = nullptr;
    QWidget* pageDefault = nullptr;
    QWidget* pageNext = nullptr;
    QListWidget* ListBox_servers = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edt_url = nullptr;
    QTreeWidget* ListView_files = nullptr;
    QLabel* Label4 = nullptr;
    QProgressBar* Gauge_process = nullptr;
    QPushButton* btn_pre = nullptr;
    QPushButton* btn_next = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
