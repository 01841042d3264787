// Labels beside the objects, with leader lines and locus dots.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/layout.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"

#include <vector>

namespace orvex {

// Writes every object's label where the layout places it (on a darkened
// box over a background picture), and draws its leader line and locus dot
// when their colours are set.
void annotateObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapLayout& layout,
                     const MapHeader& header, const Options& options, Reporter& reporter);

}  // namespace orvex
