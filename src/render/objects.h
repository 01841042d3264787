// Putting the game objects on the map: darkened discs under them on a
// background picture, their icons, and their tracks or thrust lines.
#pragma once

#include "base/map_frame.h"
#include "base/options.h"
#include "base/reporter.h"
#include "place/obstacle_index.h"
#include "render/canvas.h"
#include "render/icon_colors.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"

#include <vector>

// Darkens a disc of radius iconHalfWidth round every object by 25 percent.
void fadeObjectBackgrounds(Canvas& canvas, const std::vector<GameObject>& objects, const Options& options,
                           Reporter& reporter);

// Draws every object in list order: its type's icon for its facing, taken
// from icons, its track when the header turns tracks on, and registers the
// icon's square and the track's straight segments.
void drawObjects(Canvas& canvas, const std::vector<GameObject>& objects, MapIcons& icons, const MapHeader& header,
                 const Options& options, ObstacleIndex& obstacles, Reporter& reporter);

// Draws one object's two-segment track, or with realThrust its thrust line,
// in the course style, and registers its horizontal and vertical segments.
void drawCourse(Canvas& canvas, const MapFrame& frame, bool realThrust, const GameObject& object,
                ObstacleIndex& obstacles);
