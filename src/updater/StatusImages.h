#pragma once

#include <QIcon>
#include <QPixmap>

// The file list's status images, by index: 0 being processed, 1 downloaded, 2 failed,
// 3 no update needed.
QIcon statusImage(int index);
// The wizard's side picture.
QPixmap sidePicture(int width, int height);
