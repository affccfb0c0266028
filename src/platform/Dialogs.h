#pragma once

#include <QString>

class QWidget;

// The seam for modal questions: the program asks through it, tests answer through a fake.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    // Answers, numbered like the classic message box results.
    enum Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    virtual ~Dialogs() = default;
    // owner may be null: the box then belongs to no window.
    virtual int messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon,
                           Buttons buttons) = 0;
    // The entered text on OK; def on Cancel or close. The field holds at most 255 characters.
    virtual QString inputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& def) = 0;

    static Dialogs& instance();
    // Replaces the dialogs in use (not owned); nullptr restores the real ones.
    static void setInstance(Dialogs* dialogs);
};

class WidgetDialogs : public Dialogs {
public:
    int messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
    QString inputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& def) override;
};
