// The stages of a run in their fixed order, shared by the program, the
// check and the library: the scenario read and loaded, the palette set up,
// the map laid out and painted, and the painted map encoded as a GIF.
#pragma once

#include "app/run_stages.h"
#include "app/resource_file.h"
#include "base/file_source.h"
#include "base/options.h"
#include "base/reporter.h"
#include "render/canvas.h"
#include "render/layout.h"
#include "scenario/catalogue.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"
#include "scenario/scenario_text.h"

#include <optional>
#include <string>
#include <vector>

namespace orvex {

// A label of an earlier map: its object's label and type, and where the
// label's top-left corner lay from the object's anchor.
struct KeptLabel {
    std::string label, type;
    PixelPoint offset;
};

// What the stages are handed besides the scenario.
struct RunInputs {
    const Options& options;
    FileSource& files;  // the pictures and the colour file
    FileSink& sink;     // the turned icons of -d
    Reporter& reporter;
    StageObserver* observer = nullptr;  // told as each stage begins; may be null
    // The labels of an earlier map that are to stay put (a replay's steady
    // labels); empty for none.
    std::vector<KeptLabel> keptLabels;
};

// The scenario loaded and the palette set up. The objects point into the
// catalogue, so the record is moved, never copied.
struct LoadedMap {
    ScenarioText scenario;
    MapHeader header;
    Catalogue catalogue;
    std::vector<GameObject> objects;
    Canvas canvas;
    std::optional<ColorFileText> colorFile;  // when the palette read one

    LoadedMap() = default;
    LoadedMap(LoadedMap&&) = default;
    LoadedMap& operator=(LoadedMap&&) = default;
    LoadedMap(const LoadedMap&) = delete;
    LoadedMap& operator=(const LoadedMap&) = delete;
};

// The map as drawn, and the layout the drawing followed.
struct DrawnMap {
    LoadedMap loaded;
    MapLayout layout;
};

// Loads what the scenario read names, then sets up the palette on a canvas
// of the map's size, or of 1 x 1 pixel with paletteOnly (a check). Throws
// the RunError the run ends on.
LoadedMap loadMap(ScenarioText scenario, RunInputs& inputs, bool paletteOnly = false);

// The scenario text read into records.
ScenarioText readScenarioText(const std::string& scenario);

// The map's layout, as the run lays it out.
MapLayout layOutLoadedMap(const LoadedMap& map, RunInputs& inputs);

// loadMap, the layout and every drawing stage.
DrawnMap drawMap(const std::string& scenario, RunInputs& inputs);

// The drawn map as an interlaced GIF: with -d the obstacles are outlined in
// it first, and with -v "writing image file" is reported. Releases the
// canvas's image. Nothing when gd runs out of memory encoding it.
std::optional<std::string> encodeMap(DrawnMap& map, const Options& options, Reporter& reporter);

// The two banner lines and the empty line every run starts with.
void reportBanner(Reporter& reporter);

// A run from the scenario text to the encoded map: drawMap, then, with
// --strict, the end before encoding when the run printed any warning, then
// encodeMap. Throws the RunError the run ends on.
struct RenderedMap {
    DrawnMap map;
    std::optional<std::string> gif;
};
RenderedMap renderMap(const std::string& scenario, RunInputs& inputs);

}  // namespace orvex
