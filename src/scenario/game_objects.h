// The game object list: each object's label, type, position and motion,
// and its anchor pixel.
#pragma once

#include "base/map_frame.h"
#include "base/reporter.h"
#include "scenario/catalogue.h"
#include "scenario/scenario_text.h"

#include <string>
#include <vector>

namespace orvex {

struct GameObject {
    int number = 0;  // among the objects read, from 1
    std::string label;
    double x = 0, y = 0;  // map position
    double speed = 0;     // track or thrust line length in map units
    int course = 0;       // track heading in 30-degree steps, or thrust heading in degrees
    int facing = 0;       // the icon shown is iconForFacing(facing)
    int turn = 0;         // change of heading between the track's halves, in steps
    const ObjectType* type = nullptr;  // in the catalogue, which outlives the list
    int px = 0, py = 0;   // anchor pixel

    PixelPoint anchor() const { return {px, py}; }
    int iconHalfWidth() const { return type->iconHalfWidth; }
};

// The icon index of a facing, also for negative facings: 13 and -11 give 1.
inline int iconForFacing(int facing) { return (facing % FACINGS + FACINGS) % FACINGS; }

// The objects of a scenario read, each given its type from the catalogue
// and projected onto frame. An object of a type that is not in the
// catalogue is reported, with its number, label and line, and left out.
// Then throws the RunError of the reading's stop when reading stopped among
// the objects, and warns when the input ended before their closing line.
// Reports progress with verbose.
std::vector<GameObject> placeObjects(const ScenarioText& scenario, const MapFrame& frame, const Catalogue& catalogue,
                                     bool verbose, Reporter& reporter);

}  // namespace orvex
