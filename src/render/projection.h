// Rounding and the mappings from map coordinates to pixels.
#pragma once

#include <cmath>

// The nearest integer, halves away from zero: 2.5 gives 3, -2.5 gives -3.
// The value must lie within the int range.
inline int roundToInt(double v) {
    return static_cast<int>(v >= 0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5));
}
