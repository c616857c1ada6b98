// Lengths of the layout: pixels of a 96-dpi layout, and tenths of a
// millimetre on paper.  The conversion is exact and unrounded both ways
// but where a whole pixel is asked for.
#pragma once

#include <cmath>

namespace report {

// A length in layout pixels as tenths of a millimetre: px x 254 / 96.
constexpr double pxToTenthMm(double px) { return px * 254.0 / 96.0; }
constexpr double pxToMm(double px) { return px * 25.4 / 96.0; }
// Tenths of a millimetre as layout pixels, to the nearest whole pixel.
inline int tenthMmToPx(double tenths) { return int(std::lround(tenths * 96.0 / 254.0)); }
// Points (1/72 inch) of a layout pixel height: 15 px is 11.25 pt.
constexpr double pxToPt(double px) { return px * 72.0 / 96.0; }

}  // namespace report
