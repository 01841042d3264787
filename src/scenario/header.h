// The scenario header: title, background picture, tracks flag, map extent
// and scale, and the output image size that follows from them.
#pragma once

#include "base/file_source.h"
#include "base/map_frame.h"
#include "base/options.h"
#include "base/reporter.h"
#include "imageops/image.h"
#include "scenario/scenario_text.h"

#include <string>

namespace orvex {

struct MapHeader {
    std::string title;
    ImagePtr background;         // null without a background picture
    std::string backgroundPath;  // the path it was loaded from
    bool objectTracks = false;
    MapFrame frame;
};

// The header of a scenario read: loads the background picture it names
// (colour maps only) through files; a picture that cannot be loaded is
// reported and the run goes on without one. Then throws the RunError of
// the reading's stop when reading stopped in the header, works out the
// image size and reports the settings with -v.
MapHeader loadHeader(const ScenarioText& scenario, const Options& options, FileSource& files, Reporter& reporter);

// Sets the image size for the extent and scale of frame, or throws the
// RunError "invalid map extent or scale: REASON" when the map cannot be
// drawn, naming the first of these that holds: scale not positive, an
// extent value of magnitude 2^31 or more, a span over 1,000,000 units, a
// side outside 1..maxMapSide or more than maxMapPixels pixels. Its finding
// stands at scaleLine for a scale not above 0, else at extentLine.
void computeImageSize(MapFrame& frame, const Limits& limits, int extentLine = 0, int scaleLine = 0);

}  // namespace orvex
