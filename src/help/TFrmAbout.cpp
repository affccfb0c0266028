#include "TFrmAbout.h"

#include "AppIcon.h"
#include "ProductInfo.h"
#include "ProductSite.h"
#include "Shell.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace {
// The inside of a 467 x 344 window with a dialog frame and a caption.
constexpr QSize kClientSize(461, 317);

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}
} // namespace

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About Pinlet"));

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(-5, -6, 182, 319);
    image->setPixmap(productPicture(image->size()));
    image->setAccessibleName(QStringLiteral("Pinlet picture"));

    QLabel* name = addLabel(this, "Label1", product::Name, 192, 16);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    name->setFont(big);
    name->adjustSize();
    addLabel(this, "Label2", QStringLiteral("Version 1.1"), 192, 40);
    addLabel(this, "Label3", QStringLiteral("Keeps your web links one click away,\nin categories of buttons."), 192, 80);
    addLabel(this, "Label7", QStringLiteral("Homepage"), 200, 208);
    const QString site = productSite();
    QLabel* link = addLabel(this, "Label6",
                            QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%2</a>")
                                .arg(site.toHtmlEscaped(), site.toHtmlEscaped()),
                            200, 232);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    link->setAccessibleName(QStringLiteral("Homepage ") + site);
    link->adjustSize();
    connect(link, &QLabel::linkActivated, this, [this] { Label6Click(); });
    QLabel* copyright = addLabel(this, "Label5", QStringLiteral("Copyright \u00A9 2008-2026 Pinlet developers"), 192, 280);
    copyright->setWordWrap(true);
    copyright->setFixedWidth(kClientSize.width() - 192 - 8);
    copyright->adjustSize();
    FormCreate();
}

void TFrmAbout::FormCreate() {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrmAbout::showBox() {
    show();
    raise();
    activateWindow();
}

void TFrmAbout::Label6Click() { Shell::instance().open(productSite()); }

QPixmap TFrmAbout::productPicture(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x2b, 0x6c, 0xc0));
    sky.setColorAt(1, QColor(0x0e, 0x2f, 0x5e));
    p.fillRect(pm.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    // A column of faint favorite buttons behind the icon.
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 9; ++row) {
        p.setBrush(QColor(255, 255, 255, 22 + (row % 3) * 10));
        p.drawRoundedRect(QRectF(24 + (row % 2) * 18, 150 + row * 18, 110, 12), 3, 3);
    }
    const int icon = 112;
    p.drawPixmap((size.width() - icon) / 2 + 2, 34, PinletIconPixmap(icon));
    return pm;
}
