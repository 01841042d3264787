// The run's settings: what the command line asked for, what the scenario
// header gave, and the palette indices of the colour roles once the output
// image exists. main owns the one record and hands it to every stage.
#pragma once

#include "imageops/image.h"

#include <array>
#include <optional>
#include <string>

// A colour role without a palette entry.
constexpr int COLOR_UNSET = 999;

// The colour roles, in the order the resource reader tests a line for
// their keys.
enum ColorRole {
    BACKGROUNDCOLOR,
    FOREGROUNDCOLOR,
    TITLETEXTCOLOR,
    LABELTEXTCOLOR,
    AXESCOLOR,
    AXESTEXTCOLOR,
    LEGENDCOLOR,
    LEGENDTEXTCOLOR,
    LEADERCOLOR,
    COURSECOLOR,
    GRIDCOLOR,
    LOCUSCOLOR,
    COLOR_ROLE_COUNT
};

// The resource file key of each role, indexed by ColorRole.
extern const std::array<const char*, COLOR_ROLE_COUNT> COLOR_ROLE_KEYS;

// The dash patterns handed to gdImageSetStyle by the stages that draw
// styled lines.
struct LineStyles {
    std::array<int, 4> course{};
    std::array<int, 2> grid{};
    std::array<int, 2> leader{};
};

struct RunSettings {
    // From the command line.
    bool resampling = false;  // -a
    bool colorMap = true;     // cleared by -b
    bool debug = false;       // -d
    std::optional<std::string> outputFile;    // -f
    bool grid = false;        // -g
    std::optional<std::string> imageDir;      // -i
    bool legend = false;      // -l
    std::optional<std::string> resourceFile;  // -r
    bool realThrust = false;  // -t
    bool verbose = false;     // -v
    bool tiling = false;      // -w

    // From the scenario header.
    std::string title;
    ImagePtr background;           // null without a background picture
    std::string backgroundPath;    // the path it was loaded from
    bool objectTracks = false;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double scale = 0;
    int imageWidth = 0, imageHeight = 0;

    // Filled when the output image is set up.
    std::array<int, COLOR_ROLE_COUNT> colorIndex = initialColorIndex();
    ImagePtr outputImage;
    LineStyles lineStyles;

    static std::array<int, COLOR_ROLE_COUNT> initialColorIndex() {
        std::array<int, COLOR_ROLE_COUNT> roles;
        roles.fill(COLOR_UNSET);
        return roles;
    }
};
