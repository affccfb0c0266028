#pragma once

#include "SetupValues.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TFrmFav;

// The options dialog: button layout, new-window mode, autostart and the Ctrl+D hotkey. Made
// for one use without an owner; mainWindow is the window whose buttons a change lays out anew.
class TFrmSetup : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSetup(TFrmFav* mainWindow);

    void FormCreate();
    void FormShow();
    // OK: applies everything and closes. Nothing is written when a value is refused.
    void Button1Click();
    // Cancel: closes without writing anything.
    void Button2Click();
    // Lays out every favorite button of the main window anew with the written layout.
    void MyReSet();

    // The program that the autostart entry starts: the running executable.
    static QString executablePath();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    QStringList boxTexts() const;

    QPointer<TFrmFav> m_main;
    QLineEdit* m_edtPerLine = nullptr;
    QLineEdit* m_edtWidth = nullptr;
    QLineEdit* m_edtHtoH = nullptr;
    QLineEdit* m_edtWtoW = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QCheckBox* m_checkBox2 = nullptr;
    QCheckBox* m_checkBox3 = nullptr;
    QPushButton* m_button1 = nullptr;
    QPushButton* m_button2 = nullptr;
    SetupValues m_old;
};

// Opens the dialog modally for the main window and destroys it when it closes.
void OpenOptionsDialog(TFrmFav* mainWindow);
