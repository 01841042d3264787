#include "render/legend.h"

#include "base/geometry.h"
#include "imageops/blend.h"
#include "imageops/copy.h"
#include "render/text.h"

#include <gdfonts.h>

#include <algorithm>
#include <cstdint>

void drawLegend(Canvas& canvas, const Catalogue& catalogue, MapIcons& icons, const MapHeader& header,
                const Options& options, Reporter& reporter) {
    const gdImagePtr image = canvas.image.get();
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
    const int iconColumn = header.frame.imageWidth - 2 * maxR - 15;
    const int x0 = iconColumn - sw * (maxLen + 1);
    const int x1 = iconColumn + 2 * maxR;
    constexpr int TOP = 30;
    const int bottom = static_cast<int>(std::min<std::int64_t>(TOP + total, MAX_PIXEL_OFFSET));

    if (options.verbose) reporter.report("drawing legend\n");
    if (header.background) fadeRect(image, x0, TOP, x1, bottom, 50);
    gdImageRectangle(image, x0, TOP, x1, bottom, canvas.colorIndex[LEGENDCOLOR]);

    int y = TOP;
    for (int index : catalogue.legend) {
        if (y > header.frame.imageHeight) break;  // the rest lies below the image
        const ObjectType& type = catalogue.types[index];
        const int r = type.iconHalfWidth;
        const gdImagePtr icon = icons.icon(type, 3);
        copyPicture(image, icon, iconColumn + maxR - r, y, 0, 0, 2 * r, 2 * r);
        const int nameLength = static_cast<int>(type.name.size());
        drawString(image, font, iconColumn - sw * nameLength, y + r - sh / 2, type.name,
                   canvas.colorIndex[LEGENDTEXTCOLOR]);
        y += std::max(2 * r, sh);
    }
}
