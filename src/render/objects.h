// Putting the game objects on the map: darkened discs under them on a
// background picture, their icons, and their tracks or thrust lines.
#pragma once

#include "driver/run_settings.h"
#include "render/obstacles.h"
#include "scenario/game_objects.h"

#include <vector>

// Darkens a disc of radius iconHalfWidth round every object by 25 percent.
void fadeObjectBackgrounds(const RunSettings& settings, const std::vector<GameObject>& objects);

// Draws every object in list order: its icon for its facing (recoloured
// when a foreground colour is set), its track when tracks are on, and
// registers the icon's square and the track's straight segments.
void drawObjects(const RunSettings& settings, const std::vector<GameObject>& objects, ObstacleList& obstacles);

// Turns the white of icon into the output image's FOREGROUNDCOLOR, in
// place; the icon is shared by every object of its type and the legend.
void recolorIcon(gdImagePtr icon, const RunSettings& settings);

// Draws one object's two-segment track, or with -t its thrust line, in the
// course style, and registers its horizontal and vertical segments.
void drawCourse(const RunSettings& settings, const GameObject& object, ObstacleList& obstacles);
