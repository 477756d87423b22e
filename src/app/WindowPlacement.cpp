#include "WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace WindowPlacement {

namespace {

int fittedLength(double length, double defaultLength, int available)
{
    const bool fits = std::isfinite(length) && length >= 1 && length <= available;
    return std::max(1, std::min(available, int(std::lround(fits ? length : defaultLength))));
}

int fittedStart(double start, double defaultStart, int length, int availableStart, int availableLength)
{
    const double from = std::isfinite(start) ? start : defaultStart;
    const double last = double(availableStart) + availableLength - length;
    return int(std::lround(std::clamp(from, double(availableStart), std::max(double(availableStart), last))));
}

} // namespace

QRect fitted(QPointF place, QSizeF size, QPointF defaultPlace, QSizeF defaultSize, const QRect &available)
{
    const int width = fittedLength(size.width(), defaultSize.width(), available.width());
    const int height = fittedLength(size.height(), defaultSize.height(), available.height());
    return QRect(fittedStart(place.x(), defaultPlace.x(), width, available.x(), available.width()),
                 fittedStart(place.y(), defaultPlace.y(), height, available.y(), available.height()), width, height);
}

} // namespace WindowPlacement
