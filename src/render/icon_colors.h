// The icons as the map shows them.
#pragma once

#include "render/canvas.h"
#include "scenario/catalogue.h"

#include <set>

namespace orvex {

// Each type's icon turned to a facing the first time the map needs it and,
// on a colour map with FOREGROUNDCOLOR set, with its white turned into that
// colour. Made once the palette is settled; the objects and the legend take
// their icons from it.
class MapIcons {
public:
    MapIcons(const Canvas& canvas, bool colorMap);

    // The icon of type for facing k (0 to 11).
    gdImagePtr icon(const ObjectType& type, int k);

private:
    gdImagePtr map_;
    int foreground_;  // COLOR_UNSET when icons keep their white
    std::set<gdImagePtr> recolored_;
};

}  // namespace orvex
