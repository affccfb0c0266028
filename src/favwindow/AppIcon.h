#pragma once

#include <QIcon>

// Pinlet's own icon, drawn at every size it is asked for: a pin on a blue tile.
QIcon PinletIcon();
QPixmap PinletIconPixmap(int size);
