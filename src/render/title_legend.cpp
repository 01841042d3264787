#include "render/title_legend.h"

#include "imageops/blend.h"
#include "render/objects.h"
#include "render/text.h"

#include <gdfontg.h>
#include <gdfonts.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

// The scores of one candidate row, for every column from `first` to
// `last`: the summed overlap areas of the title rectangle with the
// obstacles. Along a row, an obstacle's overlap is its height within the row
// times the overlap of two intervals, a trapezoid in x that four ramps
// make up; summing the ramps' slope changes gives every column's exact
// score in one pass.
class RowScores {
public:
    RowScores(int first, int last) : first_(first), last_(last), slopeChanges_(last - first + 1, 0) {}

    void addObstacle(const Rect& o, int y, int width, int height) {
        const std::int64_t v = std::min<std::int64_t>(o.bottom, y + height) - std::max(o.top, y);
        if (v <= 0 || o.right <= o.left) return;
        addRamp(static_cast<std::int64_t>(o.left) - width, v);
        addRamp(o.left, -v);
        addRamp(static_cast<std::int64_t>(o.right) - width, -v);
        addRamp(o.right, v);
    }

    // Calls visit(x, score) for each column, left to right.
    template <class Visit>
    void forEach(Visit visit) const {
        std::int64_t value = startValue_, slope = startSlope_;
        for (int x = first_; x <= last_; ++x) {
            visit(x, value);
            slope += slopeChanges_[x - first_];
            value += slope;
        }
    }

private:
    // Adds weight x max(0, x - a) to every column.
    void addRamp(std::int64_t a, std::int64_t weight) {
        if (a < first_) {
            startValue_ += weight * (first_ - a);
            startSlope_ += weight;
        } else if (a <= last_) {
            slopeChanges_[a - first_] += weight;
        }
    }

    int first_, last_;
    std::int64_t startValue_ = 0, startSlope_ = 0;
    std::vector<std::int64_t> slopeChanges_;
};

}  // namespace

Rect titlePlace(const RunSettings& settings, const ObstacleList& obstacles) {
    const gdFontPtr font = gdFontGetGiant();
    const int gw = font->w, gh = font->h;
    const int width = static_cast<int>(settings.title.size()) * gw;
    const int step = gh / 2;
    const int sx = settings.imageWidth, sy = settings.imageHeight;
    // Columns keep a character width clear of both sides.
    const int first = gw, last = sx - width - gw - 1;

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Rect chosen = rectFromCorners(0, 0, width, gh);
    for (int y = step; y < sy - 1.5 * gh && first <= last; y += step) {
        RowScores scores(first, last);
        for (const Rect& o : obstacles.entries) scores.addObstacle(o, y, width, gh);
        scores.forEach([&](int x, std::int64_t score) {
            if (score < best) best = score, chosen = rectFromCorners(x, y, x + width, y + gh);
        });
    }
    return chosen;
}

void drawTitle(const RunSettings& settings, ObstacleList& obstacles) {
    if (settings.verbose) std::printf("drawing title\n");
    const gdImagePtr image = settings.outputImage.get();
    const Rect r = titlePlace(settings, obstacles);
    if (settings.background) fadeRect(image, r.left, r.top, r.right, r.bottom, 50);
    drawString(image, gdFontGetGiant(), r.left, r.top, settings.title, settings.colorIndex[TITLETEXTCOLOR]);
    obstacleAdd(obstacles, rectGrow(r, 2));
}

void drawLegend(const RunSettings& settings, const Catalogue& catalogue) {
    const gdImagePtr image = settings.outputImage.get();
    const gdFontPtr font = gdFontGetSmall();
    const int sw = font->w, sh = font->h;

    int maxLen = 0, maxR = 0;
    std::int64_t total = 0;
    for (int index : catalogue.legend) {
        const ObjectType& type = catalogue.types[index];
        maxLen = std::max(maxLen, static_cast<int>(type.name.size()));
        maxR = std::max(maxR, type.iconHalfWidth);
        total += std::max(2 * type.iconHalfWidth, sh);
    }
    // The names end where the icon column begins; the box's right side is
    // 15 pixels inside the image and its top at row 30.
    const int iconColumn = settings.imageWidth - 2 * maxR - 15;
    const int x0 = iconColumn - sw * (maxLen + 1);
    const int x1 = iconColumn + 2 * maxR;
    constexpr int TOP = 30;
    const int bottom = static_cast<int>(std::min<std::int64_t>(TOP + total, MAX_PIXEL_OFFSET));

    if (settings.verbose) std::printf("drawing legend\n");
    if (settings.background) fadeRect(image, x0, TOP, x1, bottom, 50);
    gdImageRectangle(image, x0, TOP, x1, bottom, settings.colorIndex[LEGENDCOLOR]);

    const bool recolor = settings.colorMap && settings.colorIndex[FOREGROUNDCOLOR] != COLOR_UNSET;
    int y = TOP;
    for (int index : catalogue.legend) {
        if (y > settings.imageHeight) break;  // the rest lies below the image
        const ObjectType& type = catalogue.types[index];
        const int r = type.iconHalfWidth;
        const gdImagePtr icon = type.icons[3].get();
        if (recolor) recolorIcon(icon, settings);
        gdImageCopy(image, icon, iconColumn + maxR - r, y, 0, 0, 2 * r, 2 * r);
        const int nameLength = static_cast<int>(type.name.size());
        drawString(image, font, iconColumn - sw * nameLength, y + r - sh / 2, type.name,
                   settings.colorIndex[LEGENDTEXTCOLOR]);
        y += std::max(2 * r, sh);
    }
}
