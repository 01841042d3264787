// The search for the title's place on the map.
#pragma once

#include "base/geometry.h"
#include "place/obstacle_index.h"

namespace orvex {

// The rectangle a title of textWidth x lineHeight pixels takes at its best
// place on a mapWidth x mapHeight map: of the candidates every half line
// height down and every pixel across, keeping one character width
// (charWidth) clear of both sides, the first with the least overlap with the
// obstacles. Without any candidate, the rectangle at (0, 0).
//
// Preconditions, checked (std::invalid_argument): lineHeight is 2 or more
// (the rows are half a line height apart), textWidth and charWidth are 0 or
// more.
Rect placeTitle(int textWidth, int charWidth, int lineHeight, int mapWidth, int mapHeight,
                const ObstacleIndex& obstacles);

}  // namespace orvex
