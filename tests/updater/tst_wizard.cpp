#include "ErrorReport.h"
#include "WizardFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kOld = QStringLiteral("2008-05-13 10:00:00");
const QString kNew = QStringLiteral("2040-01-01 00:00:00");

int modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return int(st.st_mode & 07777);
}

QString mainName() {
    return QStringLiteral("PinletW%1").arg(::getpid());
}
} // namespace

class TestWizard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void startUpReadsSettings();
    void layout_data();
    void layout();
    void choosingAServer();
    void listFetchFails_data();
    void listFetchFails();
    void slashAddedAndEverythingCurrent();
    void emptyList();
    void mixedPass();
    void pathEscapingNames();
    void failedCopyKeepsDownload();
    void stopDuringLastFileWaits();
    void stopDuringEarlierFileStillFinishes();
    void closeDuringPass_data();
    void closeDuringPass();
    void closeOutsidePass();
    void unreadableDateEndsPass();
    void whatsNewAndBack();

private:
    QString listUrl() const { return m_nginx.url(QStringLiteral("upd/")); }
    // Publishes the update list and files under upd/ on nginx.
    void publish(const QByteArray& list, const QList<QPair<QString, QByteArray>>& files = {}) {
        m_nginx.put(QStringLiteral("upd/pinlet.htm"), list);
        for (const auto& f : files)
            m_nginx.put(QStringLiteral("upd/") + f.first, f.second);
    }
    void install(WizardFixture& fx, const QString& name, const QByteArray& bytes, const QDateTime& time) {
        writeAll(fx.folder + name, bytes);
        QFile f(fx.folder + name);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(time, QFileDevice::FileModificationTime);
    }
    bool requireNginx() {
        if (!m_up)
            qWarning("nginx: %s", qPrintable(m_error));
        return m_up;
    }

    NginxServer m_nginx;
    QString m_error;
    bool m_up = false;
};

void TestWizard::initTestCase() {
    ::signal(SIGPIPE, SIG_IGN);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setErrorReportCaption(QStringLiteral("PinletUpdate"));
    qputenv("PINLET_SITE", "http://127.0.0.1:9/site/");
    if (!NginxServer::binary().isEmpty())
        m_up = m_nginx.start(&m_error);
}

void TestWizard::cleanupTestCase() {
    m_nginx.stop();
}

#define NEED_NGINX()                                                                                                   \
    if (!requireNginx())                                                                                               \
    QSKIP("nginx is not available")

void TestWizard::startUpReadsSettings() {
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"),
                     {{QStringLiteral("Zeta"), QStringLiteral("http://z.example/u/")},
                      {QStringLiteral("Alpha"), QStringLiteral("http://a.example/u/")},
                      {QStringLiteral("Mirror=2"), QStringLiteral("http://m.example/")}});
    TForm_Update& form = fx.create(mainName());
    QCOMPARE(form.ListName, QStringLiteral("pinlet"));
    QCOMPARE(form.ProgramFolder, fx.folder);
    QVERIFY(form.CanFinish);
    auto* list = fx.control<QListWidget>(QStringLiteral("ListBox_servers"));
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    // File order; a name ends at the first "=".
    QCOMPARE(names, (QStringList{"Zeta", "Alpha", "Mirror"}));
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(fx.control<QLineEdit>(QStringLiteral("Edt_url"))->text(), QStringLiteral("http://z.example/u/"));
    QCOMPARE(fx.control<QStackedWidget>(QStringLiteral("Notebook_step"))->currentWidget()->objectName(),
             QStringLiteral("Default"));

    // No settings at all: nothing listed, nothing in the field.
    WizardFixture empty;
    TForm_Update& bare = empty.create(mainName());
    QCOMPARE(empty.control<QListWidget>(QStringLiteral("ListBox_servers"))->count(), 0);
    QVERIFY(empty.control<QLineEdit>(QStringLiteral("Edt_url"))->text().isEmpty());
    QVERIFY(bare.ListName.isEmpty());
}

void TestWizard::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("side picture") << "Image1" << QRect(12, 12, 115, 229) << "";
    QTest::newRow("pages") << "Notebook_step" << QRect(141, 4, 401, 213) << "";
    QTest::newRow("servers") << "ListBox_servers" << QRect(10, 24, 380, 134) << "";
    QTest::newRow("group") << "GroupBox1" << QRect(2, 168, 396, 41) << "";
    QTest::newRow("url") << "Edt_url" << QRect(80, 13, 300, 18) << "";
    QTest::newRow("files") << "ListView_files" << QRect(16, 26, 369, 139) << "";
    QTest::newRow("gauge") << "Gauge_process" << QRect(16, 190, 369, 17) << "";
    QTest::newRow("back") << "btn_pre" << QRect(181, 224, 87, 23) << "&< Back";
    QTest::newRow("next") << "btn_next" << QRect(176, 224, 129, 23) << "Start";
    QTest::newRow("what's new") << "Button1" << QRect(379, 224, 118, 23) << "What's new";
    QTest::newRow("stop, off the edge") << "Button2" << QRect(618, 224, 87, 23) << "中断下载";
}

void TestWizard::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    WizardFixture fx;
    TForm_Update& form = fx.create(mainName());
    QCOMPARE(form.windowTitle(), QStringLiteral("Pinlet Update"));
    QCOMPARE(form.size(), QSize(542, 251));
    QWidget* w = fx.control(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), geometry);
    if (auto* b = qobject_cast<QPushButton*>(w))
        QCOMPARE(b->text(), caption);
    if (name == u"btn_pre")
        QVERIFY(!w->isEnabled() && w->isHidden());
    if (name == u"Button2")
        QVERIFY(!w->isEnabled() && !w->accessibleName().isEmpty());
    if (name == u"ListView_files") {
        auto* tree = static_cast<QTreeWidget*>(w);
        QTreeWidgetItem* h = tree->headerItem();
        QCOMPARE((QStringList{h->text(0), h->text(1), h->text(2)}), (QStringList{"File Name", "Modified", "Status"}));
        QCOMPARE(tree->columnWidth(1), 130);
        QCOMPARE(tree->columnWidth(2), 88);
        QCOMPARE(fx.control<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("All files"));
        QCOMPARE(fx.control<QLabel>(QStringLiteral("Label4"))->pos(), QPoint(18, 171));
    }
}

void TestWizard::choosingAServer() {
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QString(),
                     {{QStringLiteral("One"), QStringLiteral("http://one.example/")},
                      {QStringLiteral("Two"), QStringLiteral("http://two.example/x/")}});
    fx.create(mainName());
    auto* list = fx.control<QListWidget>(QStringLiteral("ListBox_servers"));
    list->setCurrentRow(1);
    QCOMPARE(fx.control<QLineEdit>(QStringLiteral("Edt_url"))->text(), QStringLiteral("http://two.example/x/"));
    list->setCurrentRow(0);
    QCOMPARE(fx.control<QLineEdit>(QStringLiteral("Edt_url"))->text(), QStringLiteral("http://one.example/"));
}

void TestWizard::listFetchFails_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("updateFolder");
    const QString closedPort = QStringLiteral("http://127.0.0.1:%1/upd/").arg(freeLoopbackPort());
    QTest::newRow("nobody listening") << closedPort << true;
    QTest::newRow("no server entry") << QString() << true;
    QTest::newRow("list missing on the server") << "NGINX/none/" << true;
    QTest::newRow("no update folder") << "NGINX/upd/" << false;
    QTest::newRow("server never answers") << "SILENT" << true;
}

void TestWizard::listFetchFails() {
    QFETCH(QString, url);
    QFETCH(bool, updateFolder);
    if (url.startsWith(u"NGINX/")) {
        NEED_NGINX();
        url = m_nginx.url(url.mid(6));
        publish("[Pinlet]\ndatetime=" + kNew.toUtf8() + "\n");
    }
    std::unique_ptr<ScriptedServer> silent;
    if (url == u"SILENT") {
        silent = std::make_unique<ScriptedServer>([&silent](int fd, const QByteArray&, int) {
            // Keep the connection open and say nothing until the client gives up.
            for (int i = 0; i < 1200 && !silent->stopping(); ++i) {
                char c;
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 50) > 0 && ::recv(fd, &c, 1, 0) <= 0)
                    break;
            }
        });
        url = silent->url(QStringLiteral("upd/"));
    }
    WizardFixture fx;
    if (!updateFolder)
        QDir(fx.folder + QStringLiteral("update")).removeRecursively();
    QList<QPair<QString, QString>> servers;
    if (!url.isEmpty())
        servers.append({QStringLiteral("Here"), url});
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), servers);
    TForm_Update& form = fx.create(mainName());
    // The window goes on handling its events while the list is fetched.
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(100);
    QElapsedTimer clock;
    clock.start();
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    if (silent) {
        QVERIFY(clock.elapsed() >= 4500);
        QVERIFY(ticks > 10);
    }
    QCOMPARE(fx.dialogs.boxes.size(), 1);
    const auto box = fx.dialogs.boxes.first();
    QCOMPARE(box.text, QStringLiteral("Updating Error! Please try again."));
    QCOMPARE(box.caption, QStringLiteral("Error"));
    QCOMPARE(box.icon, Dialogs::Icon::Error);
    QVERIFY(box.owned);
    QCOMPARE(fx.control<QStackedWidget>(QStringLiteral("Notebook_step"))->currentIndex(), 0);
    auto* next = fx.control<QPushButton>(QStringLiteral("btn_next"));
    QCOMPARE(next->text(), QStringLiteral("Start Updating"));
    QVERIFY(next->isEnabled());
    QVERIFY(!form.CanFinish);
    QVERIFY(!form.passRunning());
    QVERIFY(fx.ends.isEmpty());
}

void TestWizard::slashAddedAndEverythingCurrent() {
    NEED_NGINX();
    publish("[Pinlet]\ndatetime=" + kOld.toUtf8() + "\r\n[lang\\de.qm]\ndatetime=5/13/2008 10:00:00\r\n",
            {{QStringLiteral("Pinlet"), "new"}});
    WizardFixture fx;
    QString url = listUrl();
    url.chop(1);
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), url}});
    const QDateTime recent = QDateTime::currentDateTime().addDays(-1);
    install(fx, QStringLiteral("Pinlet"), "old", recent);
    // The list's date equals the installed file's time: no download either.
    install(fx, QStringLiteral("lang/de.qm"), "de", QDateTime(QDate(2008, 5, 13), QTime(10, 0)));
    TForm_Update& form = fx.create(mainName());
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();

    QCOMPARE(fx.control<QLineEdit>(QStringLiteral("Edt_url"))->text(), url + u'/');
    QCOMPARE(readAll(fx.folder + QStringLiteral("update/update.ini")),
             "[Pinlet]\ndatetime=" + kOld.toUtf8() + "\r\n[lang\\de.qm]\ndatetime=5/13/2008 10:00:00\r\n\n");
    auto* files = fx.control<QTreeWidget>(QStringLiteral("ListView_files"));
    QCOMPARE(files->topLevelItemCount(), 2);
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(form.imageIndex(row), 3);
        QCOMPARE(files->topLevelItem(row)->text(2), QStringLiteral("Needn't Update"));
    }
    QCOMPARE(files->topLevelItem(1)->text(0), QStringLiteral("lang\\de.qm"));
    QCOMPARE(files->topLevelItem(0)->text(1), kOld);
    QCOMPARE(fx.boxTexts(), QStringList{"This is the latest version"});
    QVERIFY(!fx.dialogs.boxes.first().owned);
    QVERIFY(fx.dialogs.boxes.first().caption.isEmpty());
    QCOMPARE(fx.ends, (QList<QPair<int, bool>>{{0, false}}));
    QVERIFY(fx.started.isEmpty());
    QCOMPARE(readAll(fx.folder + QStringLiteral("Pinlet")), QByteArray("old"));
}

void TestWizard::emptyList() {
    NEED_NGINX();
    publish("; nothing to update\n");
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    TForm_Update& form = fx.create(mainName());
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    QCOMPARE(fx.control<QTreeWidget>(QStringLiteral("ListView_files"))->topLevelItemCount(), 0);
    QCOMPARE(fx.boxTexts(), QStringList{"This is the latest version"});
    QCOMPARE(fx.ends.size(), 1);

    // After a failed fetch (which stops), an empty list leaves the wizard waiting.
    WizardFixture again;
    again.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"),
                        {{QStringLiteral("Main"), QStringLiteral("http://127.0.0.1:%1/").arg(freeLoopbackPort())}});
    TForm_Update& second = again.create(mainName());
    auto* next = again.control<QPushButton>(QStringLiteral("btn_next"));
    next->click();
    again.control<QLineEdit>(QStringLiteral("Edt_url"))->setText(listUrl());
    next->click();
    QVERIFY(!second.CanFinish);
    QCOMPARE(next->text(), QStringLiteral("Continue to Download"));
    QVERIFY(again.ends.isEmpty());
    Q_UNUSED(form);
}

void TestWizard::mixedPass() {
    NEED_NGINX();
    const QByteArray app = pattern(200000, 1), lib = pattern(5000, 2), doc = "docs";
    publish(
        "[app.bin]\ndatetime=" + kNew.toUtf8() + "\n[lib/core.so]\ndatetime=" + kNew.toUtf8() +
            "\n[readme.txt]\ndatetime=" + kOld.toUtf8() + "\n",
        {{QStringLiteral("app.bin"), app}, {QStringLiteral("lib/core.so"), lib}, {QStringLiteral("readme.txt"), doc}});
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("app.bin"), {{QStringLiteral("Main"), listUrl()}});
    install(fx, QStringLiteral("app.bin"), "old app", QDateTime::currentDateTime().addDays(-3));
    QFile::setPermissions(fx.folder + QStringLiteral("app.bin"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    install(fx, QStringLiteral("readme.txt"), "mine", QDateTime::currentDateTime());
    TForm_Update& form = fx.create(mainName());
    QStringList progress;
    auto show = form.downloader().progress;
    form.downloader().progress = [&](qint64 r, qint64 rem) {
        show(r, rem);
        progress.append(fx.control<QLabel>(QStringLiteral("Label4"))->text());
        QVERIFY(fx.control<QPushButton>(QStringLiteral("Button2"))->isEnabled());
        QCOMPARE(fx.control<QPushButton>(QStringLiteral("btn_next"))->text(), QStringLiteral("Downloading files.."));
        QVERIFY(!fx.control<QPushButton>(QStringLiteral("btn_next"))->isEnabled());
        QCOMPARE(fx.control<QPushButton>(QStringLiteral("btn_next"))->geometry(), QRect(160, 224, 179, 23));
        QVERIFY(form.passRunning());
    };
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();

    QCOMPARE(form.imageIndex(0), 1);
    QCOMPARE(form.imageIndex(1), 1);
    QCOMPARE(form.imageIndex(2), 3);
    auto* files = fx.control<QTreeWidget>(QStringLiteral("ListView_files"));
    QCOMPARE(files->topLevelItem(0)->text(2), QStringLiteral("Downloading"));
    // A receive may bring less than a whole block; the text follows whatever came.
    QVERIFY(progress.first().endsWith(QStringLiteral(" bytes / 200,000 bytes ")));
    QVERIFY(progress.contains(QStringLiteral("200,000 bytes / 200,000 bytes ")));
    QCOMPARE(progress.last(), QStringLiteral("5,000 bytes / 5,000 bytes "));
    QCOMPARE(readAll(fx.folder + QStringLiteral("app.bin")), app);
    QCOMPARE(readAll(fx.folder + QStringLiteral("lib/core.so")), lib);
    QCOMPARE(readAll(fx.folder + QStringLiteral("readme.txt")), QByteArray("mine"));
    QCOMPARE(modeOf(fx.folder + QStringLiteral("app.bin")), 0750);
    QVERIFY(!QFile::exists(fx.folder + QStringLiteral("update/app.bin")));
    QVERIFY(!QFile::exists(fx.folder + QStringLiteral("update/lib/core.so")));
    QCOMPARE(fx.boxTexts(), QStringList{"Update completed!"});
    QCOMPARE(fx.started, (QList<QPair<QString, QString>>{{"app.bin", fx.folder}}));
    QCOMPARE(fx.ends, (QList<QPair<int, bool>>{{0, false}}));
    QCOMPARE(fx.control<QPushButton>(QStringLiteral("btn_next"))->text(), QStringLiteral("Copying files.."));
}

void TestWizard::pathEscapingNames() {
    NEED_NGINX();
    WizardFixture fx;
    const QString outside = fx.outer.path();
    const QByteArray when = "\ndatetime=" + kNew.toUtf8() + "\n";
    publish("[../escape.txt]" + when + "[..\\escape2.txt]" + when + "[" + outside.toUtf8() + "/abs.txt]" + when +
                "[C:\\evil.txt]" + when + "[good.txt]" + when,
            {{QStringLiteral("good.txt"), "good"}});
    m_nginx.put(QStringLiteral("escape.txt"), "evil");
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("good.txt"), {{QStringLiteral("Main"), listUrl()}});
    TForm_Update& form = fx.create(mainName());
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    for (int row = 0; row < 4; ++row)
        QCOMPARE(form.imageIndex(row), 2);
    QCOMPARE(form.imageIndex(4), 1);
    QVERIFY(!QFile::exists(outside + QStringLiteral("/escape.txt")));
    QVERIFY(!QFile::exists(outside + QStringLiteral("/escape2.txt")));
    QVERIFY(!QFile::exists(outside + QStringLiteral("/abs.txt")));
    QCOMPARE(QDir(outside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"prog"});
    QCOMPARE(readAll(fx.folder + QStringLiteral("good.txt")), QByteArray("good"));
    // Four files could not be updated: no claim of success.
    QCOMPARE(fx.dialogs.boxes.size(), 1);
    QVERIFY(fx.dialogs.boxes.first().text != u"Update completed!");
    QVERIFY(fx.dialogs.boxes.first().text.contains(QStringLiteral("../escape.txt")));
}

void TestWizard::failedCopyKeepsDownload() {
    NEED_NGINX();
    publish("[data.bin]\ndatetime=" + kNew.toUtf8() + "\n[ok.bin]\ndatetime=" + kNew.toUtf8() + "\n",
            {{QStringLiteral("data.bin"), "fresh data"}, {QStringLiteral("ok.bin"), "ok"}});
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    // A folder where the file should go: the copy cannot replace it.
    QDir().mkpath(fx.folder + QStringLiteral("data.bin/inside"));
    fx.create(mainName());
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    QCOMPARE(readAll(fx.folder + QStringLiteral("update/data.bin")), QByteArray("fresh data"));
    QVERIFY(QFileInfo(fx.folder + QStringLiteral("data.bin/inside")).isDir());
    QCOMPARE(readAll(fx.folder + QStringLiteral("ok.bin")), QByteArray("ok"));
    QCOMPARE(fx.dialogs.boxes.size(), 1);
    QCOMPARE(fx.dialogs.boxes.first().icon, Dialogs::Icon::Warning);
    QVERIFY(fx.dialogs.boxes.first().text.contains(QStringLiteral("data.bin")));
    QVERIFY(!fx.dialogs.boxes.first().text.contains(QStringLiteral("ok.bin")));
}

void TestWizard::stopDuringLastFileWaits() {
    NEED_NGINX();
    const QByteArray big = pattern(300000, 3);
    publish("[big.bin]\ndatetime=" + kNew.toUtf8() + "\n", {{QStringLiteral("big.bin"), big}});
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    TForm_Update& form = fx.create(mainName());
    auto show = form.downloader().progress;
    bool stopOnce = true;
    form.downloader().progress = [&](qint64 r, qint64 rem) {
        show(r, rem);
        if (std::exchange(stopOnce, false))
            fx.control<QPushButton>(QStringLiteral("Button2"))->click();
    };
    auto* next = fx.control<QPushButton>(QStringLiteral("btn_next"));
    next->click();
    QCOMPARE(form.imageIndex(0), 2);
    QCOMPARE(next->text(), QStringLiteral("Continue to Download"));
    QVERIFY(next->isEnabled());
    QVERIFY(!fx.control<QPushButton>(QStringLiteral("Button2"))->isEnabled());
    const qint64 part = QFileInfo(fx.folder + QStringLiteral("update/big.bin")).size();
    QVERIFY(part > 0 && part < big.size());
    QVERIFY(fx.ends.isEmpty());

    // The next pass continues the part and finishes.
    next->click();
    QCOMPARE(form.downloader().ResumeOffset, part);
    QCOMPARE(form.imageIndex(0), 1);
    QCOMPARE(readAll(fx.folder + QStringLiteral("big.bin")), big);
    QCOMPARE(fx.ends.size(), 1);
}

void TestWizard::stopDuringEarlierFileStillFinishes() {
    NEED_NGINX();
    publish("[big.bin]\ndatetime=" + kNew.toUtf8() + "\n[small.bin]\ndatetime=" + kNew.toUtf8() + "\n",
            {{QStringLiteral("big.bin"), pattern(300000, 4)}, {QStringLiteral("small.bin"), "small"}});
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    TForm_Update& form = fx.create(mainName());
    auto show = form.downloader().progress;
    bool stopOnce = true;
    form.downloader().progress = [&](qint64 r, qint64 rem) {
        show(r, rem);
        if (std::exchange(stopOnce, false))
            form.Button2Click();
    };
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    QCOMPARE(form.imageIndex(0), 2);
    QCOMPARE(form.imageIndex(1), 1);
    QCOMPARE(readAll(fx.folder + QStringLiteral("small.bin")), QByteArray("small"));
    QVERIFY(!QFile::exists(fx.folder + QStringLiteral("big.bin")));
    QVERIFY(QFileInfo(fx.folder + QStringLiteral("update/big.bin")).size() > 0);
    QCOMPARE(fx.ends.size(), 1);
    QVERIFY(fx.dialogs.boxes.first().text.contains(QStringLiteral("big.bin")));
}

void TestWizard::closeDuringPass_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("No goes on") << int(Dialogs::No);
    QTest::newRow("Yes ends at once") << int(Dialogs::Yes);
}

void TestWizard::closeDuringPass() {
    NEED_NGINX();
    QFETCH(int, answer);
    const QByteArray big = pattern(300000, 5);
    publish("[big.bin]\ndatetime=" + kNew.toUtf8() + "\n", {{QStringLiteral("big.bin"), big}});
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    TForm_Update& form = fx.create(mainName());
    form.show();
    fx.dialogs.boxAnswers = {answer};
    auto show = form.downloader().progress;
    bool closeOnce = true;
    bool closed = false;
    form.downloader().progress = [&](qint64 r, qint64 rem) {
        show(r, rem);
        if (std::exchange(closeOnce, false))
            closed = form.close();
    };
    fx.control<QPushButton>(QStringLiteral("btn_next"))->click();
    QVERIFY(!fx.dialogs.boxes.isEmpty());
    const auto box = fx.dialogs.boxes.first();
    QCOMPARE(box.text, QStringLiteral("Stop updating?"));
    QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(box.icon, Dialogs::Icon::Question);
    QVERIFY(box.caption.isEmpty());
    if (answer == Dialogs::No) {
        QVERIFY(!closed);
        QCOMPARE(readAll(fx.folder + QStringLiteral("big.bin")), big);
        QCOMPARE(fx.ends, (QList<QPair<int, bool>>{{0, false}}));
    } else {
        QCOMPARE(fx.ends, (QList<QPair<int, bool>>{{0, true}}));
        QVERIFY(!QFile::exists(fx.folder + QStringLiteral("big.bin")));
        const qint64 part = QFileInfo(fx.folder + QStringLiteral("update/big.bin")).size();
        QVERIFY(part > 0 && part < big.size());
        QCOMPARE(fx.dialogs.boxes.size(), 1);
    }
}

void TestWizard::closeOutsidePass() {
    WizardFixture fx;
    TForm_Update& form = fx.create(mainName());
    form.show();
    QVERIFY(form.close());
    QVERIFY(fx.dialogs.boxes.isEmpty());
}

void TestWizard::unreadableDateEndsPass() {
    NEED_NGINX();
    publish("[Pinlet]\ndatetime=garbage\n");
    WizardFixture fx;
    fx.writeSettings(QStringLiteral("pinlet"), QStringLiteral("Pinlet"), {{QStringLiteral("Main"), listUrl()}});
    install(fx, QStringLiteral("Pinlet"), "old", QDateTime::currentDateTime());
    TForm_Update& form = fx.create(mainName());
    auto* next = fx.control<QPushButton>(QStringLiteral("btn_next"));
    next->click();
    QCOMPARE(fx.dialogs.boxes.size(), 1);
    QCOMPARE(fx.dialogs.boxes.first().text, QStringLiteral("'garbage' is not a valid date and time."));
    QCOMPARE(fx.dialogs.boxes.first().caption, QStringLiteral("PinletUpdate"));
    QCOMPARE(fx.dialogs.boxes.first().icon, Dialogs::Icon::Error);
    QCOMPARE(form.imageIndex(0), 0);
    QVERIFY(!next->isEnabled());
    QVERIFY(!fx.control<QPushButton>(QStringLiteral("Button2"))->isEnabled());
    QVERIFY(!form.passRunning());
    QVERIFY(fx.ends.isEmpty());
}

void TestWizard::whatsNewAndBack() {
    WizardFixture fx;
    TForm_Update& form = fx.create(mainName());
    fx.control<QPushButton>(QStringLiteral("Button1"))->click();
    QCOMPARE(fx.opened, QStringList{"http://127.0.0.1:9/site/"});

    auto* pages = fx.control<QStackedWidget>(QStringLiteral("Notebook_step"));
    pages->setCurrentIndex(1);
    QVERIFY(fx.control<QPushButton>(QStringLiteral("btn_pre"))->isEnabled());
    form.btn_preClick();
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(fx.control<QPushButton>(QStringLiteral("btn_next"))->text(), QStringLiteral("Start Updating"));
    QVERIFY(!fx.control<QPushButton>(QStringLiteral("btn_pre"))->isEnabled());
    QVERIFY(!form.CanFinish);
    QVERIFY(form.downloader().StopRequested);
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
