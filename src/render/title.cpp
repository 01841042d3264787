#include "render/title.h"

#include "imageops/blend.h"
#include "render/text.h"

#include <gdfontg.h>

namespace orvex {

void drawTitle(Canvas& canvas, const MapHeader& header, const MapLayout& layout, const Options& options,
               Reporter& reporter) {
    if (options.verbose) reporter.report("drawing title\n");
    const gdImagePtr image = canvas.image.get();
    const Rect& r = layout.title;
    if (header.background) fadeRect(image, r.left, r.top, r.right, r.bottom, 50);
    drawString(image, gdFontGetGiant(), r.left, r.top, header.title, canvas.colorIndex[TITLETEXTCOLOR]);
}

}  // namespace orvex
