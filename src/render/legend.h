// The legend box at the top right of the map.
#pragma once

#include "base/geometry.h"
#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/icon_colors.h"
#include "scenario/catalogue.h"
#include "scenario/header.h"

#include <vector>

namespace orvex {

// Where the legend goes on a map of imageWidth x imageHeight: its box
// (both corners drawn), the column its icons are centred on the right of,
// and its rows: the types of the legend list, each at the row it starts on,
// up to the first that would start below the image.
struct LegendLayout {
    Rect box{};
    int iconColumn = 0;  // where the names end and the icons begin
    int maxR = 0;        // the greatest icon half-width of the listed types
    struct Row {
        int type;  // index in the catalogue
        int top;
    };
    std::vector<Row> rows;
    int dropped = 0;  // listed types left out, below the image
};
LegendLayout legendLayout(const Catalogue& catalogue, int imageWidth, int imageHeight);

// Draws the legend box (on a darkened area over a background picture): for
// each row its type's name, right-aligned, and its icon turned by 90
// degrees, taken from icons. Neither reads nor adds obstacles.
void drawLegend(Canvas& canvas, const Catalogue& catalogue, MapIcons& icons, const MapHeader& header,
                const Options& options, Reporter& reporter);

}  // namespace orvex
