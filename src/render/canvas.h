// The output map being drawn: the image, the palette index of each colour
// role, and the dash patterns of the styled lines. The app sets it up once
// the palette is settled; the drawing stages then draw into the image and
// only read the rest.
#pragma once

#include "base/color_roles.h"
#include "imageops/image.h"

#include <array>

namespace orvex {

// The dash patterns handed to gdImageSetStyle by the stages that draw
// styled lines.
struct LineStyles {
    std::array<int, 4> course{};
    std::array<int, 2> grid{};
    std::array<int, 2> leader{};
};

struct Canvas {
    ImagePtr image;
    RoleColors colorIndex = unsetRoleColors();
    LineStyles lineStyles;
};

// Fills canvas.lineStyles from its colour roles. The bitonal map draws its
// grid dotted.
void setLineStyles(Canvas& canvas, bool colorMap);

// Makes style the image's current line style, started at its first entry.
template <std::size_t N>
void useLineStyle(gdImagePtr image, std::array<int, N> style) {
    gdImageSetStyle(image, style.data(), static_cast<int>(N));
}

}  // namespace orvex
