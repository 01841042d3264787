#include "imageops/background.h"

#include "base/geometry.h"
#include "imageops/copy.h"
#include "imageops/palette.h"

#include <algorithm>
#include <cassert>

namespace orvex {

void placeBackground(gdImagePtr map, int x, int y, int width, int height, gdImagePtr picture,
                     bool tiling) {
    setTransparentIndex(picture, -1);

    const int sx = gdImageSX(picture), sy = gdImageSY(picture);
    assert(sx > 0 && sy > 0 && height > 0);
    if (tiling) {
        const int columns = width / sx + 1, rows = height / sy + 1;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) copyPicture(map, picture, j * sx, i * sy, 0, 0, sx, sy);
        return;
    }

    const double ratio = static_cast<double>(width) / height;
    const int w1 = roundToInt(sy * ratio);
    const int h1 = roundToInt(sx / ratio);
    // A region that rounds to nothing keeps one pixel, so a picture far
    // from the map's shape still covers it.
    const int sourceWidth = std::max(1, sx < w1 ? sx : w1);
    const int sourceHeight = std::max(1, sx < w1 ? h1 : std::min(sy, h1));
    copyPictureScaled(map, picture, x, y, width, height, sourceWidth, sourceHeight);
}

}  // namespace orvex
