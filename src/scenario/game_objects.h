// The game object list: each object's label, type, position and motion,
// with its type's icons and its anchor pixel.
#pragma once

#include "driver/run_settings.h"
#include "scenario/catalogue.h"
#include "scenario/scenario_input.h"

#include <array>
#include <string>
#include <vector>

// Longest label kept; the rest of a longer label line is skipped.
constexpr std::size_t MAX_LABEL_LENGTH = 78;

struct GameObject {
    std::string label;
    double x = 0, y = 0;  // map position
    double speed = 0;     // track or thrust line length in map units
    int course = 0;       // track heading in 30-degree steps, or thrust heading in degrees
    int facing = 0;       // the icon shown is iconForFacing(facing)
    int turn = 0;         // change of heading between the track's halves, in steps
    std::array<gdImagePtr, FACINGS> icons{};  // the type's, not owned
    int iconHalfWidth = 0;
    int px = 0, py = 0;   // anchor pixel
};

// The icon index of a facing, also for negative facings: 13 and -11 give 1.
inline int iconForFacing(int facing) { return (facing % FACINGS + FACINGS) % FACINGS; }

// Reads objects up to the line that begins with '*'. An object of a type
// that is not in the catalogue is reported and left out. Throws a RunError
// for a missing or unreadable item.
std::vector<GameObject> readGameObjects(ScenarioInput& input, const RunSettings& settings,
                                        const Catalogue& catalogue);
