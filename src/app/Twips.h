#pragma once

#include <cmath>

// Window geometry is kept in twips (1/1440 inch), the unit the layout rules and the
// settings use; the screen's logical DPI converts them to pixels.
namespace Twips {

constexpr double kPerInch = 1440.0;

inline int toPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / kPerInch));
}

inline double fromPixels(int pixels, double dpi)
{
    return pixels * kPerInch / dpi;
}

} // namespace Twips
