// The scenario header: title, background picture, tracks flag, map extent
// and scale, and the output image size that follows from them.
#pragma once

#include "driver/run_settings.h"
#include "quantise/octree.h"
#include "scenario/scenario_input.h"

// Longest title kept; the rest of a longer first line is skipped.
constexpr std::size_t MAX_TITLE_LENGTH = 79;

// Reads the header into settings and loads the background picture, whose
// colours go into the octree (a
// picture that cannot be loaded is reported on standard error and the run
// goes on without one). Prints the settings report with -v. Throws a
// RunError for a missing or unreadable item and for an extent or scale that
// gives no drawable map.
void readScenarioHeader(ScenarioInput& input, RunSettings& settings, Octree& octree);

// The image size for the extent and scale in settings, or a RunError
// "invalid map extent or scale" when the map cannot be drawn: scale not
// positive, an extent value of magnitude 2^31 or more, a span over 1,000,000
// units, a side outside 1..65535 or more than 100,000,000 pixels.
void computeImageSize(RunSettings& settings);
