#pragma once

#include <QPixmap>

// The DropZone's 48 x 48 picture: a tray with a link arrow dropping into it.
QPixmap DropZonePicture();
