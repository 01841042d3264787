#include "render/background.h"

#include "imageops/background.h"

#include <string>

namespace orvex {

void drawBackground(Canvas& canvas, const MapHeader& header, const Options& options, Reporter& reporter) {
    const gdImagePtr picture = header.background.get();
    if (options.debug) reporter.report("Background transparency " + std::to_string(picture->transparent) + "\n");
    placeBackground(canvas.image.get(), 0, 0, header.frame.imageWidth, header.frame.imageHeight, picture,
                    options.tiling);
}

}  // namespace orvex
