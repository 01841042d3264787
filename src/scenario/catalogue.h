// The object-type catalogue: each type's name, its icon picture at its
// scale, turned to the twelve facings as they are needed, and the legend
// list of the types shown in the legend.
#pragma once

#include "base/file_source.h"
#include "base/options.h"
#include "base/reporter.h"
#include "imageops/image.h"
#include "quantise/octree.h"
#include "scenario/scenario_text.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

constexpr int FACINGS = 12;

// An icon picture as loaded: decoded (on a bitonal map with its black and
// white exchanged), and its colours counted for the octree.
struct IconPicture {
    ImagePtr image;
    std::vector<ImageColor> colors;
};

// One icon picture at one scale, turned to the twelve facings: icon(k) is
// the picture turned by k x 30 degrees, made the first time it is asked
// for and kept. Types that name the same picture at the same scale share
// one set.
class TurnedIcons {
public:
    TurnedIcons(std::shared_ptr<const IconPicture> picture, double scale, bool resample, bool colorMap);

    // The side of every turned icon.
    int side() const { return side_; }
    const IconPicture& picture() const { return *picture_; }

    // Facing k (0 to 11), turned now unless it was before.
    gdImagePtr icon(int k);

private:
    std::shared_ptr<const IconPicture> picture_;
    double scale_;
    bool resample_, colorMap_;
    int side_;
    std::array<ImagePtr, FACINGS> icons_;
};

struct ObjectType {
    std::string name;
    std::shared_ptr<TurnedIcons> turned;
    int iconHalfWidth = 0;  // half the side of the turned icons, rounded down
};

struct Catalogue {
    std::vector<ObjectType> types;  // in input order
    std::vector<int> legend;        // indices of the types shown in the legend
};

// The object types of a scenario read: each type's icon picture is loaded
// through files (its black and white exchanged when colorMap is off) and
// its scale checked; with -d its twelve turned icons go to sink as GIF
// files. A picture named by several types is
// loaded once, and types naming it at the same scale share their turned
// icons. Then throws the RunError of the reading's stop when reading
// stopped among the types, and warns when the input ended before their
// closing '*'. Throws a RunError for an icon that cannot be loaded or a bad
// icon scale.
Catalogue loadCatalogue(const ScenarioText& scenario, const Options& options, FileSource& files, FileSink& sink,
                        Reporter& reporter);

// Adds the colours of the run's pictures to the octree, in the order the
// palette depends on: the background first, then each type's icon in
// catalogue order (a picture named by several types once for each).
void addPictureColors(Octree& octree, gdImagePtr background, const Catalogue& catalogue);

// The file name of a turned icon written with -d: "%s%d.gif" from the type
// name up to any NUL byte, with every '/' and '\' turned into '_'.
std::string debugIconFileName(const std::string& typeName, int k);

}  // namespace orvex
