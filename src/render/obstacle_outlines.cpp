#include "render/obstacle_outlines.h"

namespace orvex {

void rectOutline(gdImagePtr image, const Rect& r) {
    gdImageLine(image, r.left, r.top, r.left, r.bottom, gdStyled);
    gdImageLine(image, r.left, r.bottom, r.right, r.bottom, gdStyled);
    gdImageLine(image, r.right, r.bottom, r.right, r.top, gdStyled);
    gdImageLine(image, r.right, r.top, r.left, r.top, gdStyled);
}

void drawObstacles(gdImagePtr image, const ObstacleIndex& obstacles) {
    for (const Rect& r : obstacles.all()) rectOutline(image, r);
}

}  // namespace orvex
