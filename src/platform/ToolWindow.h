#pragma once

class QWidget;

// Keeps a small helper window out of the taskbar and the window switcher. Call it each time
// before the window is shown: window managers forget the state of a hidden window.
void KeepOutOfTaskbar(QWidget* window);
