// The axes and grid, drawn a column and a row at a time, against the plain
// drawing of a tick, a number and a grid line per map unit, on many small
// maps and scales, with the solid and the dotted grid.
#include "render/grid_axes.h"
#include "support/random_picture.h"

#include <gdfonts.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <tuple>

using namespace orvex;

namespace {

void drawText(gdImagePtr image, gdFontPtr font, int x, int y, const std::string& text, int color) {
    gdImageString(image, font, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text.c_str())), color);
}

// One tick per map unit, a number and a grid line per ten, in their order.
void plainGridAndAxes(Canvas& canvas, const MapFrame& frame, bool grid) {
    gdImagePtr image = canvas.image.get();
    const int axes = canvas.colorIndex[AXESCOLOR], text = canvas.colorIndex[AXESTEXTCOLOR];
    const int W = frame.imageWidth, H = frame.imageHeight;
    const gdFontPtr font = gdFontGetSmall();
    const int w = font->w, h = font->h;
    auto rest = [](std::int64_t k) { return std::llabs(k % 10); };
    useLineStyle(image, canvas.lineStyles.grid);
    gdImageLine(image, 0, 0, 0, H - 1, axes);
    gdImageLine(image, 0, H - 1, W - 1, H - 1, axes);
    const std::int64_t x0 = static_cast<std::int64_t>(frame.xMin), y0 = static_cast<std::int64_t>(frame.yMin);
    for (std::int64_t k = x0;; ++k) {
        const int px = roundToInt(static_cast<double>(k - x0) * frame.scale);
        if (px >= W - 1) break;
        if (rest(k) != 0) {
            gdImageLine(image, px, H - 1, px, rest(k) == 5 ? H - 6 : H - 3, axes);
            continue;
        }
        const std::string number = std::to_string(k);
        if (px != 0) {
            gdImageLine(image, px, H - 1, px, H - 11, axes);
            drawText(image, font, px - w * (static_cast<int>(number.size()) / 2), H - h - 11, number, text);
        }
        if (grid) gdImageLine(image, px, H - h - 11, px, 0, gdStyled);
    }
    for (std::int64_t k = y0;; ++k) {
        if (roundToInt(static_cast<double>(k - y0) * frame.scale) >= H - 1) break;
        const int py = roundToInt(static_cast<double>(y0 - k) * frame.scale + H);
        if (rest(k) != 0) {
            gdImageLine(image, 0, py, rest(k) == 5 ? 5 : 2, py, axes);
            continue;
        }
        const std::string number = std::to_string(k);
        const int n = static_cast<int>(number.size());
        if (py != H) {
            gdImageLine(image, 0, py, 10, py, axes);
            drawText(image, font, w + 10, py - h / 2, number, text);
        }
        if (grid) gdImageLine(image, w * (n + 1) + 10, py, W, py, gdStyled);
    }
}

// A canvas whose roles each have a colour of their own.
Canvas canvasOf(int width, int height, bool dotted) {
    Canvas canvas;
    canvas.image.reset(gdImageCreate(width, height));
    for (int i = 0; i < 8; ++i) gdImageColorAllocate(canvas.image.get(), 30 * i, 255 - 30 * i, 100);
    canvas.colorIndex[AXESCOLOR] = 1;
    canvas.colorIndex[AXESTEXTCOLOR] = 2;
    canvas.colorIndex[GRIDCOLOR] = 3;
    setLineStyles(canvas, !dotted);
    return canvas;
}

// Maps the random ones seldom give: ten-unit lines in neighbouring
// columns and rows (a tenth of a pixel a unit, and just below), numbers
// on the bottom row, and maps just high enough, or not, for a row between
// the numbers and the top.
const struct {
    int width, height;
    double scale, xMin, yMin;
} FIXED_MAPS[] = {
    {120, 90, 0.1, 0, 0},   {120, 90, 0.09, -40, 30}, {90, 120, 0.11, 7, -3}, {60, 40, 10, 0, 0},
    {60, 40, 10, -20, -10}, {80, 25, 2, 0, 0},        {80, 24, 2, 0, 0},      {80, 26, 2, 0, 0},
};

TEST(GridAndAxes, DrawnByColumnAndRowAsUnitByUnit) {
    std::mt19937 random(5150);
    const int fixed = static_cast<int>(std::size(FIXED_MAPS));
    for (int round = 0; round < 300 + 2 * fixed; ++round) {
        MapFrame frame;
        frame.imageWidth = 5 + static_cast<int>(random() % (round % 5 == 0 ? 30 : 260));
        frame.imageHeight = 5 + static_cast<int>(random() % (round % 7 == 0 ? 30 : 260));
        // Scales from a hundred units a pixel to twenty pixels a unit.
        frame.scale = std::exp(std::log(0.01) + (random() % 10000) / 10000.0 * std::log(2000.0));
        if (round % 9 == 0) frame.scale = 1.0 / (1 + random() % 20);
        frame.xMin = (static_cast<int>(random() % 40000) - 20000) / 7.0;
        frame.yMin = round % 4 == 0 ? -frame.xMin : (static_cast<int>(random() % 40000) - 20000) / 3.0;
        if (round >= 300) {
            const auto& m = FIXED_MAPS[(round - 300) / 2];
            frame.imageWidth = m.width, frame.imageHeight = m.height, frame.scale = m.scale;
            frame.xMin = m.xMin, frame.yMin = m.yMin;
        }
        const bool grid = round % 6 != 5 || round >= 300, dotted = round % 2 == 1;
        Canvas fast = canvasOf(frame.imageWidth, frame.imageHeight, dotted);
        Canvas plain = canvasOf(frame.imageWidth, frame.imageHeight, dotted);
        drawGridAndAxes(fast, frame, grid);
        plainGridAndAxes(plain, frame, grid);
        EXPECT_TRUE(samePicture(fast.image.get(), plain.image.get()))
            << frame.imageWidth << " x " << frame.imageHeight << " at scale " << frame.scale << " from " << frame.xMin
            << ", " << frame.yMin << (grid ? " with grid" : "") << (dotted ? ", dotted" : "");
        // The style goes on where the grid left it (the -d outlines use it).
        EXPECT_EQ(fast.image->stylePos, plain.image->stylePos) << "round " << round;
    }
}

}  // namespace

namespace {

// Whether an obstacle covers the pixel (x, y).
bool taken(const ObstacleIndex& obstacles, int x, int y) {
    bool hit = false;
    obstacles.visitOverlappingAnyOrder({x, y, x + 1, y + 1}, [&](const Rect&, std::int64_t) { hit = true; });
    return hit;
}

// Round the map, 50 pixels on every side (and its corners below) are taken,
// so that no label is put where it would barely show; beyond them the
// ground is free.
TEST(GridAndAxes, BandsKeepFiftyPixelsRoundTheMap) {
    MapFrame frame;
    frame.xMax = 30, frame.yMax = 20, frame.scale = 10, frame.imageWidth = 300, frame.imageHeight = 200;
    ObstacleIndex obstacles(300, 200);
    registerGridAndAxes(frame, false, obstacles);
    const struct {
        int x, y;
        bool taken;
    } probes[] = {
        {150, -50, true},  {150, -51, false}, {-50, 100, true},  {-51, 100, false}, {349, 100, true},
        {350, 100, false}, {150, 249, true},  {150, 250, false}, {349, 249, true},  {350, 249, false},
        {-50, 249, true},  {-51, 249, false},
    };
    for (const auto& p : probes) EXPECT_EQ(taken(obstacles, p.x, p.y), p.taken) << p.x << "," << p.y;

    // With the grid, its lines (at x = 100 and y = 100, ten units in) keep
    // 4 pixels clear before them and 3 after (their own pixel between).
    ObstacleIndex gridded(300, 200);
    registerGridAndAxes(frame, true, gridded);
    for (const auto& [x, y, expected] : {std::tuple{96, 50, true}, std::tuple{95, 50, false}, std::tuple{103, 50, true},
                                         std::tuple{104, 50, false}, std::tuple{150, 96, true}, std::tuple{150, 95, false},
                                         std::tuple{150, 103, true}, std::tuple{150, 104, false}})
        EXPECT_EQ(taken(gridded, x, y), expected) << x << "," << y;
}

}  // namespace
