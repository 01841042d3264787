#include "app/orvex.h"
#include "app/run_stages.h"

#include "app/command_line.h"
#include "app/disk_files.h"
#include "app/output_image.h"
#include "app/stream_reporter.h"
#include "app/version.h"
#include "base/c_text.h"
#include "base/run_error.h"
#include "place/obstacle_index.h"
#include "quantise/octree.h"
#include "render/background.h"
#include "render/grid_axes.h"
#include "render/icon_colors.h"
#include "render/labels.h"
#include "render/layout.h"
#include "render/legend.h"
#include "render/objects.h"
#include "render/title.h"
#include "scenario/catalogue.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"
#include "scenario/scenario_input.h"
#include "scenario/scenario_text.h"

#include <gd.h>
#include <gd_errors.h>

#include <cstdarg>
#include <new>
#include <system_error>

namespace {

const char* const NOTICE = "Game map renderer: reads a scenario on standard input, writes a GIF map";

// gd reports through a plain function with no context of its own, so the
// stream of the run in progress is kept here while the run lasts.
std::FILE* gdMessageStream = nullptr;

// gd's own handler marks each message with its priority; so do these, so
// that gd's messages cannot be taken for the program's.
const char* gdPrefix(int priority) {
    switch (priority) {
        case GD_ERROR: return "GD Error: ";
        case GD_WARNING: return "GD Warning: ";
        case GD_NOTICE: return "GD Notice: ";
        case GD_INFO: return "GD Info: ";
        case GD_DEBUG: return "GD Debug: ";
        default: return "";
    }
}

void showGdMessage(int priority, const char* format, va_list args) {
    if (!gdMessageStream) return;
    std::fputs(gdPrefix(priority), gdMessageStream);
    std::vfprintf(gdMessageStream, format, args);
}
void hideGdMessage(int, const char*, va_list) {}

// With -d, gd's own warnings go to the run's error stream; otherwise they
// are dropped. Quiet again once the run ends.
class GdMessages {
public:
    GdMessages(bool show, std::FILE* err) {
        gdMessageStream = err;
        gdSetErrorMethod(show ? showGdMessage : hideGdMessage);
    }
    ~GdMessages() {
        gdSetErrorMethod(hideGdMessage);
        gdMessageStream = nullptr;
    }
    GdMessages(const GdMessages&) = delete;
    GdMessages& operator=(const GdMessages&) = delete;
};

// Every stage once, in this order; each record is filled by one stage and
// only read by the later ones.
void run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
         const Limits& limits, StageObserver* observer) {
    auto stage = [observer](const char* name) {
        if (observer) observer->stageBegins(name);
    };
    const Options options = [&] {
        Options parsed = parseCommandLine(args);
        parsed.limits = limits;
        return parsed;
    }();
    const GdMessages gdMessages(options.debug, err);
    // A map written to the file standard output goes to carries nothing but
    // the map: the reports go to the error stream instead.
    const std::string target = outputFileName(options);
    const bool mapOnStandardOutput = isSameFile(target, out);
    StreamReporter reporter(mapOnStandardOutput ? err : out, err);
    reporter.report("orvex v" ORVEX_VERSION "\n");
    reporter.report(std::string(NOTICE) + "\n\n");

    stage("header");
    DiskFiles files;
    files.noteInput(in);
    ScenarioInput input = ScenarioInput::fromFile(in);
    const ScenarioText scenario = readScenario(input);
    const MapHeader header = loadHeader(scenario, options, files, reporter);
    stage("catalogue");
    const Catalogue catalogue = loadCatalogue(scenario, options, files, files, reporter);
    stage("object list");
    const std::vector<GameObject> objects = placeObjects(scenario, header.frame, catalogue, options.verbose, reporter);

    stage("palette");
    Octree octree;
    addPictureColors(octree, header.background.get(), catalogue);
    Canvas canvas = createOutputImage(options, header.frame, files, octree, reporter);
    stage("layout");
    LayoutSettings settings;
    settings.grid = options.grid;
    settings.realThrust = options.realThrust;
    settings.leaders = canvas.colorIndex[LEADERCOLOR] != COLOR_UNSET;
    const MapLayout layout = layOutMap(header, objects, settings);

    MapIcons icons(canvas, options.colorMap);
    stage("background");
    if (header.background) drawBackground(canvas, header, options, reporter);
    stage("grid and axes");
    drawGridAndAxes(canvas, header.frame, options.grid);
    stage("fades");
    if (header.background) fadeObjectBackgrounds(canvas, objects, options, reporter);
    stage("objects");
    drawObjects(canvas, objects, layout, icons, options, reporter);
    stage("labels");
    annotateObjects(canvas, objects, layout, header, options, reporter);
    stage("title");
    drawTitle(canvas, header, layout, options, reporter);
    stage("legend");
    if (options.legend) drawLegend(canvas, catalogue, icons, header, options, reporter);
    stage("write");
    // Replacing an input would lose it, and a later run would read the map.
    if (files.isInput(target)) throw RunError("**** Error output file " + cText(target) + " is an input of this run\n", 1);
    reporter.flushReports();  // before the map, should the two share a file
    writeOutputImage(canvas, options, layout.obstacles, reporter);
    stage("end");
    if (!mapOnStandardOutput) {
        if (const int error = reporter.flushReports())
            throw RunError("**** Error unable to write standard output: " +
                               std::error_code(error, std::generic_category()).message() + "\n",
                           1);
    }
}

int fail(const char* message, int status, std::FILE* out, std::FILE* err) {
    std::fflush(out);
    std::fputs(message, err);
    return status;
}

}  // namespace

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
    return runOrvex(args, in, out, err, Limits{});
}

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const Limits& limits) {
    return runObserved(args, in, out, err, limits, nullptr);
}

int runObserved(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                const Limits& limits, StageObserver* observer) {
    try {
        run(args, in, out, err, limits, observer);
        return 0;
    } catch (const RunError& error) {
        return fail(error.what(), error.status, out, err);
    } catch (const std::bad_alloc&) {
        return fail("**** Error out of memory\n", 1, out, err);
    }
}
