#include "app/pipeline.h"

#include "app/output_image.h"
#include "app/version.h"
#include "base/run_error.h"
#include "quantise/octree.h"
#include "render/background.h"
#include "render/grid_axes.h"
#include "render/icon_colors.h"
#include "render/labels.h"
#include "render/legend.h"
#include "render/objects.h"
#include "render/obstacle_outlines.h"
#include "render/title.h"
#include "scenario/scenario_input.h"

namespace orvex {

namespace {

const char* const NOTICE = "Game map renderer: reads a scenario on standard input, writes a GIF map";

void stage(RunInputs& inputs, const char* name) {
    if (inputs.observer) inputs.observer->stageBegins(name);
}

// Hands everything on, counting the warnings.
class CountingReporter : public Reporter {
public:
    explicit CountingReporter(Reporter& inner) : inner_(inner) {}
    void report(std::string_view text) override { inner_.report(text); }
    void warn(std::string_view message, const Finding& finding) override {
        ++count;
        inner_.warn(message, finding);
    }
    void warnWithReports(std::string_view message, const Finding& finding) override {
        ++count;
        inner_.warnWithReports(message, finding);
    }

    int count = 0;

private:
    Reporter& inner_;
};

}  // namespace

void reportBanner(Reporter& reporter) {
    reporter.report("orvex v" ORVEX_VERSION "\n");
    reporter.report(std::string(NOTICE) + "\n\n");
}

RenderedMap renderMap(const std::string& scenario, RunInputs& inputs) {
    CountingReporter counting(inputs.reporter);
    RunInputs counted{inputs.options, inputs.files, inputs.sink, counting, inputs.observer, inputs.keptLabels};
    DrawnMap map = drawMap(scenario, counted);
    stage(inputs, "write");
    if (inputs.options.strict && counting.count > 0) {
        throw RunError("**** Error " + std::to_string(counting.count) + (counting.count == 1 ? " warning" : " warnings") +
                           " with --strict; the map is not written\n",
                       1);
    }
    std::optional<std::string> gif = encodeMap(map, inputs.options, counting);
    return {std::move(map), std::move(gif)};
}

ScenarioText readScenarioText(const std::string& scenario) {
    ScenarioInput input(scenario);
    return readScenario(input);
}

LoadedMap loadMap(ScenarioText scenario, RunInputs& inputs, bool paletteOnly) {
    const Options& options = inputs.options;
    LoadedMap map;
    map.scenario = std::move(scenario);
    map.header = loadHeader(map.scenario, options, inputs.files, inputs.reporter);
    stage(inputs, "catalogue");
    map.catalogue = loadCatalogue(map.scenario, options, inputs.files, inputs.sink, inputs.reporter);
    stage(inputs, "object list");
    map.objects = placeObjects(map.scenario, map.header.frame, map.catalogue, options.verbose, inputs.reporter);

    stage(inputs, "palette");
    Octree octree;
    addPictureColors(octree, map.header.background.get(), map.catalogue);
    MapFrame frame = map.header.frame;
    if (paletteOnly) frame.imageWidth = frame.imageHeight = 1;
    map.canvas = createOutputImage(options, frame, inputs.files, octree, inputs.reporter, map.colorFile);
    return map;
}

MapLayout layOutLoadedMap(const LoadedMap& map, RunInputs& inputs) {
    stage(inputs, "layout");
    LayoutSettings settings;
    settings.grid = inputs.options.grid;
    settings.realThrust = inputs.options.realThrust;
    settings.leaders = map.canvas.colorIndex[LEADERCOLOR] != COLOR_UNSET;
    // Each object takes the first kept label of its label and type that no
    // earlier object took.
    std::vector<bool> taken(inputs.keptLabels.size());
    for (const GameObject& object : map.objects) {
        std::optional<PixelPoint> offset;
        for (std::size_t k = 0; k < inputs.keptLabels.size() && !offset; ++k) {
            const KeptLabel& kept = inputs.keptLabels[k];
            if (taken[k] || kept.label != object.label || kept.type != object.type->name) continue;
            taken[k] = true;
            offset = kept.offset;
        }
        settings.labelOffsets.push_back(offset);
    }
    return layOutMap(map.header, map.objects, settings);
}

DrawnMap drawMap(const std::string& scenario, RunInputs& inputs) {
    const Options& options = inputs.options;
    Reporter& reporter = inputs.reporter;
    LoadedMap loaded = loadMap(readScenarioText(scenario), inputs);
    MapLayout layout = layOutLoadedMap(loaded, inputs);
    DrawnMap map{std::move(loaded), std::move(layout)};
    const LoadedMap& m = map.loaded;
    Canvas& canvas = map.loaded.canvas;

    MapIcons icons(canvas, options.colorMap);
    stage(inputs, "background");
    if (m.header.background) drawBackground(canvas, m.header, options, reporter);
    stage(inputs, "grid and axes");
    drawGridAndAxes(canvas, m.header.frame, options.grid);
    stage(inputs, "fades");
    if (m.header.background) fadeObjectBackgrounds(canvas, m.objects, options, reporter);
    stage(inputs, "objects");
    drawObjects(canvas, m.objects, map.layout, icons, options, reporter);
    stage(inputs, "labels");
    annotateObjects(canvas, m.objects, map.layout, m.header, options, reporter);
    stage(inputs, "title");
    drawTitle(canvas, m.header, map.layout, options, reporter);
    stage(inputs, "legend");
    if (options.legend) drawLegend(canvas, m.catalogue, icons, m.header, options, reporter);
    return map;
}

std::optional<std::string> encodeMap(DrawnMap& map, const Options& options, Reporter& reporter) {
    gdImagePtr image = map.loaded.canvas.image.get();
    if (options.debug) drawObstacles(image, map.layout.obstacles);
    if (options.verbose) reporter.report("writing image file\n");
    gdImageInterlace(image, 1);
    int size = 0;
    GdMemory gif(gdImageGifPtr(image, &size));
    map.loaded.canvas.image.reset();
    if (!gif) return std::nullopt;
    return std::string(static_cast<const char*>(gif.get()), static_cast<std::size_t>(size));
}

}  // namespace orvex
