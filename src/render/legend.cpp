#include "render/legend.h"

#include "imageops/blend.h"
#include "imageops/copy.h"
#include "render/text.h"

#include <gdfonts.h>

#include <algorithm>
#include <cstdint>

namespace orvex {

LegendLayout legendLayout(const Catalogue& catalogue, int imageWidth, int imageHeight) {
    const gdFontPtr font = gdFontGetSmall();
    const int sw = font->w, sh = font->h;
    LegendLayout legend;
    int maxLen = 0;
    std::int64_t total = 0;
    for (int index : catalogue.legend) {
        const ObjectType& type = catalogue.types[index];
        maxLen = std::max(maxLen, static_cast<int>(type.name.size()));
        legend.maxR = std::max(legend.maxR, type.iconHalfWidth);
        total += std::max(2 * type.iconHalfWidth, sh);
    }
    // The names end where the icon column begins; the box's right side is
    // 15 pixels inside the image and its top at row 30.
    constexpr int TOP = 30;
    legend.iconColumn = imageWidth - 2 * legend.maxR - 15;
    legend.box = {legend.iconColumn - sw * (maxLen + 1), TOP, legend.iconColumn + 2 * legend.maxR,
                  static_cast<int>(std::min<std::int64_t>(TOP + total, MAX_PIXEL_OFFSET))};

    int y = TOP;
    for (int index : catalogue.legend) {
        if (y > imageHeight) {  // the rest lies below the image
            ++legend.dropped;
            continue;
        }
        legend.rows.push_back({index, y});
        y += std::max(2 * catalogue.types[index].iconHalfWidth, sh);
    }
    return legend;
}

void drawLegend(Canvas& canvas, const Catalogue& catalogue, MapIcons& icons, const MapHeader& header,
                const Options& options, Reporter& reporter) {
    const gdImagePtr image = canvas.image.get();
    const gdFontPtr font = gdFontGetSmall();
    const LegendLayout legend = legendLayout(catalogue, header.frame.imageWidth, header.frame.imageHeight);
    const Rect& box = legend.box;

    if (options.verbose) reporter.report("drawing legend\n");
    if (header.background) fadeRect(image, box.left, box.top, box.right, box.bottom, 50);
    gdImageRectangle(image, box.left, box.top, box.right, box.bottom, canvas.colorIndex[LEGENDCOLOR]);

    for (const LegendLayout::Row& row : legend.rows) {
        const ObjectType& type = catalogue.types[static_cast<std::size_t>(row.type)];
        const int r = type.iconHalfWidth;
        copyPicture(image, icons.icon(type, 3), legend.iconColumn + legend.maxR - r, row.top, 0, 0, 2 * r, 2 * r);
        const int nameLength = static_cast<int>(type.name.size());
        drawString(image, font, legend.iconColumn - font->w * nameLength, row.top + r - font->h / 2, type.name,
                   canvas.colorIndex[LEGENDTEXTCOLOR]);
    }
}

}  // namespace orvex
