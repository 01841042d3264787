// Giving the icons the map's foreground colour.
#pragma once

#include "render/canvas.h"
#include "scenario/catalogue.h"

// On a colour map with FOREGROUNDCOLOR set, turns the white of every
// turned icon of every type into that colour, in place; otherwise leaves
// the icons as they are. Runs once, after the palette is settled and before
// any icon is drawn.
void recolorIcons(Catalogue& catalogue, const Canvas& canvas, bool colorMap);
