// Painting the scenario's background picture under everything else.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "scenario/header.h"

namespace orvex {

// Paints header.background (which must be set) over the whole map, tiled
// with -w, else cut to the map's aspect and resized. With -d reports the
// picture's transparent index first.
void drawBackground(Canvas& canvas, const MapHeader& header, const Options& options, Reporter& reporter);

}  // namespace orvex
