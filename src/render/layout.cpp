#include "render/layout.h"

#include "place/label_search.h"
#include "place/title_search.h"
#include "render/grid_axes.h"
#include "render/objects.h"

#include <gdfontg.h>
#include <gdfonts.h>

namespace orvex {

namespace {

void registerSegment(const Segment& s, ObstacleIndex& obstacles) {
    // Only horizontal and vertical segments become obstacles.
    if (isAxisParallel(s.from.x, s.from.y, s.to.x, s.to.y))
        obstacles.add(rectGrow(rectFromCorners(s.from.x, s.from.y, s.to.x, s.to.y), 4));
}

PlacedLabel placeObjectLabel(const GameObject& object, const std::optional<PixelPoint>& offset, bool leaders,
                             LabelSearch& search, ObstacleIndex& obstacles) {
    const gdFontPtr font = gdFontGetSmall();
    const int width = font->w * static_cast<int>(object.label.size());
    PlacedLabel placed;
    placed.corner = search.place(object.anchor(), object.iconHalfWidth(), width, font->h, obstacles,
                                 offset ? std::optional<PixelPoint>{{object.px + offset->x, object.py + offset->y}}
                                        : std::nullopt);
    placed.text = rectFromCorners(placed.corner.x, placed.corner.y, placed.corner.x + width, placed.corner.y + font->h);
    const Rect registered = rectGrow(placed.text, 2);
    obstacles.add(registered);
    if (leaders) {
        const PixelPoint m = nearestEdgeMidpoint(registered, object.px, object.py);
        placed.leader = Segment{m, object.anchor()};
        const Rect box = rectFromCorners(m.x, m.y, object.px, object.py);
        obstacles.add(isAxisParallel(m.x, m.y, object.px, object.py) ? rectGrow(box, 4) : box);
    }
    return placed;
}

}  // namespace

MapLayout layOutMap(const MapHeader& header, const std::vector<GameObject>& objects, const LayoutSettings& settings) {
    const MapFrame& frame = header.frame;
    MapLayout layout(frame.imageWidth, frame.imageHeight);
    registerGridAndAxes(frame, settings.grid, layout.obstacles);

    for (const GameObject& object : objects) {
        ObjectLayout placed;
        placed.anchor = object.anchor();
        const int h = object.iconHalfWidth();
        placed.icon = rectFromCorners(object.px - h, object.py - h, object.px + h, object.py + h);
        if (header.objectTracks) placed.course = courseSegments(frame, settings.realThrust, object);
        for (const Segment& s : placed.course) registerSegment(s, layout.obstacles);
        layout.obstacles.add(placed.icon);
        layout.objects.push_back(std::move(placed));
    }

    LabelSearch search;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const GameObject& object = objects[i];
        if (object.label.empty()) continue;
        std::optional<PixelPoint> offset;
        if (i < settings.labelOffsets.size()) offset = settings.labelOffsets[i];
        layout.objects[i].label = placeObjectLabel(object, offset, settings.leaders, search, layout.obstacles);
    }

    const gdFontPtr font = gdFontGetGiant();
    const int width = static_cast<int>(header.title.size()) * font->w;
    layout.title = placeTitle(width, font->w, font->h, frame.imageWidth, frame.imageHeight, layout.obstacles);
    layout.obstacles.add(rectGrow(layout.title, 2));
    return layout;
}

}  // namespace orvex
