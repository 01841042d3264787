// The map's title, placed where it overlaps least, and the legend box.
#pragma once

#include "driver/run_settings.h"
#include "render/obstacles.h"
#include "scenario/catalogue.h"

// The rectangle the title would take at its best place: of the candidates
// every half line height down and every pixel across, keeping clear of the
// edges, the first with the least overlap with the obstacles. Without any
// candidate, the rectangle at (0, 0).
Rect titlePlace(const RunSettings& settings, const ObstacleList& obstacles);

// Writes the title at titlePlace (on a darkened box over a background
// picture) and registers it.
void drawTitle(const RunSettings& settings, ObstacleList& obstacles);

// Draws the legend box at the top right: for each type of the legend list
// its name, right-aligned, and its icon turned by 90 degrees.
void drawLegend(const RunSettings& settings, const Catalogue& catalogue);
