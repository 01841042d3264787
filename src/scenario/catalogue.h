// The object-type catalogue: each type's name, its icon turned to the
// twelve facings, and the legend list of the types shown in the legend.
#pragma once

#include "base/file_source.h"
#include "base/options.h"
#include "base/reporter.h"
#include "imageops/image.h"
#include "quantise/octree.h"
#include "scenario/scenario_input.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

constexpr int FACINGS = 12;

// An icon turned to the twelve facings: icons[k] turned by k x 30 degrees.
// Types that name the same picture at the same scale share one set.
struct TurnedIcons {
    std::array<ImagePtr, FACINGS> icons;
};

struct ObjectType {
    std::string name;
    std::shared_ptr<TurnedIcons> turned;
    int iconHalfWidth = 0;  // half the side of the turned icons, rounded down

    gdImagePtr icon(int k) const { return turned->icons[k].get(); }
};

struct Catalogue {
    std::vector<ObjectType> types;  // in input order
    std::vector<int> legend;        // indices of the types shown in the legend
};

// Reads catalogue entries up to the '*' token. Each type's icon is loaded
// through files (its black and white swapped when colorMap is off), added to
// the octree and turned twelve times; with -d the turned icons are written as GIF files
// into the current directory. A picture named by several types is decoded
// once, and types naming it at the same scale share their turned icons.
// Throws a RunError for an icon that cannot be loaded, a bad icon scale or a
// missing or unreadable item.
Catalogue readObjectTypes(ScenarioInput& input, const Options& options, FileSource& files, Octree& octree,
                          Reporter& reporter);

// The file name of a turned icon written with -d: "%s%d.gif" from the type
// name up to any NUL byte, with every '/' and '\' turned into '_'.
std::string debugIconFileName(const std::string& typeName, int k);
