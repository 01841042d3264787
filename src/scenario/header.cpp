#include "scenario/header.h"

#include "base/c_text.h"
#include "base/run_error.h"
#include "scenario/picture_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

namespace orvex {

namespace {

constexpr double MAX_EXTENT_MAGNITUDE = 2147483648.0;  // the axes truncate to int
constexpr double MAX_SPAN = 1000000.0;                 // the axes draw a tick per unit

void loadBackground(const HeaderText& text, const Options& options, FileSource& files, Reporter& reporter,
                    MapHeader& header) {
    const std::string& name = *text.background;
    if (!options.colorMap || name[0] == '-') return;

    const std::string path = picturePath(options.imageDir, name);
    Picture picture = loadPicture(files, path, options.limits);
    const std::string shown = cText(path);
    const std::string plain = "the map is drawn on its plain ground";
    switch (picture.status) {
        case PictureStatus::loaded:
            header.background = std::move(picture.image);
            header.backgroundPath = path;
            break;
        case PictureStatus::tooLarge:
            reporter.warn("**** Error picture too large " + shown + "\n",
                          scenarioFinding(Finding::Severity::warning, text.backgroundLine,
                                          "background picture " + shown + " is too large: " + picture.problem, plain));
            break;
        case PictureStatus::cannotOpen:
        case PictureStatus::notReadable:
            reporter.warn("**** Error unable to load background image " + shown + "\n",
                          scenarioFinding(Finding::Severity::warning, text.backgroundLine,
                                          "unable to load background image " + shown + ": " + picture.problem,
                                          plain + "; give - for none"));
            break;
    }
}

std::string onOff(bool flag) { return flag ? "on" : "off"; }

// As printf's "%.Nf": N decimals.
std::string fixed(double v, int decimals) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

void reportSettings(const MapHeader& h, const Options& o, Reporter& reporter) {
    const MapFrame& f = h.frame;
    // The ".1" after each number is part of the report's format.
    std::string text = "title                " + cText(h.title) + "\n";
    text += "map extent           " + fixed(f.xMin, 6) + ".1/" + fixed(f.yMin, 6) + ".1 " + fixed(f.xMax, 6) + ".1/" +
            fixed(f.yMax, 6) + ".1\n";
    text += "image resolution     " + std::to_string(f.imageWidth) + " x " + std::to_string(f.imageHeight) + "\n";
    text += "map                  " + std::string(o.colorMap ? "color" : "bitonal") + "\n";
    text += "background           " + (h.background ? cText(h.backgroundPath) : "plain") + "\n";
    if (h.background) text += "tiling               " + onOff(o.tiling) + "\n";
    text += "resampling           " + onOff(o.resampling) + "\n";
    text += "object tracks        " + onOff(h.objectTracks) + "\n";
    if (h.objectTracks) text += "real thrust plotting " + onOff(o.realThrust) + "\n";
    text += "grid                 " + onOff(o.grid) + "\n";
    text += "legend               " + onOff(o.legend) + "\n";
    text += "\n";
    reporter.report(text);
}

}  // namespace

void computeImageSize(MapFrame& frame, const Limits& limits, int extentLine, int scaleLine) {
    const double width = std::trunc((frame.xMax - frame.xMin) * frame.scale + 0.5);
    const double height = std::trunc((frame.yMax - frame.yMin) * frame.scale + 0.5);
    const double extent[] = {frame.xMin, frame.yMin, frame.xMax, frame.yMax};
    std::string reason;
    int line = extentLine;
    if (!(frame.scale > 0)) {
        reason = "scale must be above 0";
        line = scaleLine;
    } else if (std::any_of(std::begin(extent), std::end(extent),
                           [](double v) { return !(std::fabs(v) < MAX_EXTENT_MAGNITUDE); })) {
        reason = "extent values must be smaller than 2147483648 either way";
    } else if (!(frame.xMax - frame.xMin <= MAX_SPAN && frame.yMax - frame.yMin <= MAX_SPAN)) {
        reason = "the map spans more than 1000000 units";
    } else if (!(width >= 1 && width <= limits.maxMapSide && height >= 1 && height <= limits.maxMapSide &&
                 width * height <= limits.maxMapPixels)) {
        reason = "the map would be " + fixed(width, 0) + " x " + fixed(height, 0) + " pixels (1 to " +
                 fixed(limits.maxMapSide, 0) + " a side, at most " + fixed(limits.maxMapPixels, 0) +
                 " in all)";
    }
    if (!reason.empty()) {
        throw RunError("**** Error invalid map extent or scale: " + reason + "\n", 1,
                       scenarioFinding(Finding::Severity::error, line, "invalid map extent or scale: " + reason));
    }

    frame.imageWidth = static_cast<int>(width);
    frame.imageHeight = static_cast<int>(height);
}

MapHeader loadHeader(const ScenarioText& scenario, const Options& options, FileSource& files, Reporter& reporter) {
    const HeaderText& text = scenario.header;
    MapHeader header;
    header.title = text.title;
    if (text.background) loadBackground(text, options, files, reporter, header);
    if (scenario.stop && scenario.stop->section == ScenarioSection::header)
        throw scenario.stop->error();
    header.objectTracks = text.objectTracks;
    header.frame = text.frame;
    computeImageSize(header.frame, options.limits, text.extentLine, text.scaleLine);
    if (options.verbose) reportSettings(header, options, reporter);
    return header;
}

}  // namespace orvex
