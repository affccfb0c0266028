#include "TFrmEdtFav.h"

#include "AppState.h"
#include "Dialogs.h"
#include "EditorRules.h"
#include "ErrorReport.h"
#include "FavButton.h"
#include "FavHint.h"
#include "FavWindowHooks.h"
#include "LinkSources.h"
#include "Store.h"
#include "TFrmFav.h"
#include "Utf8.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>

namespace {
constexpr int kWidth = 513;
// A label ends just before its field and sits on the field's middle, whatever the font's width.
void placeLabel(QLabel* label, QWidget* field, int left) {
    label->adjustSize();
    const QRect f = field->geometry();
    const int x = std::max(left, f.x() - label->width() - 4);
    label->move(std::min(x, f.x() - label->width() - 1), f.y() + (f.height() - label->height()) / 2);
}
constexpr int kHeight = 236;
constexpr int kEditCaptionBytes = 10;
} // namespace

TFrmEdtFav::TFrmEdtFav(TFrmFav* mainWindow, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      m_main(mainWindow) {
    setObjectName(QStringLiteral("FrmEdtFav"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    createControls();
    FormCreate();
}

void TFrmEdtFav::createControls() {
    m_groupBox = new QGroupBox(this);
    m_groupBox->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox->setGeometry(8, 8, 489, 153);

    auto field = [this](const char* name, const QString& label, QPoint labelAt, QRect place) {
        auto* edit = new QLineEdit(m_groupBox);
        edit->setObjectName(QLatin1String(name));
        edit->setGeometry(place);
        auto* l = new QLabel(label, m_groupBox);
        l->setObjectName(QStringLiteral("Lbl") + QLatin1String(name).mid(3));
        placeLabel(l, edit, labelAt.x());
        l->setBuddy(edit);
        edit->setAccessibleName(label);
        return edit;
    };
    m_edtName = field("EdtName", QStringLiteral("Name"), {24, 32}, {64, 28, 209, 21});
    m_edtUrl = field("EdtUrl", QStringLiteral("URL"), {28, 76}, {64, 72, 289, 21});
    m_edtComment = field("EdtComment", QStringLiteral("Comment"), {8, 116}, {64, 112, 409, 21});

    m_cmbCate = new QComboBox(m_groupBox);
    m_cmbCate->setObjectName(QStringLiteral("CmbCate"));
    m_cmbCate->setEditable(true);
    m_cmbCate->setInsertPolicy(QComboBox::NoInsert);
    m_cmbCate->setMaxVisibleItems(15);
    m_cmbCate->setGeometry(336, 27, 145, 21);
    m_cmbCate->setAccessibleName(QStringLiteral("Category"));
    // Typed text completes inline to the first category that begins with it, in any letter case.
    m_cmbCate->completer()->setCompletionMode(QCompleter::InlineCompletion);
    m_cmbCate->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    auto* lblCate = new QLabel(QStringLiteral("Category"), m_groupBox);
    lblCate->setObjectName(QStringLiteral("LblCate"));
    placeLabel(lblCate, m_cmbCate, 288);
    lblCate->setBuddy(m_cmbCate);

    m_btnDownload = new QPushButton(QStringLiteral("Download Video"), m_groupBox);
    m_btnDownload->setObjectName(QStringLiteral("BtnDownload"));
    m_btnDownload->setGeometry(376, 77, 105, 25);
    m_btnDownload->setAutoDefault(false);

    auto button = [this](const char* name, const QString& text, QRect place) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(place);
        return b;
    };
    m_btnApd = button("BtnApd", QStringLiteral("Add"), {141, 168, 75, 25});
    m_btnEdt = button("BtnEdt", QStringLiteral("Confirm"), {141, 168, 75, 25});
    m_btnCancel = button("BtnCancel", QStringLiteral("Cancel"), {269, 168, 75, 25});

    setTabOrder(m_edtName, m_edtUrl);
    setTabOrder(m_edtUrl, m_edtComment);
    setTabOrder(m_edtComment, m_cmbCate);
    setTabOrder(m_cmbCate, m_btnApd);
    setTabOrder(m_btnApd, m_btnEdt);
    setTabOrder(m_btnEdt, m_btnCancel);
    setTabOrder(m_btnCancel, m_btnDownload);

    connect(m_btnApd, &QPushButton::clicked, this, [this] { runGuarded([this] { BtnApdClick(); }); });
    connect(m_btnEdt, &QPushButton::clicked, this, [this] { runGuarded([this] { BtnEdtClick(); }); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
    connect(m_btnDownload, &QPushButton::clicked, this, [this] { BtnDownloadClick(); });
    connect(m_edtUrl, &QLineEdit::textChanged, this, [this] { EdtUrlChange(); });
}

void TFrmEdtFav::FormCreate() {
    setFont(QApplication::font("QMenu"));
    setFixedSize(kWidth, kHeight);
    const QScreen* screen = QApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(kWidth, kHeight);
    std::optional<QPoint> at;
    if (m_main)
        at = EditorPosition(m_main->frameGeometry().top(), m_main->frameGeometry().height(), screenSize, size());
    move(at ? *at : QPoint((screenSize.width() - kWidth) / 2, (screenSize.height() - kHeight) / 2));
    setAcceptDrops(true);
}

void TFrmEdtFav::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    runGuarded([this] { FormShow(); });
}

void TFrmEdtFav::setFields(const QString& name, const QString& comment, const QString& url) {
    m_edtName->setText(name);
    m_edtComment->setText(comment);
    m_edtUrl->setText(url);
}

void TFrmEdtFav::FormShow() {
    AppState& st = appState();
    // The hand-over is consumed by this dialog whatever happens below.
    const QString dropped = std::exchange(st.DroppedFile, QString());
    m_btnEdt->setVisible(EditMode);
    m_btnApd->setVisible(!EditMode);
    setWindowTitle(EditMode ? QStringLiteral("Edit") : QStringLiteral("Add a Favorite"));
    m_cmbCate->clear();
    m_cmbCate->addItems(st.CategoryList);
    m_cmbCate->setCurrentIndex(-1);
    if (!EditMode) {
        m_edtComment->clear();
        m_edtUrl->clear();
        m_btnApd->setDefault(true);
        const EditorFields browser = FieldsFromFrontBrowser();
        setFields(browser.name, browser.comment, browser.url);
        const int page = m_main ? m_main->pageControl()->currentIndex() : -1;
        m_cmbCate->setCurrentIndex(page < m_cmbCate->count() ? page : -1);
        if (m_main)
            m_main->ShowMainWindow();
        if (!dropped.isEmpty()) {
            const EditorFields file = FieldsFromDrop(dropped, DroppedTitle);
            setFields(file.name, file.comment, file.url);
        }
    } else {
        m_btnEdt->setDefault(true);
        m_record = st.CurrentFavorite;
        const FavoriteRecord& rec = m_record;
        int found = -1;
        for (int i = 0; i < st.CategoryList.size() && found < 0; ++i)
            if (st.CategoryList[i].compare(rec.category(), Qt::CaseInsensitive) == 0)
                found = i;
        m_cmbCate->setCurrentIndex(found);
        if (found < 0)
            m_cmbCate->setEditText(QString());
        setFields(rec.name(), rec.comment(), rec.url());
    }
    // Whether the video button is there is decided once, as the editor shows; typing only
    // enables or disables it.
    const bool video = IsVideoLink(m_edtUrl->text());
    m_btnDownload->setVisible(video);
    m_edtUrl->resize(EditorUrlFieldWidth(video), m_edtUrl->height());
    EdtUrlChange();
    // Shown over the main window that was just raised.
    raise();
    activateWindow();
}

void TFrmEdtFav::EdtUrlChange() { m_btnDownload->setEnabled(CanDownloadVideo(m_edtUrl->text())); }

void TFrmEdtFav::BtnDownloadClick() {
    appState().VideoUrl = m_edtUrl->text();
    if (favWindowHooks().openVideoPage)
        favWindowHooks().openVideoPage(m_edtUrl->text());
    // Nothing is saved: the editor closes as with Cancel.
    reject();
}

bool TFrmEdtFav::takeCategory(QString& name, int& position) {
    const CategoryChoice choice = ChooseCategory(m_cmbCate->currentText(), appState().CategoryList);
    if (!choice.problem.isEmpty()) {
        Dialogs::instance().messageBox(this, choice.problem, QStringLiteral("Error"), Dialogs::Icon::Warning,
                                       Dialogs::Buttons::Ok);
        m_cmbCate->setFocus();
        return false;
    }
    name = choice.name;
    position = choice.position;
    return true;
}

namespace {
// Makes the category of that name silently, through the main window's New category.
int createCategory(TFrmFav* main, const QString& name) {
    AppState& st = appState();
    const auto clear = qScopeGuard([&st] {
        st.PresetCategoryName.clear();
        st.CategoryCreated = false;
    });
    st.PresetCategoryName = name;
    main->SBtnNewCateClick();
    for (int i = 0; i < st.CategoryList.size(); ++i)
        if (st.CategoryList[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

void TFrmEdtFav::BtnApdClick() {
    AppState& st = appState();
    QString category;
    int position = -1;
    if (!m_main || !takeCategory(category, position))
        return;
    if (position < 0) {
        position = createCategory(m_main, category);
        if (position < 0)
            return; // New category refused the name and said why
    }
    FavoriteRecord& rec = st.CurrentFavorite;
    // A new record carries nothing of the record read last.
    rec.clear();
    rec.setId(NextFavoriteID());
    rec.setCategory(category);
    rec.setName(m_edtName->text());
    rec.setUrl(m_edtUrl->text());
    rec.setComment(m_edtComment->text());
    AppendFavorite();
    m_main->AddFavoriteButton(position);
    accept();
}

void TFrmEdtFav::BtnEdtClick() {
    AppState& st = appState();
    QString category;
    int position = -1;
    if (!m_main || !takeCategory(category, position))
        return;
    const QString old = m_record.category();
    FavoriteRecord edited = m_record;
    edited.setId(FavID);
    edited.setCategory(category);
    edited.setName(m_edtName->text());
    edited.setUrl(m_edtUrl->text());
    edited.setComment(m_edtComment->text());
    const bool moved = edited.category() != old;
    // The page exists before the record names it: a failure in between loses no favorite.
    if (moved && position < 0) {
        position = createCategory(m_main, category);
        if (position < 0)
            return;
    }
    st.CurrentFavorite = edited;
    OverwriteFavorite(RecordNo);
    FavButton* button = m_main->favoriteButton(FavID);
    if (!moved) {
        if (button)
            button->setFavorite(utf8::cutText(edited.name(), kEditCaptionBytes),
                                MakeFavHint(edited.name(), edited.url(), edited.comment()), edited.url());
        accept();
        return;
    }
    delete button;
    m_main->AddFavoriteButton(position);
    accept();
}

void TFrmEdtFav::BtnCancelClick() {
    reject();
}

void TFrmEdtFav::DropOnEditor(const QMimeData* data) {
    for (const DroppedItem& item : DroppedItems(data)) {
        const EditorFields f = FieldsFromDrop(item.handOver(), item.title);
        setFields(f.name, f.comment, f.url);
    }
}

void TFrmEdtFav::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedItems(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmEdtFav::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    runGuarded([&] { DropOnEditor(event->mimeData()); });
}
