// Labels beside the objects, placed where they hide least of what is drawn,
// with leader lines and locus dots.
#pragma once

#include "driver/run_settings.h"
#include "render/obstacles.h"
#include "scenario/game_objects.h"

#include <vector>

// The top-left corner for a label of width x height pixels beside object:
// of 32 rings of 360 candidates round the anchor, innermost ring and
// smallest angle first, the first that overlaps no obstacle, else the first
// with the lowest score. A candidate scores the overlap of its rectangle
// with each obstacle plus 0.3 times that of its leader's bounding box,
// truncated after each obstacle. The obstacle list is only read.
PixelPoint placeLabel(const GameObject& object, int width, int height, const ObstacleList& obstacles);

// Writes every object's label at its place (on a darkened box over a
// background picture), registers it, and draws the leader line and the
// locus dot when their colours are set.
void annotateObjects(const RunSettings& settings, const std::vector<GameObject>& objects, ObstacleList& obstacles);
