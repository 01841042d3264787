// The -d view of the obstacles: their outlines drawn into the map.
#pragma once

#include "base/geometry.h"
#include "place/obstacle_index.h"

#include <gd.h>

namespace orvex {

// Draws the four sides of r with the image's current line style.
void rectOutline(gdImagePtr image, const Rect& r);

// Outlines every obstacle, in the order they were added, with the current
// line style.
void drawObstacles(gdImagePtr image, const ObstacleIndex& obstacles);

}  // namespace orvex
