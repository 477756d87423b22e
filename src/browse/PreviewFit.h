#pragma once

#include <QRect>
#include <QSize>

// Where a picture of the given natural size goes in a box: as large as fits with
// its aspect ratio kept, never larger than its natural size, centred. An empty
// picture or box gives an empty rectangle.
QRect fitPreviewRect(const QSize &picture, const QSize &box);
