#pragma once

#include <QPointF>
#include <QRect>
#include <QSizeF>

// Where a window goes from a place and size read from the settings, in pixels. The
// settings are only text: a size of a billion pixels would have the window system
// allocate gigabytes, a place far away would put the window out of reach.
namespace WindowPlacement {

// A size that is not a number, not positive or larger than the available area takes
// the default size, itself cut to the area; the place is moved as little as needed to
// bring the whole window into the area (a place that is not a number starts from the
// default place).
QRect fitted(QPointF place, QSizeF size, QPointF defaultPlace, QSizeF defaultSize, const QRect &available);

} // namespace WindowPlacement
