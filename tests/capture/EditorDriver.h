#pragma once

#include "TFrmEdtFav.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

// Answers the modal favorite editors of a test: each editor that opens gets the next step.
// An editor that a step leaves open is cancelled, and an editor without a step is cancelled,
// so that no test ever waits on a dialog.
class EditorDriver : public QObject {
public:
    using Step = std::function<void(TFrmEdtFav*)>;
    QList<Step> steps;
    int opened = 0;
    int leftOpen = 0;

    explicit EditorDriver(QList<Step> s = {}) : steps(std::move(s)) {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll() {
        auto* editor = qobject_cast<TFrmEdtFav*>(QApplication::activeModalWidget());
        if (!editor || !editor->isVisible() || editor == m_last)
            return;
        m_last = editor;
        ++opened;
        // The step runs from a timer of its own, so that this poll keeps running while a step
        // opens another modal editor.
        QTimer::singleShot(0, this, [this, guard = QPointer<TFrmEdtFav>(editor)] {
            if (!guard)
                return;
            if (!steps.isEmpty())
                steps.takeFirst()(guard);
            if (guard && guard->isVisible()) {
                ++leftOpen;
                guard->reject();
            }
        });
    }
    QTimer m_timer;
    QPointer<TFrmEdtFav> m_last;
};
