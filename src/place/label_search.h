// The search for a label's place beside its object.
#pragma once

#include "base/geometry.h"
#include "place/obstacle_index.h"

// The top-left corner for a label of width x height pixels beside an
// object anchored at `anchor` whose icon reaches iconHalfWidth pixels from
// it: of 32 rings of 360 candidates round the anchor, innermost ring and
// smallest angle first, the first that overlaps no obstacle, else the first
// with the lowest score. A candidate scores the overlap of its rectangle
// with each obstacle plus 0.3 times that of its leader's bounding box,
// truncated after each obstacle in the order they were added.
PixelPoint placeLabel(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles);
