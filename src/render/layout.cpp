#include "render/layout.h"

#include "place/title_search.h"
#include "render/grid_axes.h"
#include "render/label_placement.h"
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

    placeLabels(objects, settings, layout);

    const gdFontPtr font = gdFontGetGiant();
    const int width = static_cast<int>(header.title.size()) * font->w;
    layout.title = placeTitle(width, font->w, font->h, frame.imageWidth, frame.imageHeight, layout.obstacles);
    layout.obstacles.add(rectGrow(layout.title, 2));
    return layout;
}

}  // namespace orvex
