#include "render/labels.h"

#include "imageops/blend.h"
#include "render/text.h"

#include <gdfonts.h>

namespace orvex {

void annotateObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapLayout& layout,
                     const MapHeader& header, const Options& options, Reporter& reporter) {
    if (options.verbose) reporter.report("annotating game objects\n");
    const gdImagePtr image = canvas.image.get();
    const int locusColor = canvas.colorIndex[LOCUSCOLOR];
    Fader fader(image, 25);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const GameObject& object = objects[i];
        if (const auto& label = layout.objects[i].label) {
            const Rect& text = label->text;
            if (header.background) fader.rect(text.left, text.top, text.right, text.bottom);
            drawString(image, gdFontGetSmall(), label->corner.x, label->corner.y, object.label,
                       canvas.colorIndex[LABELTEXTCOLOR]);
            if (label->leader) {
                useLineStyle(image, canvas.lineStyles.leader);
                const Segment& s = *label->leader;
                gdImageLine(image, s.from.x, s.from.y, s.to.x, s.to.y, gdStyled);
            }
        }
        if (locusColor != COLOR_UNSET) gdImageSetPixel(image, object.px, object.py, locusColor);
    }
}

}  // namespace orvex
