#include "imageops/background.h"

#include "imageops/palette.h"
#include "base/geometry.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <vector>

namespace {

// How many map pixels each of `source` picture pixels becomes when they are
// stretched over `target` pixels, in the integer steps gd's resizing copy
// takes: pixel i covers from target x i / source to target x (i + 1) / source.
std::vector<int> stretchSteps(int target, int source) {
    const std::int64_t t = target;
    std::vector<int> steps;
    steps.reserve(static_cast<std::size_t>(source));
    for (int i = 0; i < source; ++i) steps.push_back(static_cast<int>(t * (i + 1) / source - t * i / source));
    return steps;
}

// Copies the picture's region whose top-left is (sourceX, sourceY) onto the
// map at (x, y), picture column i and row j becoming columns[i] x rows[j]
// map pixels, as gd's palette copies do for a picture without a transparent
// index: each picture entry is resolved in the map's palette (exact, else
// new, else closest) when it is first met in reading order, and map pixels
// outside the map's clipping rectangle stay as they are. It writes the
// map's rows directly, as one gd call per pixel would cost several times
// the copy itself on a large map.
void copyStretched(gdImagePtr map, gdImagePtr picture, int x, int y, int sourceX, int sourceY,
                   const std::vector<int>& columns, const std::vector<int>& rows) {
    assert(!gdImageTrueColor(map) && !gdImageTrueColor(picture) && gdImageGetTransparent(picture) == -1);
    assert(sourceX + static_cast<int>(columns.size()) <= gdImageSX(picture) &&
           sourceY + static_cast<int>(rows.size()) <= gdImageSY(picture));
    std::array<int, gdMaxColors> mapped{};
    mapped.fill(-1);
    std::size_t lineWidth = 0;
    for (const int step : columns) lineWidth += static_cast<std::size_t>(step);
    std::vector<unsigned char> line(lineWidth);  // the map row that one picture row makes
    // The columns of the line that lie inside the clipping rectangle.
    const int first = std::max(0, map->cx1 - x);
    const int last = std::min(static_cast<int>(lineWidth) - 1, map->cx2 - x);
    int mapY = y;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        if (rows[j] == 0) continue;
        const unsigned char* in = picture->pixels[sourceY + static_cast<int>(j)] + sourceX;
        std::size_t n = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] == 0) continue;
            const int c = in[i];
            if (mapped[c] == -1)
                mapped[c] =
                    gdImageColorResolveAlpha(map, picture->red[c], picture->green[c], picture->blue[c], picture->alpha[c]);
            // gd stores the index as a byte, like any pixel.
            const auto to = static_cast<unsigned char>(mapped[c]);
            if (columns[i] == 1) line[n++] = to;
            else for (int k = 0; k < columns[i]; ++k) line[n++] = to;
        }
        for (int k = 0; k < rows[j]; ++k, ++mapY) {
            if (mapY < map->cy1 || mapY > map->cy2 || first > last) continue;
            std::copy(line.begin() + first, line.begin() + last + 1, map->pixels[mapY] + x + first);
        }
    }
}

}  // namespace

void placeBackground(gdImagePtr map, int x, int y, int width, int height, gdImagePtr picture,
                     bool tiling) {
    setTransparentIndex(picture, -1);

    const int sx = gdImageSX(picture), sy = gdImageSY(picture);
    assert(sx > 0 && sy > 0 && height > 0);
    if (tiling) {
        const int columns = width / sx + 1, rows = height / sy + 1;
        const std::vector<int> across(static_cast<std::size_t>(sx), 1), down(static_cast<std::size_t>(sy), 1);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) copyStretched(map, picture, j * sx, i * sy, 0, 0, across, down);
        return;
    }

    const double ratio = static_cast<double>(width) / height;
    const int w1 = roundToInt(sy * ratio);
    const int h1 = roundToInt(sx / ratio);
    // A region that rounds to nothing keeps one pixel, so a picture far
    // from the map's shape still covers it.
    const int sourceWidth = std::max(1, sx < w1 ? sx : w1);
    const int sourceHeight = std::max(1, sx < w1 ? h1 : std::min(sy, h1));
    copyStretched(map, picture, x, y, 0, 0, stretchSteps(width, sourceWidth), stretchSteps(height, sourceHeight));
}
