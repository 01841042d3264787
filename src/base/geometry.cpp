#include "base/geometry.h"

#include <algorithm>
#include <cmath>

Rect rectGrow(const Rect& r, int m) { return {r.left - m, r.top - m, r.right + m, r.bottom + m}; }

int pointDistance(int x1, int y1, int x2, int y2) {
    const double dx = static_cast<double>(x1) - x2, dy = static_cast<double>(y1) - y2;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

PixelPoint nearestEdgeMidpoint(const Rect& r, int x, int y) {
    const int midY = r.top + (r.bottom - r.top) / 2;
    const int midX = r.left + (r.right - r.left) / 2;
    const PixelPoint candidates[4] = {{r.left, midY}, {midX, r.bottom}, {r.right, midY}, {midX, r.top}};
    PixelPoint best = candidates[0];
    int bestDistance = pointDistance(best.x, best.y, x, y);
    for (const PixelPoint& c : candidates) {
        const int distance = pointDistance(c.x, c.y, x, y);
        if (distance < bestDistance) best = c, bestDistance = distance;
    }
    return best;
}

bool isAxisParallel(int x1, int y1, int x2, int y2) { return x1 == x2 || y1 == y2; }
