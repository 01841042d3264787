// What the command line asked for, and the limits of the run. Filled once
// before the run and only read afterwards.
#pragma once

// Beside it, so that it is found where the library's header is installed.
#include "run_limits.h"

#include <optional>
#include <string>

namespace orvex {

struct Options {
    bool resampling = false;                 // -a
    bool colorMap = true;                    // cleared by -b
    bool debug = false;                      // -d
    std::optional<std::string> outputFile;   // -f
    bool grid = false;                       // -g
    std::optional<std::string> imageDir;     // -i
    bool legend = false;                     // -l
    std::optional<std::string> resourceFile; // -r
    bool realThrust = false;                 // -t
    bool verbose = false;                    // -v
    bool tiling = false;                     // -w
    bool quiet = false;                      // --quiet: nothing on standard output
    bool strict = false;                     // --strict: any warning keeps the map from being written

    // The program's own limits; only a caller that embeds the run, such as
    // a fuzz target, lowers them.
    Limits limits;
};

}  // namespace orvex
