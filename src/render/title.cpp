#include "render/title.h"

#include "imageops/blend.h"
#include "place/title_search.h"
#include "render/text.h"

#include <gdfontg.h>

void drawTitle(Canvas& canvas, const MapHeader& header, const Options& options, ObstacleIndex& obstacles,
               Reporter& reporter) {
    if (options.verbose) reporter.report("drawing title\n");
    const gdImagePtr image = canvas.image.get();
    const gdFontPtr font = gdFontGetGiant();
    const int width = static_cast<int>(header.title.size()) * font->w;
    const Rect r = placeTitle(width, font->w, font->h, header.frame.imageWidth, header.frame.imageHeight, obstacles);
    if (header.background) fadeRect(image, r.left, r.top, r.right, r.bottom, 50);
    drawString(image, font, r.left, r.top, header.title, canvas.colorIndex[TITLETEXTCOLOR]);
    obstacles.add(rectGrow(r, 2));
}
