#include "ErrorReport.h"

#include "Dialogs.h"
#include "PinletError.h"

#include <QApplication>

namespace {
QString& caption() {
    static QString c = QStringLiteral("Pinlet");
    return c;
}
} // namespace

void setErrorReportCaption(const QString& text) { caption() = text; }

QString errorReportCaption() { return caption(); }

void showErrorReport(const QString& text) {
    QString t = text;
    if (!t.endsWith(u'.'))
        t += u'.';
    Dialogs::instance().messageBox(QApplication::activeWindow(), t, caption(), Dialogs::Icon::Error,
                                   Dialogs::Buttons::Ok);
}

void showErrorReport(const std::exception& error) {
    if (const auto* p = dynamic_cast<const PinletError*>(&error))
        showErrorReport(p->text());
    else
        showErrorReport(QString::fromLocal8Bit(error.what()));
}
