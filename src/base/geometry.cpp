#include "base/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace orvex {

Rect rectGrow(const Rect& r, int m) { return {r.left - m, r.top - m, r.right + m, r.bottom + m}; }

int pointDistance(int x1, int y1, int x2, int y2) {
    const double dx = static_cast<double>(x1) - x2, dy = static_cast<double>(y1) - y2;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

PixelPoint nearestEdgeMidpoint(const Rect& r, int x, int y) {
    const int midY = r.top + (r.bottom - r.top) / 2;
    const int midX = r.left + (r.right - r.left) / 2;
    const PixelPoint candidates[4] = {{r.left, midY}, {midX, r.bottom}, {r.right, midY}, {midX, r.top}};
    constexpr std::int64_t NEAR = std::int64_t{1} << 25;
    auto isNear = [&](const PixelPoint& c) {
        return std::abs(std::int64_t{c.x} - x) < NEAR && std::abs(std::int64_t{c.y} - y) < NEAR;
    };
    if (!std::all_of(std::begin(candidates), std::end(candidates), isNear)) {
        PixelPoint best = candidates[0];
        int bestDistance = pointDistance(best.x, best.y, x, y);
        for (const PixelPoint& c : candidates) {
            const int distance = pointDistance(c.x, c.y, x, y);
            if (distance < bestDistance) best = c, bestDistance = distance;
        }
        return best;
    }
    // Near enough that the squared distances are whole numbers below 2^51:
    // there the square root in doubles truncates to the integer square root,
    // and a truncated distance lies below another's, t, exactly when its
    // square lies below t x t. So a square root is taken only when a side
    // comes nearer by its square.
    auto squared = [&](const PixelPoint& c) {
        const std::int64_t dx = std::int64_t{c.x} - x, dy = std::int64_t{c.y} - y;
        return dx * dx + dy * dy;
    };
    int best = 0;
    std::int64_t bestSquare = squared(candidates[0]);
    std::int64_t bestDistance = -1;  // not worked out yet
    for (int k = 1; k < 4; ++k) {
        const std::int64_t square = squared(candidates[k]);
        if (square >= bestSquare) continue;
        if (bestDistance < 0) bestDistance = static_cast<std::int64_t>(std::sqrt(static_cast<double>(bestSquare)));
        if (square < bestDistance * bestDistance) best = k, bestSquare = square, bestDistance = -1;
    }
    return candidates[best];
}

bool isAxisParallel(int x1, int y1, int x2, int y2) { return x1 == x2 || y1 == y2; }

}  // namespace orvex
