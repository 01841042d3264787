// The axes along the left and bottom edges, with a tick per map unit and a
// number per ten units, and with -g the grid.
#pragma once

#include "base/map_frame.h"
#include "place/obstacle_index.h"
#include "render/canvas.h"

namespace orvex {

// Registers what the axes and the grid cover, in this order: the vertical
// grid lines left to right (with grid), the bands above the image and of
// the horizontal axis numbers, the horizontal grid lines bottom to top
// (with grid), the bands of the vertical axis numbers and right of the
// image.
void registerGridAndAxes(const MapFrame& frame, bool grid, ObstacleIndex& obstacles);

// Draws the axes, their ticks and numbers, and with grid the grid lines,
// into the canvas.
void drawGridAndAxes(Canvas& canvas, const MapFrame& frame, bool grid);

}  // namespace orvex
