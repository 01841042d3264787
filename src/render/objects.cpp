#include "render/objects.h"

#include "imageops/blend.h"
#include "imageops/palette.h"
#include "render/projection.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

struct MapPoint {
    double x, y;
};

// Draws a segment of the track in the current style; only horizontal and
// vertical segments become obstacles.
void drawSegment(gdImagePtr image, PixelPoint a, PixelPoint b, ObstacleList& obstacles) {
    gdImageLine(image, a.x, a.y, b.x, b.y, gdStyled);
    if (isAxisParallel(a.x, a.y, b.x, b.y)) obstacleAdd(obstacles, rectGrow(rectFromCorners(a.x, a.y, b.x, b.y), 4));
}

}  // namespace

void fadeObjectBackgrounds(const RunSettings& settings, const std::vector<GameObject>& objects) {
    if (settings.verbose) std::printf("fading background for game objects\n");
    for (const GameObject& object : objects)
        fadeDisc(settings.outputImage.get(), object.px, object.py, object.iconHalfWidth, 25);
}

void recolorIcon(gdImagePtr icon, const RunSettings& settings) {
    const gdImagePtr map = settings.outputImage.get();
    const int foreground = settings.colorIndex[FOREGROUNDCOLOR];
    const int f = resolveColor(icon, map->red[foreground], map->green[foreground], map->blue[foreground]);
    const int white = resolveColor(icon, 255, 255, 255);
    replaceColor(icon, white, f, false);
}

void drawCourse(const RunSettings& settings, const GameObject& object, ObstacleList& obstacles) {
    const gdImagePtr image = settings.outputImage.get();
    auto style = settings.lineStyles.course;
    gdImageSetStyle(image, style.data(), static_cast<int>(style.size()));
    const PixelPoint anchor{object.px, object.py};

    if (settings.realThrust) {
        const double theta = degreeAngle(object.course);
        const MapPoint end{object.x + object.speed * std::sin(theta), object.y + object.speed * std::cos(theta)};
        drawSegment(image, anchor, projectPoint(settings, end.x, end.y), obstacles);
        return;
    }

    // Backwards from the object: the later half of the move along course,
    // the earlier one along course - (turn - turn / 2) steps.
    const std::int64_t k0 = object.course % 12;
    const std::int64_t k1 = (object.turn / 2 + static_cast<std::int64_t>(object.course) - object.turn) % 12;
    const double half = object.speed * 0.5;
    const double theta0 = k0 * STEP_ANGLE, theta1 = k1 * STEP_ANGLE;
    const MapPoint p1{object.x - half * std::sin(theta0), object.y - half * std::cos(theta0)};
    const MapPoint p2{p1.x - half * std::sin(theta1), p1.y - half * std::cos(theta1)};
    const PixelPoint q1 = projectPoint(settings, p1.x, p1.y);
    const PixelPoint q2 = projectPoint(settings, p2.x, p2.y);
    drawSegment(image, anchor, q1, obstacles);
    drawSegment(image, q1, q2, obstacles);
}

void drawObjects(const RunSettings& settings, const std::vector<GameObject>& objects, ObstacleList& obstacles) {
    if (settings.verbose) std::printf("drawing game objects\n");
    const gdImagePtr image = settings.outputImage.get();
    const bool recolor = settings.colorMap && settings.colorIndex[FOREGROUNDCOLOR] != COLOR_UNSET;
    for (const GameObject& object : objects) {
        const gdImagePtr icon = object.icons[iconForFacing(object.facing)];
        const int h = object.iconHalfWidth;
        if (recolor) recolorIcon(icon, settings);
        // The icon's centre pixel (h, h) lands on the anchor; an odd-sided
        // icon loses its last row and column.
        gdImageCopy(image, icon, object.px - h, object.py - h, 0, 0, 2 * h, 2 * h);
        if (settings.objectTracks) drawCourse(settings, object, obstacles);
        obstacleAdd(obstacles, rectFromCorners(object.px - h, object.py - h, object.px + h, object.py + h));
    }
}
