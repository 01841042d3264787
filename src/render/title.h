// The map's title.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/layout.h"
#include "scenario/header.h"

namespace orvex {

// Writes the title in the giant font where the layout places it, on a
// darkened box over a background picture.
void drawTitle(Canvas& canvas, const MapHeader& header, const MapLayout& layout, const Options& options,
               Reporter& reporter);

}  // namespace orvex
