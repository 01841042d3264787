// Painting the background picture into the map.
#pragma once

#include <gd.h>

namespace orvex {

// Paints picture into map: with tiling, repeated from the map's corner
// (0, 0); otherwise its top-left region of the aspect ratio of
// width x height (at least one pixel each way) is resized onto the
// rectangle at (x, y). The picture's
// transparent index is cleared first, so every pixel is copied.
void placeBackground(gdImagePtr map, int x, int y, int width, int height, gdImagePtr picture,
                     bool tiling);

}  // namespace orvex
