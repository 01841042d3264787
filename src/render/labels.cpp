#include "render/labels.h"

#include "imageops/blend.h"
#include "render/projection.h"
#include "render/text.h"

#include <gdfonts.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
Rect candidateRect(const GameObject& object, double radius, int j, int width, int height) {
    const Direction& d = directions()[j];
    const int x = roundToInt(object.px + radius * d.cosine);
    const int y = roundToInt(object.py + radius * d.sine);
    const int farX = j <= 90 || j > 270 ? x + width : x - width;
    const int farY = j <= 180 ? y + height : y - height;
    return rectFromCorners(x, y, farX, farY);
}

Rect boundingBox(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
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

PixelPoint placeLabel(const GameObject& object, int width, int height, const ObstacleList& obstacles) {
    // An obstacle that overlaps neither a candidate's label nor its leader
    // adds nothing to its score. The candidates of one angle, on all rings,
    // and their leaders lie within one box (the anchor point moves
    // monotonically along the ray), and all candidates within one region
    // round the object. Each angle keeps the obstacles that overlap its box,
    // in list order, and its candidates look at those only.
    const int reach = object.iconHalfWidth + RINGS;
    const Rect region{object.px - reach - width, object.py - reach - height, object.px + reach + width,
                      object.py + reach + height};
    std::vector<Rect> inRegion;
    for (const Rect& o : obstacles.entries)
        if (rectOverlapArea(o, region) > 0) inRegion.push_back(o);

    const Rect anchor{object.px, object.py, object.px, object.py};
    std::array<std::vector<Rect>, ANGLES> nearby;
    for (int j = 0; j < ANGLES; ++j) {
        const Rect box = boundingBox(
            boundingBox(anchor, candidateRect(object, object.iconHalfWidth, j, width, height)),
            candidateRect(object, object.iconHalfWidth + RINGS - 1, j, width, height));
        for (const Rect& o : inRegion)
            if (rectOverlapArea(o, box) > 0) nearby[j].push_back(o);
    }

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    PixelPoint chosen{object.px, object.py};
    for (int ring = 0; ring < RINGS; ++ring) {
        const double radius = object.iconHalfWidth + ring;
        for (int j = 0; j < ANGLES; ++j) {
            const Rect label = candidateRect(object, radius, j, width, height);
            const PixelPoint m = nearestEdgeMidpoint(label, object.px, object.py);
            const Rect leader = rectFromCorners(object.px, object.py, m.x, m.y);
            const std::int64_t s = score(label, leader, nearby[j], best);
            if (s == 0) return {label.left, label.top};
            if (s < best) best = s, chosen = {label.left, label.top};
        }
    }
    return chosen;
}

void annotateObjects(const RunSettings& settings, const std::vector<GameObject>& objects, ObstacleList& obstacles) {
    if (settings.verbose) std::printf("annotating game objects\n");
    const gdImagePtr image = settings.outputImage.get();
    const gdFontPtr font = gdFontGetSmall();
    const int leaderColor = settings.colorIndex[LEADERCOLOR];
    const int locusColor = settings.colorIndex[LOCUSCOLOR];
    for (const GameObject& object : objects) {
        if (!object.label.empty()) {
            const int width = font->w * static_cast<int>(object.label.size());
            const PixelPoint at = placeLabel(object, width, font->h, obstacles);
            const Rect text = rectFromCorners(at.x, at.y, at.x + width, at.y + font->h);
            if (settings.background) fadeRect(image, text.left, text.top, text.right, text.bottom, 25);
            drawString(image, font, at.x, at.y, object.label, settings.colorIndex[LABELTEXTCOLOR]);
            const Rect registered = rectGrow(text, 2);
            obstacleAdd(obstacles, registered);

            if (leaderColor != COLOR_UNSET) {
                const PixelPoint m = nearestEdgeMidpoint(registered, object.px, object.py);
                auto style = settings.lineStyles.leader;
                gdImageSetStyle(image, style.data(), static_cast<int>(style.size()));
                gdImageLine(image, m.x, m.y, object.px, object.py, gdStyled);
                const Rect leader = rectFromCorners(m.x, m.y, object.px, object.py);
                obstacleAdd(obstacles, isAxisParallel(m.x, m.y, object.px, object.py) ? rectGrow(leader, 4) : leader);
            }
        }
        if (locusColor != COLOR_UNSET) gdImageSetPixel(image, object.px, object.py, locusColor);
    }
}
