#include "TFrmFav.h"

#include "AppIcon.h"
#include "AppState.h"
#include "ButtonBox.h"
#include "CategoryName.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "FavButton.h"
#include "FavHint.h"
#include "FavWindowHooks.h"
#include "OpenUrl.h"
#include "PinletError.h"
#include "ProductInfo.h"
#include "Shell.h"
#include "Store.h"
#include "Utf8.h"
#include "WindowReuse.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMouseEvent>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <unistd.h>

namespace {

const QString kCategories = QStringLiteral("Categories");
const QString kBtnConfig = QStringLiteral("BtnConfig");
const QString kSize = QStringLiteral("Size");

// Hints show after the mouse rests 200 ms on a control.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 200;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

ButtonLayout readLayout(const IniDocument& ini) {
    ButtonLayout l;
    l.quantityPerLine = ini.readInteger(kBtnConfig, QStringLiteral("QuantityperLine"), 5);
    l.captionLength = ini.readInteger(kBtnConfig, QStringLiteral("CaptionLength"), 12);
    l.b2bHeight = ini.readInteger(kBtnConfig, QStringLiteral("B2BHeight"), 6);
    l.b2bWidth = ini.readInteger(kBtnConfig, QStringLiteral("B2BWidth"), 12);
    return l;
}

QIcon themedIcon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

std::function<void(int)>& processExit() {
    static std::function<void(int)> f = [](int code) { ::_exit(code); };
    return f;
}

int screenWidth() {
    const QScreen* screen = QApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

} // namespace

FavWindowHooks& favWindowHooks() {
    static FavWindowHooks hooks;
    return hooks;
}

TFrmFav::TFrmFav(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FrmFav"));
    setWindowIcon(PinletIcon());
    createControls();
    createMenus();
    createTray();
    FormCreate();
}

void TFrmFav::setProcessExit(std::function<void(int)> exitFunction) { processExit() = std::move(exitFunction); }

TFrmFav::~TFrmFav() {
    // Pages, boxes and buttons report their end to members of this window: end them first.
    delete m_pageControl;
}

void TFrmFav::createControls() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(60);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, bar);
    auto makeButton = [&](const char* name, const QString& text, const QIcon& icon) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(icon);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    m_sbtnAbout = makeButton("SBtnAbout", QStringLiteral("Help"), themedIcon("help-contents", QStyle::SP_DialogHelpButton));
    m_sbtnSetup = makeButton("SBtnSetup", QStringLiteral("Options"),
                             themedIcon("preferences-system", QStyle::SP_FileDialogDetailedView));
    m_sbtnNewCate = makeButton("SBtnNewCate", QStringLiteral("New"), themedIcon("folder-new", QStyle::SP_FileDialogNewFolder));
    m_sbtnRemoveCate = makeButton("SBtnRemoveCate", QStringLiteral("Delete"), themedIcon("edit-delete", QStyle::SP_TrashIcon));
    m_bitBtn1 = makeButton("BitBtn1", QStringLiteral("TopMost"), themedIcon("go-top", QStyle::SP_TitleBarShadeButton));
    m_bitBtn2 = makeButton("BitBtn2", QStringLiteral("DC"), QIcon());
    m_bitBtn2->setEnabled(false);
    bar->actions().last()->setVisible(false);
    connect(m_sbtnNewCate, &QToolButton::clicked, this, [this] { runGuarded([this] { SBtnNewCateClick(); }); });
    connect(m_sbtnRemoveCate, &QToolButton::clicked, this, [this] { runGuarded([this] { SBtnRemoveCateClick(); }); });
    connect(m_bitBtn1, &QToolButton::clicked, this, [this] { BitBtn1Click(); });
    connect(m_sbtnSetup, &QToolButton::clicked, this, [this] { runGuarded([this] { SBtnSetupClick(); }); });
    // The Help menu opens when the button is released, at the button's lower-left corner.
    connect(m_sbtnAbout, &QToolButton::released, this, [this] { SBtnAboutMouseUp(m_sbtnAbout->mapFromGlobal(QCursor::pos())); });

    m_pageControl = new QTabWidget(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setDocumentMode(true);
    m_pageControl->setUsesScrollButtons(true);
    m_pageControl->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pageControl, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popupMenu4->popup(m_pageControl->mapToGlobal(pos)); });
    m_pageControl->tabBar()->installEventFilter(this);
    m_pageControl->installEventFilter(this);
    setCentralWidget(m_pageControl);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);
}

void TFrmFav::createMenus() {
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto addItem = [](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    connect(addItem(m_popupMenu1, "MenuOpenUrl", QStringLiteral("Copy URL")), &QAction::triggered, this,
            [this] { MenuOpenUrlClick(); });
    m_n1 = m_popupMenu1->addSeparator();
    m_n1->setObjectName(QStringLiteral("N1"));
    m_youtube1 = addItem(m_popupMenu1, "Youtube1", QStringLiteral("Download video"));
    connect(m_youtube1, &QAction::triggered, this, [this] { runGuarded([this] { Youtube1Click(); }); });
    m_popupMenu1->addSeparator()->setObjectName(QStringLiteral("N4"));
    connect(addItem(m_popupMenu1, "MenuEditFav", QStringLiteral("Edit")), &QAction::triggered, this,
            [this] { runGuarded([this] { MenuEditFavClick(); }); });
    connect(addItem(m_popupMenu1, "MenuRemoveFav", QStringLiteral("Delete")), &QAction::triggered, this,
            [this] { runGuarded([this] { MenuRemoveFavClick(); }); });

    m_popupMenu3 = new QMenu(this);
    m_popupMenu3->setObjectName(QStringLiteral("PopupMenu3"));

    m_popupMenu4 = new QMenu(this);
    m_popupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    connect(addItem(m_popupMenu4, "Edit1", QStringLiteral("&Edit")), &QAction::triggered, this,
            [this] { runGuarded([this] { Edit1Click(); }); });
    connect(addItem(m_popupMenu4, "Delete1", QStringLiteral("&Delete")), &QAction::triggered, this,
            [this] { runGuarded([this] { SBtnRemoveCateClick(); }); });
}

void TFrmFav::createTray() {
    m_popupMenu2 = new QMenu(this);
    m_popupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    QAction* n5 = m_popupMenu2->addAction(QStringLiteral("&Show MainForm"));
    n5->setObjectName(QStringLiteral("N5"));
    connect(n5, &QAction::triggered, this, [this] { TuopanClick(); });
    QAction* showDropZone = m_popupMenu2->addAction(QStringLiteral("Show &DropZone"));
    showDropZone->setObjectName(QStringLiteral("ShowDropZone1"));
    connect(showDropZone, &QAction::triggered, this, [this] { ShowDropZone1Click(); });
    QAction* n3 = m_popupMenu2->addAction(QStringLiteral("&Exit"));
    n3->setObjectName(QStringLiteral("N3"));
    connect(n3, &QAction::triggered, this, [this] { runGuarded([this] { N3Click(); }); });

    // Shown for the whole run. Where no tray exists yet, Qt shows the icon once one appears;
    // until then a second start or the DropZone brings the window back.
    m_trayIcon = new QSystemTrayIcon(PinletIcon(), this);
    m_trayIcon->setObjectName(QStringLiteral("CoolTrayIcon1"));
    m_trayIcon->setToolTip(product::Name);
    m_trayIcon->setContextMenu(m_popupMenu2);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            TuopanClick();
    });
    m_trayIcon->show();
}

void TFrmFav::FormCreate() {
    AppState& st = appState();
    runGuarded([&] {
        QApplication::setStyle(new HintTimingStyle);
        if (favWindowHooks().createDropZone)
            favWindowHooks().createDropZone(this);
        else
            ReadCategories(st.CategoryList);
        setWindowTitle(product::Name);
        CreateFavDataWhenMissing();
        st.NewWindowMode = configFile().readInteger(kBtnConfig, QStringLiteral("NewWindow"), 0) == 1;
        resize(580, 390);
        if (const QScreen* screen = QApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        WriteCategories();
        for (int i = 0; i < st.CategoryList.size(); ++i)
            BuildCategoryPage(i, true);
        LoadFavoriteButtons();
        setAcceptDrops(true);
        const IniDocument ini = configFile().load();
        resize(ini.readInteger(kSize, QStringLiteral("Width"), 580), ini.readInteger(kSize, QStringLiteral("Height"), 390));
        if (const QScreen* screen = QApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        const int cate = ini.readInteger(kSize, QStringLiteral("CateID"), 0);
        if (cate >= 0 && cate < m_pageControl->count())
            m_pageControl->setCurrentIndex(cate);
        st.CurrentCategoryIndex = cate;
        m_dropZonePos = QPoint(screenWidth() - ini.readInteger(kSize, QStringLiteral("Right"), 240),
                               ini.readInteger(kSize, QStringLiteral("Top"), 39));
        if (favWindowHooks().placeDropZone)
            favWindowHooks().placeDropZone(m_dropZonePos.y(), m_dropZonePos.x());
        if (favWindowHooks().showDropZoneImage)
            favWindowHooks().showDropZoneImage();
        if (ini.readInteger(kSize, QStringLiteral("HotKey"), 1) == 1 && favWindowHooks().registerHotKey)
            favWindowHooks().registerHotKey(this);
    });
}

void TFrmFav::BuildCategoryPage(int i, bool atStartUp) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TBST") + QString::number(i));
    // Pages of the start carry an empty menu: a right click in their body shows nothing.
    if (atStartUp)
        page->setContextMenuPolicy(Qt::PreventContextMenu);
    auto* box = new ButtonBox(i, page);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    connect(box, &ButtonBox::mouseMoved, this, &TFrmFav::FavBtnMouseMove);
    connect(box, &ButtonBox::doubleClicked, this, &TFrmFav::SBOXdblClick);
    connect(box, &ButtonBox::shownWithPending, this, &TFrmFav::materialize);
    connect(box, &QObject::destroyed, this, [this, box] {
        for (auto it = m_pendingIds.begin(); it != m_pendingIds.end();)
            it = it.value() == box ? m_pendingIds.erase(it) : std::next(it);
    });
    const QString caption = appState().CategoryList.value(i);
    page->setProperty("caption", caption);
    page->setAccessibleName(caption);
    m_pageControl->addTab(page, PlainButtonText(caption));
}

QString TFrmFav::pageCaption(int i) const {
    const QWidget* page = m_pageControl->widget(i);
    return page ? page->property("caption").toString() : QString();
}

ButtonBox* TFrmFav::buttonBox(int position) const {
    return m_pageControl->findChild<ButtonBox*>(QStringLiteral("SBOX") + QString::number(position));
}

FavButton* TFrmFav::favoriteButton(qint32 id) {
    if (ButtonBox* box = m_pendingIds.value(id))
        materialize(box);
    return m_buttons.value(id);
}

QList<FavButton*> TFrmFav::favoriteButtons() {
    for (int i = 0; i < m_pageControl->count(); ++i)
        if (ButtonBox* box = buttonBox(i); box && box->hasPending())
            materialize(box);
    return m_buttons.values();
}

void TFrmFav::materialize(ButtonBox* box) {
    const QList<PendingButton> pending = box->takePending();
    for (const PendingButton& p : pending) {
        m_pendingIds.remove(p.id);
        makeButton(p, box)->show();
    }
}

FavButton* TFrmFav::makeButton(const PendingButton& p, ButtonBox* box) {
    auto* button = new FavButton(p.id, p.caption, p.hint, p.link, box ? box->content() : this);
    button->setGeometry(p.rect);
    registerButton(button);
    return button;
}

void TFrmFav::LoadFavoriteButtons() {
    AppState& st = appState();
    const IniFile ini = configFile();
    IniDocument doc = ini.load();
    LoadBatch batch;
    batch.layout = readLayout(doc);
    for (const QString& name : st.CategoryList)
        batch.slotCounters.insert(name.toCaseFolded(), doc.readInteger(kCategories, name, 1));
    m_batch = batch;
    m_duplicateReported = false;
    // Page captions by text, so that each record finds its pages without a scan of all tabs.
    QHash<QByteArray, QList<int>> pagesByCategory;
    for (int i = 0; i < m_pageControl->count(); ++i)
        pagesByCategory[st.CategoryList.value(i).toUtf8()].append(i);
    try {
        ForEachFavorite([&] {
            if (st.CurrentFavorite.id() < 0)
                return;
            const auto it = pagesByCategory.constFind(st.CurrentFavorite.bytes(FavoriteRecord::Field::Category));
            if (it == pagesByCategory.constEnd())
                return;
            for (int i : *it)
                AddFavoriteButton(i);
        });
    } catch (...) {
        m_batch.reset();
        throw;
    }
    // Write the counters once, with the values one write per button would have left.
    LoadBatch done = *m_batch;
    m_batch.reset();
    doc = ini.load();
    bool changed = false;
    for (const QString& name : st.CategoryList) {
        const int slot = done.slotCounters.value(name.toCaseFolded(), 1);
        if (doc.readInteger(kCategories, name, 1) != slot || !doc.valueExists(kCategories, name)) {
            doc.setInteger(kCategories, name, slot);
            changed = true;
        }
    }
    if (changed)
        ini.save(doc);
}

FavButton* TFrmFav::AddFavoriteButton(int i) {
    AppState& st = appState();
    const FavoriteRecord& rec = st.CurrentFavorite;
    const QString category = st.CategoryList.value(i);
    const qint32 id = rec.id();
    if (hasFavoriteButton(id)) {
        const QString name = QStringLiteral("FavBtn") + QString::number(id);
        if (m_batch) {
            // A damaged file with a repeated ID: say so once and go on with the rest.
            if (!m_duplicateReported) {
                m_duplicateReported = true;
                showErrorReport(QStringLiteral("A component named %1 already exists").arg(name));
            }
            return nullptr;
        }
        throw PinletError(QStringLiteral("A component named %1 already exists").arg(name));
    }
    int n;
    ButtonLayout layout;
    if (m_batch) {
        const QString key = category.toCaseFolded();
        auto slot = m_batch->slotCounters.find(key);
        if (slot == m_batch->slotCounters.end())
            slot = m_batch->slotCounters.insert(key, 1);
        n = (*slot)++;
        layout = m_batch->layout;
    } else {
        const IniFile ini = configFile();
        IniDocument doc = ini.load();
        n = doc.readInteger(kCategories, category, 1);
        doc.setInteger(kCategories, category, n + 1);
        ini.save(doc);
        layout = readLayout(doc);
    }
    st.lastQuantityPerLine = layout.quantityPerLine;
    st.lastCaptionLength = layout.captionLength;
    st.lastB2BHeight = layout.b2bHeight;
    st.lastB2BWidth = layout.b2bWidth;
    st.lastButtonWidth = layout.buttonWidth();

    const QString name = rec.name();
    const QString caption = utf8::cutText(name, layout.effectiveCaptionLength());
    const QString url = rec.url();
    ButtonBox* box = buttonBox(i);
    const PendingButton pending{id, caption, MakeFavHint(name, url, rec.comment()), url, layout.slotRect(n)};
    if (!box) {
        // No box of that position: the button exists, but nowhere to be seen.
        FavButton* button = makeButton(pending, nullptr);
        button->hide();
        return button;
    }
    box->fitButton(pending.rect, layout.b2bWidth, layout.b2bHeight);
    if (m_batch && !box->isVisible()) {
        box->addPending(pending);
        m_pendingIds.insert(id, box);
        return nullptr;
    }
    FavButton* button = makeButton(pending, box);
    button->show();
    return button;
}

void TFrmFav::registerButton(FavButton* button) {
    const qint32 id = button->favoriteId();
    m_buttons.insert(id, button);
    connect(button, &QObject::destroyed, this, [this, id, button] {
        if (m_buttons.value(id) == button)
            m_buttons.remove(id);
    });
    connect(button, &FavButton::mouseMoved, this, &TFrmFav::FavBtnMouseMove);
    connect(button, &QPushButton::clicked, this, [this, button] { FavBtnClick(button); });
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QWidget::customContextMenuRequested, this, [this, button](const QPoint& pos) {
        m_popupComponent = button;
        FavBtnMouseMove(button);
        m_popupMenu1->popup(button->mapToGlobal(pos));
    });
}

void TFrmFav::DestroyFavoriteButtons() {
    const auto buttons = m_buttons.values();
    m_buttons.clear();
    m_pendingIds.clear();
    qDeleteAll(buttons);
    for (int i = 0; i < m_pageControl->count(); ++i)
        if (ButtonBox* box = buttonBox(i))
            box->resetExtent();
}

void TFrmFav::FavBtnMouseMove(QWidget* sender) {
    const auto* button = qobject_cast<FavButton*>(sender);
    const QString u = button ? ExtractUrl(button->hint()) : QString();
    statusBar()->showMessage(QString(u).remove(QStringLiteral("\r\n")));
    m_youtube1->setVisible(IsVideoLink(button ? button->link() : QString()));
    m_n1->setVisible(true);
}

void TFrmFav::Youtube1Click() {
    const auto* b = qobject_cast<FavButton*>(m_popupComponent.data());
    if (!b)
        return;
    appState().VideoUrl = LinkFromHint(b->hint());
    if (favWindowHooks().openVideoPage)
        favWindowHooks().openVideoPage(appState().VideoUrl);
}

void TFrmFav::SBOXdblClick(QWidget* sender) {
    appState().CurrentCategoryIndex = PositionFromName(sender->objectName(), QStringLiteral("SBOX"));
    appState().DroppedFile.clear();
    if (favWindowHooks().openEditor)
        favWindowHooks().openEditor(this, false, 0, 0);
}

int TFrmFav::PositionFromName(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix))
        return -1;
    bool ok = false;
    const int v = name.mid(prefix.size()).toInt(&ok);
    return ok ? v : -1;
}

// ---- Opening favorites

void TFrmFav::FavBtnClick(FavButton* sender) {
    const QString url = sender->link();
    // Opening never reports a failure.
    try {
        if (appState().NewWindowMode) {
            OpenUrl(url, true, WindowReuse::instance(), Shell::instance());
        } else {
            OpenUrl(url, false, WindowReuse::instance(), Shell::instance());
            Shell::instance().open(url);
        }
    } catch (const std::exception&) {
    }
}

void TFrmFav::MenuOpenUrlClick() {
    if (const auto* b = qobject_cast<FavButton*>(m_popupComponent.data()))
        QApplication::clipboard()->setText(b->link());
}

// ---- Editing and removing favorites

void TFrmFav::MenuEditFavClick() {
    const auto* button = qobject_cast<FavButton*>(m_popupComponent.data());
    if (!button)
        return;
    const qint32 id = PositionFromName(button->objectName(), QStringLiteral("FavBtn"));
    const int count = id < 0 ? 0 : FindFavoriteById(id);
    if (count == 0) {
        Dialogs::instance().messageBox(nullptr, QStringLiteral("ERROR\uFF1AFile not found"), QStringLiteral("ERROR"),
                                       Dialogs::Icon::Error, Dialogs::Buttons::Ok);
        return;
    }
    appState().DroppedFile.clear();
    if (favWindowHooks().openEditor)
        favWindowHooks().openEditor(this, true, count, id);
}

void TFrmFav::MenuRemoveFavClick() {
    FavButton* button = qobject_cast<FavButton*>(m_popupComponent.data());
    if (!button)
        return;
    const qint32 id = PositionFromName(button->objectName(), QStringLiteral("FavBtn"));
    const int count = id < 0 ? 0 : FindFavoriteById(id);
    if (count == 0) {
        Dialogs::instance().messageBox(nullptr, QStringLiteral("File not found"), QStringLiteral("Error"),
                                       Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return;
    }
    // Only the ID changes: the record keeps its place and its other bytes.
    appState().CurrentFavorite.setId(-1);
    OverwriteFavorite(count);
    delete button;
}

void TFrmFav::hotykey() {
    appState().DroppedFile.clear();
    if (favWindowHooks().openEditor)
        favWindowHooks().openEditor(this, false, 0, 0);
}

void TFrmFav::dragEnterEvent(QDragEnterEvent* event) {
    if (favWindowHooks().acceptsDrop && favWindowHooks().acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
}

void TFrmFav::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    if (favWindowHooks().dataDropped)
        favWindowHooks().dataDropped(event->mimeData(), this);
}

// ---- Categories

bool TFrmFav::refuseCategoryName(const QString& name) {
    const QString problem = CategoryNameProblem(name);
    if (problem.isEmpty())
        return false;
    Dialogs::instance().messageBox(nullptr, problem, QStringLiteral("Error"), Dialogs::Icon::Warning,
                                   Dialogs::Buttons::Ok);
    return true;
}

void TFrmFav::SBtnNewCateClick() {
    AppState& st = appState();
    st.CategoryCreated = false;
    const bool preset = !st.PresetCategoryName.isEmpty();
    const QString name =
        preset ? st.PresetCategoryName
               : Dialogs::instance().inputBox(this, QStringLiteral("New Category"), QString(), QString());
    if (name.isEmpty() || refuseCategoryName(name))
        return;
    const IniFile ini = configFile();
    IniDocument doc = ini.load();
    const bool exists = doc.valueExists(kCategories, name) ||
                        std::any_of(st.CategoryList.begin(), st.CategoryList.end(),
                                    [&](const QString& c) { return c.compare(name, Qt::CaseInsensitive) == 0; });
    if (exists) {
        if (!preset)
            Dialogs::instance().messageBox(nullptr, QStringLiteral("Category Existed"), QStringLiteral("Error"),
                                           Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return;
    }
    doc.setInteger(kCategories, name, 1);
    ini.save(doc);
    st.CategoryCreated = true;
    st.CategoryList.append(name);
    const int i = st.CategoryList.size() - 1;
    BuildCategoryPage(i, false);
    if (favWindowHooks().dropZoneItemAdded)
        favWindowHooks().dropZoneItemAdded(i, name);
}

void TFrmFav::Edit1Click() { RenameCategory(); }

void TFrmFav::RenameCategory() {
    const int i = m_pageControl->currentIndex();
    if (i < 0)
        return;
    AppState& st = appState();
    const QString oldName = pageCaption(i);
    const QString newName = Dialogs::instance().inputBox(this, QStringLiteral("Edit"), QString(), oldName);
    // The same name, Cancel, or an empty name: nothing to do.
    if (newName == oldName || newName.isEmpty() || refuseCategoryName(newName))
        return;
    if (std::any_of(st.CategoryList.begin(), st.CategoryList.end(),
                    [&](const QString& c) { return c.compare(newName, Qt::CaseInsensitive) == 0; })) {
        Dialogs::instance().messageBox(nullptr, QStringLiteral("Category Existed"), QStringLiteral("Error"),
                                       Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return;
    }
    for (QString& c : st.CategoryList)
        if (c.compare(oldName, Qt::CaseInsensitive) == 0) {
            c = newName;
            break;
        }
    if (!RenameIniKey(ConfigPath(), kCategories, oldName, 1, newName)) {
        const IniFile ini = configFile();
        IniDocument doc = ini.load();
        const int v = doc.readInteger(kCategories, oldName, 1);
        doc.deleteKey(kCategories, oldName);
        doc.setInteger(kCategories, newName, v);
        ini.save(doc);
    }
    if (favWindowHooks().dropZoneItemRenamed)
        favWindowHooks().dropZoneItemRenamed(i, newName);
    QWidget* page = m_pageControl->widget(i);
    page->setProperty("caption", newName);
    page->setAccessibleName(newName);
    m_pageControl->setTabText(i, PlainButtonText(newName));
    RenameCategoryInRecords(oldName, newName);
}

void TFrmFav::SBtnRemoveCateClick() {
    if (m_pageControl->count() == 0)
        return;
    AppState& st = appState();
    const int i = m_pageControl->currentIndex();
    const QString caption = pageCaption(i);
    if (st.CategoryList.value(i) != caption) {
        Dialogs::instance().messageBox(nullptr, QStringLiteral("Error\uFF01Can not continue"), QStringLiteral("Error"),
                                       Dialogs::Icon::Error, Dialogs::Buttons::Ok);
        return;
    }
    if (Dialogs::instance().messageBox(this, QStringLiteral("Delete Category [") + caption + QStringLiteral("] ?"),
                                       QStringLiteral("Delete Confirmation"), Dialogs::Icon::Warning,
                                       Dialogs::Buttons::OkCancel) != Dialogs::Ok)
        return;
    QWidget* page = m_pageControl->widget(i);
    m_pageControl->removeTab(i);
    delete page;
    // The page after it becomes active; after the last one, the first.
    if (m_pageControl->count() > 0)
        m_pageControl->setCurrentIndex(i < m_pageControl->count() ? i : 0);
    renumberPages(i);
    st.CategoryList.removeAt(i);
    if (favWindowHooks().dropZoneItemRemoved)
        favWindowHooks().dropZoneItemRemoved(i);
    configFile().deleteKey(kCategories, caption);
}

void TFrmFav::renumberPages(int from) {
    for (int k = from; k < m_pageControl->count(); ++k) {
        QWidget* page = m_pageControl->widget(k);
        page->setObjectName(QStringLiteral("TBST") + QString::number(k));
        if (auto* box = page->findChild<ButtonBox*>())
            box->setObjectName(QStringLiteral("SBOX") + QString::number(k));
    }
}

void TFrmFav::PageControl1MouseDown(Qt::MouseButton button, const QPoint& tabBarPos) {
    if (button != Qt::RightButton)
        return;
    const int tab = m_pageControl->tabBar()->tabAt(tabBarPos);
    if (tab >= 0)
        m_pageControl->setCurrentIndex(tab);
}

void TFrmFav::ShowDropZone1Click() {
    if (favWindowHooks().showDropZone)
        favWindowHooks().showDropZone();
}

bool TFrmFav::eventFilter(QObject* watched, QEvent* event) {
    QTabBar* bar = m_pageControl ? m_pageControl->tabBar() : nullptr;
    if (watched == bar && event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        PageControl1MouseDown(me->button(), me->position().toPoint());
    }
    if ((watched == bar || watched == m_pageControl) && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && m_pageControl->currentIndex() >= 0) {
        runGuarded([this] { RenameCategory(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Window state, tray and exit

bool TFrmFav::FormCloseQuery() {
    const bool saved = runGuarded([this] {
        const IniFile ini = configFile();
        IniDocument doc = ini.load();
        writeWindowState(doc, std::nullopt);
        ini.save(doc);
    });
    if (saved)
        HideMainWindow();
    return false;
}

void TFrmFav::closeEvent(QCloseEvent* event) {
    event->ignore();
    FormCloseQuery();
}

void TFrmFav::SaveExitState() {
    QPoint dz = m_dropZonePos;
    if (favWindowHooks().dropZoneGeometry)
        dz = favWindowHooks().dropZoneGeometry().topLeft();
    const IniFile ini = configFile();
    IniDocument doc = ini.load();
    writeWindowState(doc, dz);
    ini.save(doc);
}

void TFrmFav::writeWindowState(IniDocument& doc, std::optional<QPoint> dropZone) const {
    doc.setInteger(kSize, QStringLiteral("Height"), height());
    doc.setInteger(kSize, QStringLiteral("Width"), width());
    if (dropZone) {
        doc.setInteger(kSize, QStringLiteral("Top"), dropZone->y());
        doc.setInteger(kSize, QStringLiteral("Right"), screenWidth() - dropZone->x());
    }
    doc.setInteger(kSize, QStringLiteral("CateID"), m_pageControl->currentIndex());
}

void TFrmFav::N3Click() {
    SaveExitState();
    processExit()(0);
}

void TFrmFav::EndSession() { QCoreApplication::exit(0); }

void TFrmFav::TuopanClick() { ShowMainWindow(); }

void TFrmFav::ShowMainWindow() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void TFrmFav::HideMainWindow() { hide(); }

// A visible top-level window has its taskbar entry: nothing more to do here.
void TFrmFav::ShowTaskbarButton() {}

void TFrmFav::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    ShowTaskbarButton();
    if (favWindowHooks().updateTrigger)
        favWindowHooks().updateTrigger(this);
}

void TFrmFav::BitBtn1Click() {
    const bool toTop = m_bitBtn1->text() == QLatin1String("TopMost");
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, toTop);
    if (visible)
        show(); // changing the flags hides a window
    m_bitBtn1->setText(toTop ? QStringLiteral("Normal") : QStringLiteral("TopMost"));
}

void TFrmFav::mouseDoubleClickEvent(QMouseEvent* event) {
    QMainWindow::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        FormDblClick();
}

void TFrmFav::FormDblClick() { runGuarded([this] { SBtnNewCateClick(); }); }

void TFrmFav::SBtnSetupClick() {
    if (favWindowHooks().openOptions)
        favWindowHooks().openOptions(this);
}

void TFrmFav::SBtnAboutMouseUp(const QPoint& posInButton) {
    const QPoint corner = QCursor::pos() - posInButton + QPoint(0, m_sbtnAbout->height());
    if (favWindowHooks().popupHelp)
        favWindowHooks().popupHelp(this, corner);
}
