#include "place/label_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr int RINGS = 32;
constexpr int ANGLES = 360;

struct Direction {
    double cosine, sine;
};

// The candidates' directions, one per degree.
const std::array<Direction, ANGLES>& directions() {
    static const std::array<Direction, ANGLES> table = [] {
        std::array<Direction, ANGLES> t{};
        for (int j = 0; j < ANGLES; ++j) {
            const double theta = degreeAngle(j);
            t[j] = {std::cos(theta), std::sin(theta)};
        }
        return t;
    }();
    return table;
}

// The label's rectangle for the candidate on ring radius at angle j: from
// its anchor point it extends away from the object.
Rect candidateRect(PixelPoint anchor, double radius, int j, int width, int height) {
    const Direction& d = directions()[j];
    const int x = roundToInt(anchor.x + radius * d.cosine);
    const int y = roundToInt(anchor.y + radius * d.sine);
    const int farX = j <= 90 || j > 270 ? x + width : x - width;
    const int farY = j <= 180 ? y + height : y - height;
    return rectFromCorners(x, y, farX, farY);
}

// The candidate's score, or any value not below `limit` once the score
// reaches it: no term is negative, so the score can only grow from there.
std::int64_t score(const Rect& label, const Rect& leader, const std::vector<Rect>& obstacles, std::int64_t limit) {
    std::int64_t s = 0;
    for (const Rect& o : obstacles) {
        const std::int64_t a = rectOverlapArea(o, label);
        const std::int64_t b = rectOverlapArea(o, leader);
        s = static_cast<std::int64_t>(static_cast<double>(s + a) + 0.3 * static_cast<double>(b));
        if (s >= limit) break;
    }
    return s;
}

}  // namespace

PixelPoint placeLabel(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles) {
    // An obstacle that overlaps neither a candidate's label nor its leader
    // adds nothing to its score. The candidates of one angle, on all rings,
    // and their leaders lie within one box (the anchor point moves
    // monotonically along the ray), and all candidates within one region
    // round the object. Each angle keeps the obstacles that overlap its box,
    // in list order, and its candidates look at those only.
    const int reach = iconHalfWidth + RINGS;
    const Rect region{anchor.x - reach - width, anchor.y - reach - height, anchor.x + reach + width,
                      anchor.y + reach + height};
    std::vector<Rect> inRegion;
    obstacles.visitOverlapping(region, [&](const Rect& o) { inRegion.push_back(o); });

    const Rect anchorPoint{anchor.x, anchor.y, anchor.x, anchor.y};
    std::array<std::vector<Rect>, ANGLES> nearby;
    for (int j = 0; j < ANGLES; ++j) {
        const Rect box = rectUnion(
            rectUnion(anchorPoint, candidateRect(anchor, iconHalfWidth, j, width, height)),
            candidateRect(anchor, iconHalfWidth + RINGS - 1, j, width, height));
        for (const Rect& o : inRegion)
            if (rectOverlapArea(o, box) > 0) nearby[j].push_back(o);
    }

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    PixelPoint chosen{anchor.x, anchor.y};
    for (int ring = 0; ring < RINGS; ++ring) {
        const double radius = iconHalfWidth + ring;
        for (int j = 0; j < ANGLES; ++j) {
            const Rect label = candidateRect(anchor, radius, j, width, height);
            const PixelPoint m = nearestEdgeMidpoint(label, anchor.x, anchor.y);
            const Rect leader = rectFromCorners(anchor.x, anchor.y, m.x, m.y);
            const std::int64_t s = score(label, leader, nearby[j], best);
            if (s == 0) return {label.left, label.top};
            if (s < best) best = s, chosen = {label.left, label.top};
        }
    }
    return chosen;
}
