#include "scenario/header.h"

#include "driver/run_error.h"
#include "scenario/picture_file.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double MAX_EXTENT_MAGNITUDE = 2147483648.0;  // the axes truncate to int
constexpr double MAX_SPAN = 1000000.0;                 // the axes draw a tick per unit
constexpr double MAX_SIDE = 65535.0;                   // a GIF's limit
constexpr double MAX_PIXELS = 100000000.0;

// Only control characters count as unprintable: bytes of 8-bit or UTF-8
// text are kept.
bool isPrintable(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7f;
}

std::string readTitle(ScenarioInput& input) {
    auto line = input.line();
    if (!line) throw RunError("**** Error bad scenario line 1: title expected\n", 1);
    std::string title = line->text.substr(0, MAX_TITLE_LENGTH);
    // A short line keeps its line end here, so that it is what gets removed;
    // a long one loses the rest of the line instead.
    if (line->ended && line->text.size() < MAX_TITLE_LENGTH) title += '\n';
    if (!title.empty() && !isPrintable(title.back())) title.pop_back();
    return title;
}

void readBackground(ScenarioInput& input, RunSettings& settings, Octree& octree) {
    const std::string name = input.requireToken("background picture name");
    if (!settings.colorMap || name[0] == '-') return;

    const std::string path = picturePath(settings.imageDir, name);
    Picture picture = loadPicture(path);
    switch (picture.status) {
        case PictureStatus::loaded:
            settings.background = std::move(picture.image);
            settings.backgroundPath = path;
            octreeAddImage(octree, settings.background.get(), OCTREE_BUDGET);
            break;
        case PictureStatus::tooLarge:
            std::fprintf(stderr, "**** Error picture too large %s\n", path.c_str());
            break;
        case PictureStatus::cannotOpen:
        case PictureStatus::notReadable:
            std::fprintf(stderr, "**** Error unable to load background image %s\n", path.c_str());
            break;
    }
}

const char* onOff(bool flag) { return flag ? "on" : "off"; }

void printReport(const RunSettings& s) {
    std::printf("title                %s\n", s.title.c_str());
    std::printf("map extent           %f.1/%f.1 %f.1/%f.1\n", s.xMin, s.yMin, s.xMax, s.yMax);
    std::printf("image resolution     %d x %d\n", s.imageWidth, s.imageHeight);
    std::printf("map                  %s\n", s.colorMap ? "color" : "bitonal");
    std::printf("background           %s\n", s.background ? s.backgroundPath.c_str() : "plain");
    if (s.background) std::printf("tiling               %s\n", onOff(s.tiling));
    std::printf("resampling           %s\n", onOff(s.resampling));
    std::printf("object tracks        %s\n", onOff(s.objectTracks));
    if (s.objectTracks) std::printf("real thrust plotting %s\n", onOff(s.realThrust));
    std::printf("grid                 %s\n", onOff(s.grid));
    std::printf("legend               %s\n", onOff(s.legend));
    std::printf("\n");
}

}  // namespace

void computeImageSize(RunSettings& s) {
    bool valid = s.scale > 0;
    for (double v : {s.xMin, s.yMin, s.xMax, s.yMax}) valid = valid && std::fabs(v) < MAX_EXTENT_MAGNITUDE;
    valid = valid && s.xMax - s.xMin <= MAX_SPAN && s.yMax - s.yMin <= MAX_SPAN;

    const double width = std::trunc((s.xMax - s.xMin) * s.scale + 0.5);
    const double height = std::trunc((s.yMax - s.yMin) * s.scale + 0.5);
    valid = valid && width >= 1 && width <= MAX_SIDE && height >= 1 && height <= MAX_SIDE &&
            width * height <= MAX_PIXELS;
    if (!valid) throw RunError("**** Error invalid map extent or scale\n", 1);

    s.imageWidth = static_cast<int>(width);
    s.imageHeight = static_cast<int>(height);
}

void readScenarioHeader(ScenarioInput& input, RunSettings& settings, Octree& octree) {
    settings.title = readTitle(input);
    readBackground(input, settings, octree);
    settings.objectTracks = input.readInt("tracks flag") != 0;
    settings.xMin = input.readSingle("map extent");
    settings.yMin = input.readSingle("map extent");
    settings.xMax = input.readSingle("map extent");
    settings.yMax = input.readSingle("map extent");
    settings.scale = input.readSingle("scale");
    computeImageSize(settings);
    if (settings.verbose) printReport(settings);
}
