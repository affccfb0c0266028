#pragma once

#include <QStringList>

class QApplication;
class InstanceGuard;

// Whether the first argument asks for a start hidden in the tray: it contains "min" in any
// letter case. Later arguments do not count.
bool StartHiddenRequested(const QStringList& arguments);

// Creates the windows in their order and runs the message loop; returns the exit code.
int runPinlet(QApplication& app, InstanceGuard& guard);
