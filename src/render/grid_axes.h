// The axes along the left and bottom edges, with a tick per map unit and a
// number per ten units, and with -g the grid.
#pragma once

#include "base/map_frame.h"
#include "place/obstacle_index.h"
#include "render/canvas.h"

// Draws into the canvas (the grid with grid set) and registers the grid lines and the
// bands along the image edges that hold the numbers, in this order: the
// vertical grid lines left to right, the bands above the image and of the
// horizontal axis numbers, the horizontal grid lines bottom to top, the
// bands of the vertical axis numbers and right of the image.
void drawGridAndAxes(Canvas& canvas, const MapFrame& frame, bool grid, ObstacleIndex& obstacles);
