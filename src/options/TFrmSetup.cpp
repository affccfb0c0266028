#include "TFrmSetup.h"

#include "AppState.h"
#include "Autostart.h"
#include "Dialogs.h"
#include "ErrorReport.h"
#include "FavWindowHooks.h"
#include "Store.h"
#include "TFrmFav.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>

namespace {

const QString kBtnConfig = QStringLiteral("BtnConfig");
const QString kSize = QStringLiteral("Size");
// The inside of a 393 x 286 window with a dialog frame and a caption.
constexpr QSize kClientSize(387, 259);

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int x, int y, const QString& hint = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    l->setToolTip(hint);
    return l;
}

QLineEdit* addEdit(QWidget* parent, const char* name, int x, int y, const QString& hint, QLabel* label) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(x, y, 35, 21);
    e->setToolTip(hint);
    label->setBuddy(e);
    e->setAccessibleName(label->text());
    // Fonts wider than the dialog was drawn for must not run a label into its box.
    const int room = x - 4 - label->x();
    if (label->width() > room)
        label->move(std::max(4, x - 4 - label->width()), label->y());
    return e;
}

QCheckBox* addCheck(QWidget* parent, const char* name, const QString& text, int x, int y, int w, const QString& hint) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setGeometry(x, y, std::max(w, c->sizeHint().width()), std::max(17, c->sizeHint().height()));
    c->setToolTip(hint);
    return c;
}

} // namespace

TFrmSetup::TFrmSetup(TFrmFav* mainWindow) : QDialog(nullptr), m_main(mainWindow) {
    setObjectName(QStringLiteral("FrmSetup"));
    createControls();
    runGuarded([this] { FormCreate(); });
}

void TFrmSetup::createControls() {
    setFont(QApplication::font("QMenu"));

    auto* group2 = new QGroupBox(QStringLiteral("Button Config"), this);
    group2->setObjectName(QStringLiteral("GroupBox2"));
    group2->setGeometry(16, 8, 353, 97);
    const QString perLineHint = QStringLiteral("Set how many buttons per line");
    const QString xHint = QStringLiteral("Set the X distance between near two buttons");
    const QString yHint = QStringLiteral("Set the Y distance between near two buttons");
    QLabel* label1 = addLabel(group2, "Label1", QStringLiteral("QtyPerLine"), 32, 32, perLineHint);
    m_edtPerLine = addEdit(group2, "EdtPerLine", 112, 28, perLineHint, label1);
    QLabel* label2 = addLabel(group2, "Label2", QStringLiteral("CaptionLength"), 25, 64,
                              QStringLiteral("Set button caption length,e.g.if enter 12,only 12 letters can be displayed."));
    m_edtWidth = addEdit(group2, "EdtWidth", 113, 60,
                         QStringLiteral("Set button caption length,e.g.if enter 12,Caption will be 12 byte long"), label2);
    addLabel(group2, "Label6", QStringLiteral("Byte"), 154, 64);
    QLabel* label3 = addLabel(group2, "Label3", QStringLiteral("X distance"), 200, 32, xHint);
    m_edtHtoH = addEdit(group2, "EdtHtoH", 265, 28, xHint, label3);
    addLabel(group2, "Label7", QStringLiteral("px"), 314, 32);
    QLabel* label4 = addLabel(group2, "Label4", QStringLiteral("Y distance"), 201, 64, yHint);
    m_edtWtoW = addEdit(group2, "EdtWtoW", 266, 60, yHint, label4);
    addLabel(group2, "Label8", QStringLiteral("px"), 315, 64);
    // Labels are placed by their tops as the edits are; centre them on the edits' text instead.
    for (QLabel* l : group2->findChildren<QLabel*>())
        l->move(l->x(), l->y() - (l->height() - 13) / 2);

    auto* group1 = new QGroupBox(QStringLiteral("General"), this);
    group1->setObjectName(QStringLiteral("GroupBox1"));
    group1->setGeometry(16, 112, 353, 97);
    m_checkBox1 = addCheck(group1, "CheckBox1", QStringLiteral("Open in New Window"), 32, 23, 281,
                           QStringLiteral("If checked,Favorites will be opened in new window,else in old window"));
    m_checkBox2 = addCheck(group1, "CheckBox2", QStringLiteral("Start Pinlet on windows startup"), 32, 45, 265,
                           QStringLiteral("If checked,Pinlet will be loaded automatically on windows startup."));
    m_checkBox3 = addCheck(group1, "CheckBox3", QStringLiteral("Enable Hotkey(Ctrl+D)"), 32, 67, 145,
                           QStringLiteral("If checked,Hotkey(Ctrl+D) can be used to add favorites"));

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(168, 216, 75, 25);
    m_button2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(272, 216, 75, 25);
    // Neither button answers Enter.
    for (QPushButton* b : {m_button1, m_button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(m_button1, &QPushButton::clicked, this, [this] { runGuarded([this] { Button1Click(); }); });
    connect(m_button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    QWidget::setTabOrder(m_edtPerLine, m_edtWidth);
    QWidget::setTabOrder(m_edtWidth, m_edtHtoH);
    QWidget::setTabOrder(m_edtHtoH, m_edtWtoW);
    QWidget::setTabOrder(m_edtWtoW, m_button1);
    QWidget::setTabOrder(m_button1, m_button2);
    QWidget::setTabOrder(m_button2, m_checkBox1);
    QWidget::setTabOrder(m_checkBox1, m_checkBox2);
    QWidget::setTabOrder(m_checkBox2, m_checkBox3);
}

void TFrmSetup::FormCreate() {
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    const IniDocument ini = configFile().load();
    m_edtPerLine->setText(QString::number(ini.readInteger(kBtnConfig, QStringLiteral("QuantityperLine"), 5)));
    m_edtWidth->setText(QString::number(ini.readInteger(kBtnConfig, QStringLiteral("CaptionLength"), 12)));
    m_edtHtoH->setText(QString::number(ini.readInteger(kBtnConfig, QStringLiteral("B2BHeight"), 6)));
    m_edtWtoW->setText(QString::number(ini.readInteger(kBtnConfig, QStringLiteral("B2BWidth"), 12)));
    m_checkBox1->setChecked(ini.readInteger(kBtnConfig, QStringLiteral("NewWindow"), 0) == 1);
    m_checkBox2->setChecked(autostart::isEnabledFor(executablePath()));
    m_old = ParseSetupValues(boxTexts());
}

void TFrmSetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(); });
}

void TFrmSetup::FormShow() {
    m_checkBox3->setChecked(configFile().readInteger(kSize, QStringLiteral("HotKey"), 1) == 1);
}

QStringList TFrmSetup::boxTexts() const {
    return {m_edtPerLine->text(), m_edtWidth->text(), m_edtHtoH->text(), m_edtWtoW->text()};
}

QString TFrmSetup::executablePath() { return QCoreApplication::applicationFilePath(); }

void TFrmSetup::Button1Click() {
    // Every value is checked before anything is written, so that a refused value leaves the
    // settings and the buttons as they were.
    const SetupValues now = ParseSetupValues(boxTexts());
    if (const auto problem = SetupRangeCheck(now)) {
        Dialogs::instance().messageBox(this, problem->message, QStringLiteral("Options"), Dialogs::Icon::Warning,
                                       Dialogs::Buttons::Ok);
        QLineEdit* boxes[] = {m_edtPerLine, m_edtWidth, m_edtHtoH, m_edtWtoW};
        boxes[problem->box]->setFocus();
        boxes[problem->box]->selectAll();
        return;
    }

    AppState& st = appState();
    const IniFile file = configFile();
    IniDocument ini = file.load();
    ini.setInteger(kBtnConfig, QStringLiteral("QuantityperLine"), now.quantityPerLine);
    ini.setInteger(kBtnConfig, QStringLiteral("CaptionLength"), now.captionLength);
    ini.setInteger(kBtnConfig, QStringLiteral("B2BHeight"), now.b2bHeight);
    ini.setInteger(kBtnConfig, QStringLiteral("B2BWidth"), now.b2bWidth);
    ini.setInteger(kSize, QStringLiteral("CateID"), st.CurrentCategoryIndex);
    st.NewWindowMode = m_checkBox1->isChecked();
    ini.setInteger(kBtnConfig, QStringLiteral("NewWindow"), m_checkBox1->isChecked() ? 1 : 0);
    file.save(ini);

    // The width follows the new layout even when a later step fails.
    struct WidthAdjust {
        TFrmSetup* dialog;
        SetupValues before, after;
        ~WidthAdjust() {
            TFrmFav* main = dialog->m_main;
            if (!main)
                return;
            const AppState& s = appState();
            const int pitch = s.lastButtonWidth + s.lastB2BWidth;
            main->resize(AdjustedMainWidth(main->width(), pitch, before, after), main->height());
        }
    } widthAdjust{this, m_old, now};

    if (!(now == m_old))
        MyReSet();
    if (m_checkBox2->isChecked())
        autostart::enable(executablePath(), QStringLiteral("/min"));
    else
        autostart::disable();
    const bool hotKey = m_checkBox3->isChecked();
    file.writeInteger(kSize, QStringLiteral("HotKey"), hotKey ? 1 : 0);
    if (hotKey) {
        if (favWindowHooks().registerHotKey && m_main)
            favWindowHooks().registerHotKey(m_main);
    } else if (favWindowHooks().releaseHotKey) {
        favWindowHooks().releaseHotKey();
    }
    accept();
}

void TFrmSetup::Button2Click() { reject(); }

void TFrmSetup::MyReSet() {
    if (!m_main)
        return;
    QTabWidget* pages = m_main->pageControl();
    pages->hide();
    // The page control comes back whatever happens to the rebuild.
    struct ShowAgain {
        QTabWidget* pages;
        ~ShowAgain() { pages->show(); }
    } showAgain{pages};
    m_main->DestroyFavoriteButtons();
    WriteCategories();
    m_main->LoadFavoriteButtons();
    pages->show();
    const int i = appState().CurrentCategoryIndex;
    if (i >= 0 && i < pages->count())
        pages->setCurrentIndex(i);
}

void OpenOptionsDialog(TFrmFav* mainWindow) {
    TFrmSetup dialog(mainWindow);
    dialog.exec();
}
