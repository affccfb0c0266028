#pragma once

#include "Dialogs.h"

#include <QList>
#include <QStringList>

// Answers modal questions from queues and records every question asked.
class FakeDialogs : public Dialogs {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
        bool owned;
    };
    QList<Box> boxes;
    QList<int> boxAnswers;     // next answers of messageBox; Ok when empty
    QStringList inputAnswers;  // next answers of inputBox; the default when empty
    QStringList inputCaptions;
    QStringList inputDefaults;

    FakeDialogs() { Dialogs::setInstance(this); }
    ~FakeDialogs() override { Dialogs::setInstance(nullptr); }

    int messageBox(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override {
        boxes.append({text, caption, icon, buttons, owner != nullptr});
        return boxAnswers.isEmpty() ? Ok : boxAnswers.takeFirst();
    }
    QString inputBox(QWidget*, const QString& caption, const QString&, const QString& def) override {
        inputCaptions.append(caption);
        inputDefaults.append(def);
        return inputAnswers.isEmpty() ? def : inputAnswers.takeFirst();
    }
};
