// Rounding and the mappings from map coordinates to pixels.
#pragma once

#include "driver/run_settings.h"

#include <cmath>

// The nearest integer, halves away from zero: 2.5 gives 3, -2.5 gives -3.
// The value must lie within the int range.
inline int roundToInt(double v) {
    return static_cast<int>(v >= 0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5));
}

// Headings: a step heading k is k x 30 degrees, a degree heading d is d
// degrees; both multiplied out in this order so that every build gives the
// same angle.
constexpr double STEP_ANGLE = 0.5235987755982988;
inline double degreeAngle(double d) { return d * 0.005555555555555556 * 3.141592653589793; }

struct PixelPoint {
    int x, y;
    bool operator==(const PixelPoint&) const = default;
};

// Pixel offsets are clamped to this magnitude, far outside any image, so
// that points far off the map neither overflow an int nor the rectangle
// arithmetic done with them.
constexpr double MAX_PIXEL_OFFSET = 1 << 28;

// The anchor pixel of a game object: truncation after adding 0.5, with the
// row counted up from imageHeight, so (xMin, yMin) is (0, imageHeight), one
// row below the image.
PixelPoint projectAnchor(const RunSettings& settings, double x, double y);

// The pixel of a point of a track or thrust line: rounded, and one row
// higher than the anchor of the same point.
PixelPoint projectPoint(const RunSettings& settings, double x, double y);
