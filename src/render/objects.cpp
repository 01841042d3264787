#include "render/objects.h"

#include "imageops/blend.h"
#include "imageops/copy.h"

#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace orvex {

namespace {

struct MapPoint {
    double x, y;
};

}  // namespace

std::vector<Segment> courseSegments(const MapFrame& frame, bool realThrust, const GameObject& object) {
    const PixelPoint anchor = object.anchor();
    if (realThrust) {
        const double theta = degreeAngle(object.course);
        const MapPoint end{object.x + object.speed * std::sin(theta), object.y + object.speed * std::cos(theta)};
        return {{anchor, projectPoint(frame, end.x, end.y)}};
    }

    // Backwards from the object: the later half of the move along course,
    // the earlier one along course - (turn - turn / 2) steps.
    const std::int64_t k0 = object.course % 12;
    const std::int64_t k1 = (object.turn / 2 + static_cast<std::int64_t>(object.course) - object.turn) % 12;
    const double half = object.speed * 0.5;
    const double theta0 = static_cast<double>(k0) * STEP_ANGLE, theta1 = static_cast<double>(k1) * STEP_ANGLE;
    const MapPoint p1{object.x - half * std::sin(theta0), object.y - half * std::cos(theta0)};
    const MapPoint p2{p1.x - half * std::sin(theta1), p1.y - half * std::cos(theta1)};
    const PixelPoint q1 = projectPoint(frame, p1.x, p1.y);
    const PixelPoint q2 = projectPoint(frame, p2.x, p2.y);
    return {{anchor, q1}, {q1, q2}};
}

void fadeObjectBackgrounds(Canvas& canvas, const std::vector<GameObject>& objects, const Options& options,
                           Reporter& reporter) {
    if (options.verbose) reporter.report("fading background for game objects\n");
    Fader fader(canvas.image.get(), 25);
    for (const GameObject& object : objects) fader.disc(object.px, object.py, object.iconHalfWidth());
}

void drawObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapLayout& layout, MapIcons& icons,
                 const Options& options, Reporter& reporter) {
    if (options.verbose) reporter.report("drawing game objects\n");
    const gdImagePtr image = canvas.image.get();
    // Each turned icon's entries are resolved in the map's palette once.
    std::unordered_map<gdImagePtr, ResolvedEntries> resolved;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const GameObject& object = objects[i];
        const ObjectLayout& placed = layout.objects[i];
        const gdImagePtr icon = icons.icon(*object.type, iconForFacing(object.facing));
        const int h = object.iconHalfWidth();
        // The icon's centre pixel (h, h) lands on the anchor; an odd-sided
        // icon loses its last row and column.
        copyPicture(image, icon, object.px - h, object.py - h, 0, 0, 2 * h, 2 * h, resolved[icon]);
        // Each object starts the dotted pattern afresh.
        if (!placed.course.empty()) useLineStyle(image, canvas.lineStyles.course);
        for (const Segment& s : placed.course) gdImageLine(image, s.from.x, s.from.y, s.to.x, s.to.y, gdStyled);
    }
}

}  // namespace orvex
