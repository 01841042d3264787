// The axes along the left and bottom edges, with a tick per map unit and a
// number per ten units, and with -g the grid.
#pragma once

#include "driver/run_settings.h"
#include "render/obstacles.h"

// Draws into settings.outputImage and registers the grid lines and the
// bands along the image edges that hold the numbers, in this order: the
// vertical grid lines left to right, the bands above the image and of the
// horizontal axis numbers, the horizontal grid lines bottom to top, the
// bands of the vertical axis numbers and right of the image.
void drawGridAndAxes(const RunSettings& settings, ObstacleList& obstacles);
