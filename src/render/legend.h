// The legend box at the top right of the map.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/icon_colors.h"
#include "scenario/catalogue.h"
#include "scenario/header.h"

// Draws the legend box (on a darkened area over a background picture): for
// each type of the legend list its name, right-aligned, and its icon turned
// by 90 degrees, taken from icons. Neither reads nor adds obstacles.
void drawLegend(Canvas& canvas, const Catalogue& catalogue, MapIcons& icons, const MapHeader& header,
                const Options& options, Reporter& reporter);
