// Putting the game objects on the map: darkened discs under them on a
// background picture, their icons, and their tracks or thrust lines.
#pragma once

#include "base/geometry.h"
#include "base/map_frame.h"
#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/icon_colors.h"
#include "render/layout.h"
#include "scenario/game_objects.h"

#include <vector>

namespace orvex {

// The segments of an object's two-segment track (backwards from the object
// along its course, in 30-degree steps), or with realThrust of its thrust
// line (forward along its course in degrees), in drawing order.
std::vector<Segment> courseSegments(const MapFrame& frame, bool realThrust, const GameObject& object);

// Darkens a disc of radius iconHalfWidth round every object by 25 percent.
void fadeObjectBackgrounds(Canvas& canvas, const std::vector<GameObject>& objects, const Options& options,
                           Reporter& reporter);

// Draws every object in list order: its type's icon for its facing, taken
// from icons, then its track as the layout has it, in the course style.
void drawObjects(Canvas& canvas, const std::vector<GameObject>& objects, const MapLayout& layout, MapIcons& icons,
                 const Options& options, Reporter& reporter);

}  // namespace orvex
