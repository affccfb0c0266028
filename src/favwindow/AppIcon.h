#pragma once

#include <QIcon>
#include <QImage>

// Pinlet's own icon, drawn at every size it is asked for: a pin on a blue tile.
QIcon PinletIcon();
QPixmap PinletIconPixmap(int size);
// The same drawing without a display, for the icon files of an install.
QImage PinletIconImage(int size);
