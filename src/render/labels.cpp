#include "render/labels.h"

#include "imageops/blend.h"
#include "place/label_search.h"
#include "render/text.h"

#include <gdfonts.h>

void annotateObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapHeader& header,
                     const Options& options, ObstacleIndex& obstacles, Reporter& reporter) {
    if (options.verbose) reporter.report("annotating game objects\n");
    const gdImagePtr image = canvas.image.get();
    const gdFontPtr font = gdFontGetSmall();
    const int leaderColor = canvas.colorIndex[LEADERCOLOR];
    const int locusColor = canvas.colorIndex[LOCUSCOLOR];
    LabelSearch search;
    Fader fader(image, 25);
    for (const GameObject& object : objects) {
        if (!object.label.empty()) {
            const int width = font->w * static_cast<int>(object.label.size());
            const PixelPoint at = search.place(object.anchor(), object.iconHalfWidth(), width, font->h, obstacles);
            const Rect text = rectFromCorners(at.x, at.y, at.x + width, at.y + font->h);
            if (header.background) fader.rect(text.left, text.top, text.right, text.bottom);
            drawString(image, font, at.x, at.y, object.label, canvas.colorIndex[LABELTEXTCOLOR]);
            const Rect registered = rectGrow(text, 2);
            obstacles.add(registered);

            if (leaderColor != COLOR_UNSET) {
                const PixelPoint m = nearestEdgeMidpoint(registered, object.px, object.py);
                useLineStyle(image, canvas.lineStyles.leader);
                gdImageLine(image, m.x, m.y, object.px, object.py, gdStyled);
                const Rect leader = rectFromCorners(m.x, m.y, object.px, object.py);
                obstacles.add(isAxisParallel(m.x, m.y, object.px, object.py) ? rectGrow(leader, 4) : leader);
            }
        }
        if (locusColor != COLOR_UNSET) gdImageSetPixel(image, object.px, object.py, locusColor);
    }
}
