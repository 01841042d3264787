// The map's title, placed where it overlaps least.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "place/obstacle_index.h"
#include "render/canvas.h"
#include "scenario/header.h"

// Writes the title in the giant font at the place placeTitle finds (on a
// darkened box over a background picture) and registers it.
void drawTitle(Canvas& canvas, const MapHeader& header, const Options& options, ObstacleIndex& obstacles,
               Reporter& reporter);
