// The object-type catalogue: each type's name, its icon turned to the
// twelve facings, and the legend list of the types shown in the legend.
#pragma once

#include "base/options.h"
#include "base/reporter.h"
#include "imageops/image.h"
#include "quantise/octree.h"
#include "scenario/scenario_input.h"

#include <array>
#include <string>
#include <vector>

constexpr int FACINGS = 12;

struct ObjectType {
    std::string name;
    std::array<ImagePtr, FACINGS> icons;  // icons[k] turned by k x 30 degrees
    int iconHalfWidth = 0;                // half the side of icons[0], rounded down
};

struct Catalogue {
    std::vector<ObjectType> types;  // in input order
    std::vector<int> legend;        // indices of the types shown in the legend
};

// Reads catalogue entries up to the '*' token. Each icon is loaded (its
// black and white swapped when colorMap is off), added to the octree and
// turned twelve times; with -d the turned icons are written as GIF files
// into the current directory. Throws a RunError for an icon that cannot be
// loaded, a bad icon scale or a missing or unreadable item.
Catalogue readObjectTypes(ScenarioInput& input, const Options& options, Octree& octree, Reporter& reporter);

// The file name of a turned icon written with -d: "%s%d.gif" from the type
// name, with every '/' and '\' of the name turned into '_'.
std::string debugIconFileName(const std::string& typeName, int k);
