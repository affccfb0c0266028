#pragma once

#include <QDeadlineTimer>
#include <QString>

// Blocking look-ups on the accessibility bus. Call them from one worker thread only: every D-Bus
// call waits at most until the deadline, so a look-up ends soon after it.
namespace atspi {

// Asks the session's accessibility bus to tell applications that an assistive client is present
// (org.a11y.Status.IsEnabled). Firefox builds its accessible tree only then.
void EnableAccessibility(QDeadlineTimer deadline);

// The address of the page that the browser process pid shows in its window titled windowTitle:
// the address of the visible tab's document, else the text of the address-bar entry; empty when
// the bus, the application or the page is not there, or the deadline passed.
QString PageAddress(qint64 pid, const QString& windowTitle, QDeadlineTimer deadline);

} // namespace atspi
