#include "TFrmMain.h"

#include "AppState.h"
#include "DropZoneImage.h"
#include "EditorOpening.h"
#include "ErrorReport.h"
#include "LinkSources.h"
#include "Store.h"
#include "TFrmFav.h"
#include "ToolWindow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
std::function<void()>& quitFunction() {
    // exit(), not quit(): quit() first closes the windows, and the main window refuses (it hides to the tray).
    static std::function<void()> f = [] { QCoreApplication::exit(0); };
    return f;
}
} // namespace

void TFrmMain::setQuit(std::function<void()> quit) {
    quitFunction() = std::move(quit);
}

TFrmMain::TFrmMain(TFrmFav* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_main(mainWindow) {
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("DropZone"));
    setAccessibleName(QStringLiteral("DropZone"));

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(DropZonePicture());
    m_image->setFixedSize(48, 48);
    m_image->setAccessibleName(QStringLiteral("DropZone"));
    m_image->installEventFilter(this);
    // Hidden until the main window has placed the DropZone.
    m_image->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image);

    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const char* name, const QString& text, void (TFrmMain::*handler)()) {
        QAction* a = m_popupMenu1->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
        return a;
    };
    QAction* showFav = add("ShowFav", QStringLiteral("&Main Window"), &TFrmMain::ShowFavClick);
    m_popupMenu1->setDefaultAction(showFav);
    m_addTo = m_popupMenu1->addMenu(QStringLiteral("Add to"));
    m_addTo->setObjectName(QStringLiteral("AddToMenu"));
    m_addTo->menuAction()->setObjectName(QStringLiteral("AddTo"));
    m_popupMenu1->addSeparator()->setObjectName(QStringLiteral("N2"));
    add("Hide1", QStringLiteral("&Hide DropZone"), &TFrmMain::Hide1Click);
    m_popupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    add("Exit", QStringLiteral("&Exit"), &TFrmMain::ExitClick);

    FormCreate();
}

TFrmMain::~TFrmMain() {
    FormDestroy();
}

void TFrmMain::FormCreate() {
    m_image->setToolTip(QStringLiteral("DoubleClick to add favorites"));
    m_image->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_image, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popupMenu1->popup(m_image->mapToGlobal(pos)); });
    setFixedSize(48, 48);
    AppState& st = appState();
    ReadCategories(st.CategoryList);
    for (int i = 0; i < st.CategoryList.size(); ++i)
        makeAddToItem(i, st.CategoryList[i]);
    setAcceptDrops(true);
}

void TFrmMain::FormDestroy() {
    appState().CategoryList.clear();
}

void TFrmMain::FormShow() {
    KeepOutOfTaskbar(this);
}

void TFrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

QAction* TFrmMain::makeAddToItem(int position, const QString& name) {
    auto* item = new QAction(QString(name).replace(u'&', QStringLiteral("&&")), m_addTo);
    item->setObjectName(QStringLiteral("AddTo") + QString::number(position));
    item->setData(name);
    connect(item, &QAction::triggered, this, [this, item] { runGuarded([this, item] { AddToMenuClick(item); }); });
    const QList<QAction*> items = m_addTo->actions();
    m_addTo->insertAction(position < items.size() ? items[position] : nullptr, item);
    return item;
}

void TFrmMain::renumberItems() {
    const QList<QAction*> items = m_addTo->actions();
    for (int i = 0; i < items.size(); ++i)
        items[i]->setObjectName(QStringLiteral("AddTo") + QString::number(i));
}

void TFrmMain::itemAdded(int position, const QString& name) {
    makeAddToItem(position, name);
    renumberItems();
}

void TFrmMain::itemRenamed(int position, const QString& name) {
    if (QAction* item = m_addTo->actions().value(position)) {
        item->setText(QString(name).replace(u'&', QStringLiteral("&&")));
        item->setData(name);
    }
}

void TFrmMain::itemRemoved(int position) {
    delete m_addTo->actions().value(position);
    renumberItems();
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_image)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_pressPos.reset();
            m_dragOffset.reset();
            // Out of the mouse handler, so the modal editor does not run inside it.
            QTimer::singleShot(0, this, [this] { runGuarded([this] { Image1DblClick(); }); });
            return true;
        }
        break;
    case QEvent::MouseButtonPress: {
        // Image1MouseDown: dragging the picture moves the window. The move starts once the
        // mouse has travelled a little, so that a double-click still reaches the picture.
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton)
            break;
        m_pressPos = me->globalPosition().toPoint();
        m_dragOffset.reset();
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (!m_pressPos || !(me->buttons() & Qt::LeftButton))
            break;
        const QPoint global = me->globalPosition().toPoint();
        if (!m_dragOffset) {
            if ((global - *m_pressPos).manhattanLength() < QApplication::startDragDistance())
                return true;
            QWindow* window = windowHandle();
            if (window && window->startSystemMove()) {
                m_pressPos.reset();
                return true;
            }
            // No window manager that moves windows (a bare X server): follow the mouse here.
            m_dragOffset = *m_pressPos - frameGeometry().topLeft();
        }
        move(global - *m_dragOffset);
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_pressPos.reset();
        m_dragOffset.reset();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmMain::Image1DblClick() {
    if (m_main)
        OpenFavoriteEditor(m_main, this, false);
}

void TFrmMain::AddToMenuClick(QAction* item) {
    const int i = TFrmFav::PositionFromName(item->objectName(), QStringLiteral("AddTo"));
    if (!m_main || i < 0)
        return;
    m_main->pageControl()->setCurrentIndex(i);
    appState().DroppedFile.clear();
    OpenFavoriteEditor(m_main, this, false);
}

void TFrmMain::ShowFavClick() {
    if (m_main)
        m_main->ShowMainWindow();
}

void TFrmMain::Hide1Click() {
    hide();
}

void TFrmMain::ExitClick() {
    if (m_main)
        m_main->SaveExitState();
    quitFunction()();
}

void TFrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedItems(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmMain::dropEvent(QDropEvent* event) {
    const QList<DroppedItem> items = DroppedItems(event->mimeData());
    event->acceptProposedAction();
    // The drag ends first; the editors then open one after the other.
    QTimer::singleShot(0, this, [this, items] { runGuarded([&] { OpenEditorsForDrop(m_main, this, items); }); });
}
