#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

// The system-wide Control+D: grabbed on the X root window (also with NumLock and CapsLock
// held), so that it reaches this program from any other. Only exactly Control+D counts; with
// Shift, Alt or another modifier the key goes on to the focused program. Without X11 (Wayland)
// registration fails and nothing happens.
class GlobalHotkey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalHotkey(QObject* parent = nullptr);
    ~GlobalHotkey() override;

    // True when the key is held now (also when it already was). False when another client
    // holds the grab or there is no X11 display.
    bool registerKey();
    // Releasing a key that is not held does nothing.
    void unregisterKey();
    bool isRegistered() const { return m_registered; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void activated();

private:
    bool m_registered = false;
    unsigned int m_keycode = 0;
    unsigned int m_numLockMask = 0;
};
