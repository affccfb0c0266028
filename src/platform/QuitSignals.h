#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal of the event loop, so that the program can end its
// loop in order instead of dying inside whatever it was doing.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
