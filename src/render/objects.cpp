#include "render/objects.h"

#include "imageops/blend.h"
#include "imageops/copy.h"

#include <cmath>
#include <cstdint>

namespace {

struct MapPoint {
    double x, y;
};

// Draws a segment of the track in the current style; only horizontal and
// vertical segments become obstacles.
void drawSegment(gdImagePtr image, PixelPoint a, PixelPoint b, ObstacleIndex& obstacles) {
    gdImageLine(image, a.x, a.y, b.x, b.y, gdStyled);
    if (isAxisParallel(a.x, a.y, b.x, b.y)) obstacles.add(rectGrow(rectFromCorners(a.x, a.y, b.x, b.y), 4));
}

}  // namespace

void fadeObjectBackgrounds(Canvas& canvas, const std::vector<GameObject>& objects, const Options& options,
                           Reporter& reporter) {
    if (options.verbose) reporter.report("fading background for game objects\n");
    Fader fader(canvas.image.get(), 25);
    for (const GameObject& object : objects) fader.disc(object.px, object.py, object.iconHalfWidth());
}

void drawCourse(Canvas& canvas, const MapFrame& frame, bool realThrust, const GameObject& object,
                ObstacleIndex& obstacles) {
    const gdImagePtr image = canvas.image.get();
    useLineStyle(image, canvas.lineStyles.course);
    const PixelPoint anchor = object.anchor();

    if (realThrust) {
        const double theta = degreeAngle(object.course);
        const MapPoint end{object.x + object.speed * std::sin(theta), object.y + object.speed * std::cos(theta)};
        drawSegment(image, anchor, projectPoint(frame, end.x, end.y), obstacles);
        return;
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
    drawSegment(image, anchor, q1, obstacles);
    drawSegment(image, q1, q2, obstacles);
}

void drawObjects(Canvas& canvas, const std::vector<GameObject>& objects, MapIcons& icons, const MapHeader& header,
                 const Options& options, ObstacleIndex& obstacles, Reporter& reporter) {
    if (options.verbose) reporter.report("drawing game objects\n");
    const gdImagePtr image = canvas.image.get();
    for (const GameObject& object : objects) {
        const gdImagePtr icon = icons.icon(*object.type, iconForFacing(object.facing));
        const int h = object.iconHalfWidth();
        // The icon's centre pixel (h, h) lands on the anchor; an odd-sided
        // icon loses its last row and column.
        copyPicture(image, icon, object.px - h, object.py - h, 0, 0, 2 * h, 2 * h);
        if (header.objectTracks) drawCourse(canvas, header.frame, options.realThrust, object, obstacles);
        obstacles.add(rectFromCorners(object.px - h, object.py - h, object.px + h, object.py + h));
    }
}
