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

Rect titlePlace(const RunSettings& settings, const ObstacleList& obstacles) {
    const gdFontPtr font = gdFontGetGiant();
    const int gw = font->w, gh = font->h;
    const int width = static_cast<int>(settings.title.size()) * gw;
    const int step = gh / 2;
    const int sx = settings.imageWidth, sy = settings.imageHeight;

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Rect chosen = rectFromCorners(0, 0, width, gh);
    std::vector<Rect> inRow;
    for (int y = step; y < sy - 1.5 * gh; y += step) {
        // Only obstacles overlapping the row's span can add to a score.
        const Rect row = rectFromCorners(gw, y, sx, y + gh);
        inRow.clear();
        for (const Rect& o : obstacles.entries)
            if (rectOverlapArea(o, row) > 0) inRow.push_back(o);
        for (int x = gw; x + width + gw < sx; ++x) {
            const Rect r = rectFromCorners(x, y, x + width, y + gh);
            std::int64_t score = 0;
            for (const Rect& o : inRow) score += rectOverlapArea(o, r);
            if (score < best) best = score, chosen = r;
        }
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
