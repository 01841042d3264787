// The scenario header: title, background picture, tracks flag, map extent
// and scale, and the output image size that follows from them.
#pragma once

#include "base/file_source.h"
#include "base/map_frame.h"
#include "base/options.h"
#include "base/reporter.h"
#include "imageops/image.h"
#include "quantise/octree.h"
#include "scenario/scenario_input.h"

#include <string>

// Longest title kept; the rest of a longer first line is skipped.
constexpr std::size_t MAX_TITLE_LENGTH = 79;

struct MapHeader {
    std::string title;
    ImagePtr background;         // null without a background picture
    std::string backgroundPath;  // the path it was loaded from
    bool objectTracks = false;
    MapFrame frame;
};

// Reads the header and loads the background picture (colour maps only)
// through files, whose colours go into the octree; a picture that cannot be loaded is
// reported and the run goes on without one. Reports the settings with -v.
// Throws a RunError for a missing or unreadable item and for an extent or
// scale that gives no drawable map.
MapHeader readScenarioHeader(ScenarioInput& input, const Options& options, FileSource& files, Octree& octree,
                             Reporter& reporter);

// Sets the image size for the extent and scale of frame, or throws the
// RunError "invalid map extent or scale: REASON" when the map cannot be
// drawn, naming the first of these that holds: scale not positive, an
// extent value of magnitude 2^31 or more, a span over 1,000,000 units, a
// side outside 1..maxMapSide or more than maxMapPixels pixels.
void computeImageSize(MapFrame& frame, const Limits& limits);
