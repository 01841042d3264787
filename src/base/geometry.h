// Integer pixel geometry shared by the drawing stages and the placement
// searches: points, rectangles, rounding and headings.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvex {

// The nearest integer, halves away from zero: 2.5 gives 3, -2.5 gives -3.
// The value must lie within the int range.
inline int roundToInt(double v) {
    return static_cast<int>(v >= 0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5));
}

// True when t lies within 1e-6 of a half (n + 0.5 for a whole n), where a
// value worked out in another order could round to the other neighbour.
inline bool isNearHalf(double t) {
    const double fraction = std::fabs(t) - std::floor(std::fabs(t));
    return std::fabs(fraction - 0.5) < 1e-6;
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

// Sides are coordinates: the overlap measure takes the width as
// right - left, while fading and gd's drawing include both sides.
struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

// A straight line between two pixels, both included.
struct Segment {
    PixelPoint from, to;
    bool operator==(const Segment&) const = default;
};

// The normalised rectangle with the two corners.
inline Rect rectFromCorners(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// r with every side moved out by m.
Rect rectGrow(const Rect& r, int m);

// The area two rectangles share; 0 when they only touch.
inline std::int64_t rectOverlapArea(const Rect& a, const Rect& b) {
    const std::int64_t l = std::max(a.left, b.left), t = std::max(a.top, b.top);
    const std::int64_t r = std::min(a.right, b.right), bottom = std::min(a.bottom, b.bottom);
    return r > l && bottom > t ? (r - l) * (bottom - t) : 0;
}

// The distance between two points, truncated.
int pointDistance(int x1, int y1, int x2, int y2);

// The midpoint of the side of r nearest to (x, y). Sides are tried left,
// bottom, right, top; a later one wins only when strictly nearer.
PixelPoint nearestEdgeMidpoint(const Rect& r, int x, int y);

// True for a horizontal or vertical segment, or a single point.
bool isAxisParallel(int x1, int y1, int x2, int y2);

}  // namespace orvex
