#include "render/grid_axes.h"

#include "render/text.h"

#include <gdfonts.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace orvex {

namespace {

enum class Tick { one, five, ten };

// By the remainder that keeps the sign of k: -15 is a five, -20 a ten.
Tick tickClass(std::int64_t k) {
    const std::int64_t r = std::llabs(k % 10);
    return r == 0 ? Tick::ten : r == 5 ? Tick::five : Tick::one;
}

// The ticks of the horizontal axis: visit(k, column) for each whole map
// unit k from the truncated xMin, while its column lies left of the last.
template <class Visit>
void forEachColumnTick(const MapFrame& frame, Visit visit) {
    const std::int64_t x0 = static_cast<std::int64_t>(frame.xMin);
    for (std::int64_t k = x0;; ++k) {
        const int px = roundToInt(static_cast<double>(k - x0) * frame.scale);
        if (px >= frame.imageWidth - 1) break;
        visit(k, px);
    }
}

// The ticks of the vertical axis: visit(k, row). The tick row is rounded
// from (y0 - k) x scale + H as a whole, and the loop ends on the distance
// from H, unlike the horizontal axis.
template <class Visit>
void forEachRowTick(const MapFrame& frame, Visit visit) {
    const std::int64_t y0 = static_cast<std::int64_t>(frame.yMin);
    const int H = frame.imageHeight;
    for (std::int64_t k = y0;; ++k) {
        if (roundToInt(static_cast<double>(k - y0) * frame.scale) >= H - 1) break;
        visit(k, roundToInt(static_cast<double>(y0 - k) * frame.scale + H));
    }
}

}  // namespace

void registerGridAndAxes(const MapFrame& frame, bool grid, ObstacleIndex& obstacles) {
    const int W = frame.imageWidth, H = frame.imageHeight;
    const gdFontPtr font = gdFontGetSmall();
    const int w = font->w, h = font->h;
    forEachColumnTick(frame, [&](std::int64_t k, int px) {
        if (grid && tickClass(k) == Tick::ten) obstacles.add(rectGrow(rectFromCorners(px, H - h - 11, px, 0), 4));
    });
    obstacles.add(rectFromCorners(-50, 0, W + 50, -50));
    obstacles.add(rectFromCorners(-50, H + 50, W + 50, H - h - 11));

    int maxLen = 0;
    forEachRowTick(frame, [&](std::int64_t k, int py) {
        if (tickClass(k) != Tick::ten) return;
        const int n = static_cast<int>(std::to_string(k).size());
        maxLen = std::max(maxLen, n);
        if (grid) obstacles.add(rectGrow(rectFromCorners(w * (n + 1) + 10, py, W, py), 4));
    });
    obstacles.add(rectFromCorners(-50, 0, w * (maxLen + 1) + 10, H - 1));
    obstacles.add(rectFromCorners(W, 0, W + 50, H - 1));
}

void drawGridAndAxes(Canvas& canvas, const MapFrame& frame, bool grid) {
    gdImagePtr image = canvas.image.get();
    const int axesColor = canvas.colorIndex[AXESCOLOR];
    const int textColor = canvas.colorIndex[AXESTEXTCOLOR];
    const int W = frame.imageWidth, H = frame.imageHeight;
    const gdFontPtr font = gdFontGetSmall();
    const int w = font->w, h = font->h;

    useLineStyle(image, canvas.lineStyles.grid);
    gdImageLine(image, 0, 0, 0, H - 1, axesColor);
    gdImageLine(image, 0, H - 1, W - 1, H - 1, axesColor);

    forEachColumnTick(frame, [&](std::int64_t k, int px) {
        switch (tickClass(k)) {
            case Tick::one: gdImageLine(image, px, H - 1, px, H - 3, axesColor); break;
            case Tick::five: gdImageLine(image, px, H - 1, px, H - 6, axesColor); break;
            case Tick::ten: {
                if (px != 0) {
                    const std::string number = std::to_string(k);
                    const int n = static_cast<int>(number.size());
                    gdImageLine(image, px, H - 1, px, H - 11, axesColor);
                    drawString(image, font, px - w * (n / 2), H - h - 11, number, textColor);
                }
                if (grid) gdImageLine(image, px, H - h - 11, px, 0, gdStyled);
                break;
            }
        }
    });
    forEachRowTick(frame, [&](std::int64_t k, int py) {
        switch (tickClass(k)) {
            case Tick::one: gdImageLine(image, 0, py, 2, py, axesColor); break;
            case Tick::five: gdImageLine(image, 0, py, 5, py, axesColor); break;
            case Tick::ten: {
                const std::string number = std::to_string(k);
                const int n = static_cast<int>(number.size());
                if (py != H) {
                    gdImageLine(image, 0, py, 10, py, axesColor);
                    drawString(image, font, w + 10, py - h / 2, number, textColor);
                }
                if (grid) gdImageLine(image, w * (n + 1) + 10, py, W, py, gdStyled);
                break;
            }
        }
    });
}

}  // namespace orvex
