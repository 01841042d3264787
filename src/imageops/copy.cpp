#include "imageops/copy.h"

#include <array>
#include <cassert>

namespace {

bool insideClip(gdImagePtr image, int x, int y) {
    return x >= image->cx1 && x <= image->cx2 && y >= image->cy1 && y <= image->cy2;
}

}  // namespace

void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height) {
    assert(to != from && !gdImageTrueColor(to) && !gdImageTrueColor(from));
    std::array<int, gdMaxColors> mapped{};
    mapped.fill(-1);
    const int transparent = gdImageGetTransparent(from);
    for (int j = 0; j < height; ++j) {
        const int v = sourceY + j, toY = y + j;
        for (int i = 0; i < width; ++i) {
            const int u = sourceX + i;
            const int c = insideClip(from, u, v) ? from->pixels[v][u] : 0;
            if (c == transparent) continue;
            if (mapped[c] == -1)
                mapped[c] = gdImageColorResolveAlpha(to, from->red[c], from->green[c], from->blue[c], from->alpha[c]);
            // gd keeps the index as a byte, like any pixel.
            if (insideClip(to, x + i, toY)) to->pixels[toY][x + i] = static_cast<unsigned char>(mapped[c]);
        }
    }
}
