#include "Dialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {
Dialogs* g_override = nullptr;
} // namespace

Dialogs& Dialogs::instance() {
    static WidgetDialogs real;
    return g_override ? *g_override : real;
}

void Dialogs::setInstance(Dialogs* dialogs) { g_override = dialogs; }

int WidgetDialogs::messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    if (!owner)
        box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return Cancel;
    }
}

QString WidgetDialogs::inputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& def) {
    QInputDialog dlg(owner);
    dlg.setWindowTitle(caption);
    dlg.setLabelText(prompt);
    dlg.setTextValue(def);
    dlg.setInputMode(QInputDialog::TextInput);
    if (auto* edit = dlg.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->selectAll();
    }
    return dlg.exec() == QDialog::Accepted ? dlg.textValue() : def;
}
