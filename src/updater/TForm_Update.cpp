#include "TForm_Update.h"

#include "Dialogs.h"
#include "EndProcess.h"
#include "ErrorReport.h"
#include "FileCopy.h"
#include "HttpGet.h"
#include "IniFile.h"
#include "PinletError.h"
#include "ProgramFolder.h"
#include "StartProgram.h"
#include "StatusImages.h"
#include "UpdateLogic.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStackedWidget>
#include <QTreeWidget>

#include <cstdlib>

#ifndef PINLET_SITE_URL
#define PINLET_SITE_URL "http://www.pinlet.example/"
#endif

namespace {
constexpr int kListTimeoutMs = 5000;
constexpr int kImageRole = Qt::UserRole + 1;

QString siteUrl() {
    const QString env = qEnvironmentVariable("PINLET_SITE");
    return env.isEmpty() ? QStringLiteral(PINLET_SITE_URL) : env;
}

template <class F> void guarded(F&& f) {
    runGuarded(std::forward<F>(f));
}
} // namespace

TForm_Update::TForm_Update(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form_Update"));
    endProgram = [this](int code, bool atOnce) {
        if (atOnce) {
            // What has arrived goes to its file; nothing else needs saving.
            m_download.flushPending();
            std::_Exit(code);
        }
        m_ended = true;
        hide();
        QCoreApplication::exit(code);
    };
    openUrl = [](const QString& url) { return openLink(url); };
    startExe = [](const QString& program, const QString& folder) { return startProgram(program, folder); };
    m_download.idle = [] { QCoreApplication::processEvents(); };
    m_download.progress = [this](qint64 received, qint64 remaining) { showProgress(received, remaining); };
    buildControls();
    guarded([this] { FormCreate(); });
}

TForm_Update::~TForm_Update() = default;

void TForm_Update::buildControls() {
    setWindowTitle(QStringLiteral("Pinlet Update"));
    setFixedSize(542, 251);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 12, 115, 229);
    Image1->setPixmap(sidePicture(115, 229));
    Image1->setAccessibleName(QStringLiteral("Pinlet Update"));

    Notebook_step = new QStackedWidget(this);
    Notebook_step->setObjectName(QStringLiteral("Notebook_step"));
    Notebook_step->setGeometry(141, 4, 401, 213);

    pageDefault = new QWidget;
    pageDefault->setObjectName(QStringLiteral("Default"));
    Notebook_step->addWidget(pageDefault);
    ListBox_servers = new QListWidget(pageDefault);
    ListBox_servers->setObjectName(QStringLiteral("ListBox_servers"));
    ListBox_servers->setGeometry(10, 24, 380, 134);
    ListBox_servers->setAccessibleName(QStringLiteral("Update servers"));
    {
        QPalette pal = ListBox_servers->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
        pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
        ListBox_servers->setPalette(pal);
    }
    GroupBox1 = new QGroupBox(pageDefault);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(2, 168, 396, 41);
    auto* urlLabel = new QLabel(QStringLiteral("Server URL"), GroupBox1);
    urlLabel->setObjectName(QStringLiteral("Label1"));
    urlLabel->setGeometry(8, 13, 70, 18);
    Edt_url = new QLineEdit(GroupBox1);
    Edt_url->setObjectName(QStringLiteral("Edt_url"));
    Edt_url->setGeometry(80, 13, 300, 18);
    urlLabel->setBuddy(Edt_url);

    pageNext = new QWidget;
    pageNext->setObjectName(QStringLiteral("nextpage"));
    Notebook_step->addWidget(pageNext);
    auto* heading = new QLabel(QStringLiteral("Update Progress"), pageNext);
    heading->setObjectName(QStringLiteral("Label3"));
    heading->move(16, 8);
    ListView_files = new QTreeWidget(pageNext);
    ListView_files->setObjectName(QStringLiteral("ListView_files"));
    ListView_files->setGeometry(16, 26, 369, 139);
    ListView_files->setRootIsDecorated(false);
    ListView_files->setUniformRowHeights(true);
    ListView_files->setAllColumnsShowFocus(true);
    ListView_files->setHeaderLabels(
        {QStringLiteral("File Name"), QStringLiteral("Modified"), QStringLiteral("Status")});
    ListView_files->setColumnWidth(1, 130);
    ListView_files->setColumnWidth(2, 88);
    ListView_files->header()->setStretchLastSection(false);
    ListView_files->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ListView_files->setAccessibleName(QStringLiteral("Files"));
    heading->setBuddy(ListView_files);
    Label4 = new QLabel(QStringLiteral("All files"), pageNext);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(18, 171, 367, 16);
    Gauge_process = new QProgressBar(pageNext);
    Gauge_process->setObjectName(QStringLiteral("Gauge_process"));
    Gauge_process->setGeometry(16, 190, 369, 17);
    Gauge_process->setAccessibleName(QStringLiteral("Download progress"));

    btn_pre = new QPushButton(QStringLiteral("&< Back"), this);
    btn_pre->setObjectName(QStringLiteral("btn_pre"));
    btn_pre->setGeometry(181, 224, 87, 23);
    btn_pre->setEnabled(false);
    btn_pre->setVisible(false);
    btn_next = new QPushButton(QStringLiteral("Start"), this);
    btn_next->setObjectName(QStringLiteral("btn_next"));
    btn_next->setGeometry(176, 224, 129, 23);
    btn_next->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("What's new"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(379, 224, 118, 23);
    // Lies beyond the window's right edge: closing the window is the visible way to stop.
    Button2 = new QPushButton(QStringLiteral("中断下载"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(618, 224, 87, 23);
    Button2->setAccessibleName(QStringLiteral("Stop download"));
    Button2->setEnabled(false);

    connect(ListBox_servers, &QListWidget::itemClicked, this, [this] { guarded([this] { ListBox_serversClick(); }); });
    connect(ListBox_servers, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            guarded([this] { ListBox_serversClick(); });
    });
    connect(btn_next, &QPushButton::clicked, this, [this] { guarded([this] { btn_nextClick(); }); });
    connect(btn_pre, &QPushButton::clicked, this, [this] { guarded([this] { btn_preClick(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(Notebook_step, &QStackedWidget::currentChanged, this,
            [this] { guarded([this] { Notebook_stepPageChanged(); }); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm_Update::FormCreate() {
    CanFinish = true;
    FileList.clear();
    Notebook_step->setCurrentIndex(0);
    ListBox_servers->clear();
    ProgramFolder = programFolder();
    const IniFile settings(ProgramFolder + QStringLiteral("Update.ini"));
    ListName = settings.readString(QStringLiteral("chis"), QStringLiteral("SubSys"), QString());
    const auto servers = settings.readSectionValues(QStringLiteral("update"));
    {
        const QSignalBlocker block(ListBox_servers);
        for (const auto& entry : servers)
            ListBox_servers->addItem(entry.first);
        ListBox_servers->setCurrentRow(-1);
    }
    if (!servers.isEmpty())
        Edt_url->setText(servers.first().second);
}

void TForm_Update::FormShow() {
    btn_next->setFocus();
}

void TForm_Update::FormActivate() {
    // The window keeps its fixed size; nothing to restore here on this desktop.
}

void TForm_Update::ListBox_serversClick() {
    Edt_url->clear();
    const int row = ListBox_servers->currentRow();
    if (row < 0)
        return;
    const auto servers =
        IniFile(ProgramFolder + QStringLiteral("Update.ini")).readSectionValues(QStringLiteral("update"));
    Edt_url->setText(row < servers.size() ? servers.at(row).second : QStringLiteral("http://"));
}

void TForm_Update::btn_nextClick() {
    if (btn_next->text() == u"Finish")
        finishStep();
    else
        runPass();
}

int TForm_Update::imageIndex(int row) const {
    const QTreeWidgetItem* item = ListView_files->topLevelItem(row);
    return item ? item->data(0, kImageRole).toInt() : -1;
}

void TForm_Update::setRowImage(int row, int index) {
    QTreeWidgetItem* item = ListView_files->topLevelItem(row);
    if (!item)
        return;
    item->setData(0, kImageRole, index);
    item->setIcon(0, statusImage(index));
    // The image alone tells the outcome; screen readers and tool tips get it in words.
    static const char* const words[] = {"Being processed", "Downloaded", "Download failed", "No update needed"};
    const QString word = index >= 0 && index < 4 ? QString::fromLatin1(words[index]) : QString();
    item->setData(0, Qt::AccessibleDescriptionRole, word);
    item->setToolTip(0, word);
}

void TForm_Update::showProgress(qint64 received, qint64 remaining) {
    // The gauge counts in int; large files are scaled down to fit.
    int shift = 0;
    while ((remaining >> shift) > 0x7fffffff)
        ++shift;
    Gauge_process->setMaximum(int(remaining >> shift));
    Gauge_process->setValue(int(received >> shift));
    Label4->setText(progressText(received, remaining));
    // Drawing every 4 KiB block would cost more than the download itself.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastDraw >= 40 || received >= remaining) {
        m_lastDraw = now;
        Notebook_step->repaint();
        QCoreApplication::processEvents();
    }
}

void TForm_Update::runPass() {
    Notebook_step->setCurrentIndex(std::min(Notebook_step->currentIndex() + 1, Notebook_step->count() - 1));
    Gauge_process->setMaximum(100);
    Gauge_process->setValue(0);
    ListView_files->clear();
    m_names.clear();
    ListView_files->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("Connecting...")}));
    setRowImage(0, 0);

    m_passRunning = true;
    const bool listed = DownloadUpdateList();
    if (m_ended)
        return;
    if (!listed) {
        m_passRunning = false;
        return;
    }

    UpdateFound = false;
    ListView_files->clear();
    Gauge_process->setValue(0);
    for (const QString& name : FileList) {
        auto* item = new QTreeWidgetItem({name});
        item->setData(0, kImageRole, -1);
        ListView_files->addTopLevelItem(item);
        m_names.append(safeUpdateName(name).value_or(QString()));
    }
    btn_next->setEnabled(false);
    btn_next->setText(QStringLiteral("Downloading files.."));
    btn_pre->setVisible(false);
    btn_next->setGeometry(160, btn_next->y(), 179, btn_next->height());
    Button2->setEnabled(true);

    bool lastResult = false;
    try {
        const IniDocument list = IniDocument::load(updateFolder() + QStringLiteral("update.ini"));
        for (qsizetype i = 0; i < FileList.size() && !m_ended; ++i) {
            const int row = int(i);
            QTreeWidgetItem* item = ListView_files->topLevelItem(row);
            setRowImage(row, 0);
            const QString date = list.readString(FileList.at(i), QStringLiteral("datetime"), QString());
            item->setText(1, date);
            ListView_files->scrollToItem(item);
            const QString name = m_names.at(i);
            bool result = false;
            if (name.isEmpty()) {
                // A name that leads outside the program folder: nothing is fetched or written.
                item->setText(2, QStringLiteral("Refused"));
                UpdateFound = true;
            } else {
                const auto installed = GetFileDate(ProgramFolder + name);
                if (!installed || listDateIsLater(date, *installed)) {
                    item->setText(2, QStringLiteral("Downloading"));
                    UpdateFound = true;
                    const QString dest = updateFolder() + name;
                    QDir().mkpath(QFileInfo(dest).absolutePath());
                    m_lastDraw = 0;
                    result = m_download.DownloadFile(Edt_url->text() + name, dest);
                    if (!result && !m_download.lastError.isEmpty())
                        item->setToolTip(2, m_download.lastError);
                } else {
                    item->setText(2, QStringLiteral("Needn't Update"));
                    setRowImage(row, 3);
                    lastResult = true;
                    continue;
                }
            }
            if (m_ended)
                return;
            setRowImage(row, result ? 1 : 2);
            lastResult = result;
        }
    } catch (...) {
        Button2->setEnabled(false);
        m_passRunning = false;
        throw;
    }
    Button2->setEnabled(false);
    m_passRunning = false;
    if (m_ended)
        return;

    btn_next->setEnabled(true);
    CanFinish = CanFinish || lastResult;
    if (!UpdateFound)
        Dialogs::instance().messageBox(nullptr, QStringLiteral("This is the latest version"), QString(),
                                       Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    if (Notebook_step->currentIndex() == Notebook_step->count() - 1 && CanFinish) {
        btn_next->setText(QStringLiteral("Finish"));
        finishStep();
    } else {
        btn_next->setText(QStringLiteral("Continue to Download"));
    }
}

bool TForm_Update::DownloadUpdateList() {
    FileList.clear();
    bool ok = false;
    QString text = Edt_url->text();
    if (!text.endsWith(u'/')) {
        text += u'/';
        Edt_url->setText(text);
    }
    const HttpGetResult answer =
        httpGet(text + ListName + QStringLiteral(".htm"), kListTimeoutMs,
                {{"Accept", "text/html, */*"}, {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}});
    if (m_ended)
        return false;
    if (answer.ok) {
        QSaveFile file(updateFolder() + QStringLiteral("update.ini"));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(answer.body);
            file.write("\n");
            ok = file.commit();
        }
    }
    if (!ok) {
        Dialogs::instance().messageBox(this, QStringLiteral("Updating Error! Please try again."),
                                       QStringLiteral("Error"), Dialogs::Icon::Error, Dialogs::Buttons::Ok);
        btn_preClick();
        return false;
    }
    FileList = IniDocument::load(updateFolder() + QStringLiteral("update.ini")).sections();
    return true;
}

void TForm_Update::finishStep() {
    try {
        btn_next->setEnabled(false);
        btn_next->setText(QStringLiteral("Copying files.."));
        QStringList toCopy;
        QStringList failed;
        for (qsizetype i = 0; i < FileList.size(); ++i) {
            if (imageIndex(int(i)) == 1)
                toCopy.append(m_names.at(i));
            else if (imageIndex(int(i)) != 3)
                failed.append(FileList.at(i));
        }
        // The main program holds its files while it runs; it is stopped only when something
        // is to be put in place.
        const bool stopMain = UpdateFound && !toCopy.isEmpty();
        if (stopMain)
            EndProcess(mainProgramName, endProcessWaitMs, [] { QCoreApplication::processEvents(); });
        Button2->setEnabled(false);
        for (const QString& name : toCopy) {
            const QString source = updateFolder() + name;
            const QString target = ProgramFolder + name;
            QDir().mkpath(QFileInfo(target).absolutePath());
            if (copyFileAtomic(source, target))
                QFile::remove(source);
            else
                failed.append(name); // the downloaded copy stays for the next pass
        }
        const QString exe = IniFile(ProgramFolder + QStringLiteral("Update.ini"))
                                .readString(QStringLiteral("chis"), QStringLiteral("exe"), QString());
        if (UpdateFound) {
            if (failed.isEmpty())
                Dialogs::instance().messageBox(nullptr, QStringLiteral("Update completed!"), QString(),
                                               Dialogs::Icon::Information, Dialogs::Buttons::Ok);
            else
                Dialogs::instance().messageBox(
                    nullptr,
                    QStringLiteral("The update is not complete. These files could not be updated:\n%1\n\n"
                                   "Run the update again to retry them.")
                        .arg(failed.join(u'\n')),
                    QString(), Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        }
        if (stopMain && !exe.isEmpty())
            startExe(exe, ProgramFolder);
        endProgram(0, false);
    } catch (...) {
        endProgram(0, true);
    }
}

void TForm_Update::stopAction() {
    CanFinish = false;
    m_download.StopRequested = true;
}

void TForm_Update::Button2Click() {
    stopAction();
}

void TForm_Update::btn_preClick() {
    stopAction();
    Notebook_step->setCurrentIndex(std::max(Notebook_step->currentIndex() - 1, 0));
    btn_next->setText(QStringLiteral("Start Updating"));
    btn_next->setEnabled(true);
}

void TForm_Update::Button1Click() {
    openUrl(siteUrl());
}

void TForm_Update::Notebook_stepPageChanged() {
    if (Notebook_step->currentIndex() == 0) {
        btn_pre->setEnabled(false);
        btn_next->setEnabled(true);
    } else {
        btn_pre->setEnabled(true);
    }
}

bool TForm_Update::FormCloseQuery() {
    if (!m_passRunning || m_ended)
        return true;
    const int answer = Dialogs::instance().messageBox(this, QStringLiteral("Stop updating?"), QString(),
                                                      Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    if (answer != Dialogs::Yes)
        return false;
    m_download.StopRequested = true;
    m_ended = true;
    endProgram(0, true);
    return true;
}

void TForm_Update::FormClose() {
    m_download.StopRequested = true;
    FileList.clear();
}

void TForm_Update::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    guarded([this] { FormShow(); });
}

void TForm_Update::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        guarded([this] { FormActivate(); });
}

void TForm_Update::closeEvent(QCloseEvent* event) {
    bool close = true;
    guarded([&] { close = FormCloseQuery(); });
    if (!close) {
        event->ignore();
        return;
    }
    guarded([this] { FormClose(); });
    event->accept();
}
