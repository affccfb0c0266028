#include "TFrmFav.h"

#include "AppState.h"
#include "ButtonBox.h"
#include "ErrorReport.h"
#include "FavButton.h"
#include "FavHint.h"
#include "FavWindowHooks.h"
#include "PinletError.h"
#include "ProductInfo.h"
#include "Store.h"
#include "Utf8.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

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

} // namespace

FavWindowHooks& favWindowHooks() {
    static FavWindowHooks hooks;
    return hooks;
}

TFrmFav::TFrmFav(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FrmFav"));
    createControls();
    createMenus();
    FormCreate();
}

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

    m_pageControl = new QTabWidget(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setDocumentMode(true);
    m_pageControl->setUsesScrollButtons(true);
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
    addItem(m_popupMenu1, "MenuOpenUrl", QStringLiteral("Copy URL"));
    m_n1 = m_popupMenu1->addSeparator();
    m_n1->setObjectName(QStringLiteral("N1"));
    m_youtube1 = addItem(m_popupMenu1, "Youtube1", QStringLiteral("Download video"));
    m_popupMenu1->addSeparator()->setObjectName(QStringLiteral("N4"));
    addItem(m_popupMenu1, "MenuEditFav", QStringLiteral("Edit"));
    addItem(m_popupMenu1, "MenuRemoveFav", QStringLiteral("Delete"));

    m_popupMenu3 = new QMenu(this);
    m_popupMenu3->setObjectName(QStringLiteral("PopupMenu3"));

    m_popupMenu4 = new QMenu(this);
    m_popupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    addItem(m_popupMenu4, "Edit1", QStringLiteral("&Edit"));
    addItem(m_popupMenu4, "Delete1", QStringLiteral("&Delete"));
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
        if (favWindowHooks().placeDropZone) {
            const int top = ini.readInteger(kSize, QStringLiteral("Top"), 39);
            const int right = ini.readInteger(kSize, QStringLiteral("Right"), 240);
            const QScreen* screen = QApplication::primaryScreen();
            favWindowHooks().placeDropZone(top, (screen ? screen->geometry().width() : 0) - right);
        }
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
    m_pageControl->addTab(page, PlainButtonText(appState().CategoryList.value(i)));
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

void TFrmFav::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
