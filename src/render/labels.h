// Labels beside the objects, placed where they hide least of what is drawn,
// with leader lines and locus dots.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "place/obstacle_index.h"
#include "render/canvas.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"

#include <vector>

// Writes every object's label at the place placeLabel finds (on a darkened
// box over a background picture), registers it, and draws the leader line
// and the locus dot when their colours are set.
void annotateObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapHeader& header,
                     const Options& options, ObstacleIndex& obstacles, Reporter& reporter);
