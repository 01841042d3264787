#include "imageops/palette.h"

namespace orvex {

int resolveColor(gdImagePtr image, int red, int green, int blue) {
    int index = gdImageColorExact(image, red, green, blue);
    if (index == -1) index = gdImageColorAllocate(image, red, green, blue);
    if (index == -1) index = gdImageColorClosest(image, red, green, blue);
    return index;
}

int allocateColorOrClosest(gdImagePtr image, int red, int green, int blue) {
    const int index = gdImageColorAllocate(image, red, green, blue);
    return index != -1 ? index : gdImageColorClosest(image, red, green, blue);
}

void makePaletteOpaque(gdImagePtr image) {
    for (int& alpha : image->alpha) alpha = gdAlphaOpaque;
}

void setTransparentIndex(gdImagePtr image, int index) {
    gdImageColorTransparent(image, index);
    makePaletteOpaque(image);
}

}  // namespace orvex
