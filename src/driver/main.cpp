// orvex: reads a game scenario on standard input and draws its map as an
// interlaced GIF. Every stage runs once, in a fixed order.
#include "driver/command_line.h"
#include "driver/output_image.h"
#include "driver/run_error.h"
#include "driver/run_settings.h"
#include "imageops/background.h"
#include "quantise/octree.h"
#include "render/grid_axes.h"
#include "render/labels.h"
#include "render/objects.h"
#include "render/obstacles.h"
#include "render/title_legend.h"
#include "scenario/catalogue.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"
#include "scenario/scenario_input.h"

#include <gd.h>

#include <cstdarg>
#include <cstdio>
#include <new>

namespace {

const char* const NOTICE = "Game map renderer: reads a scenario on standard input, writes a GIF map";

void showGdMessage(int, const char* format, va_list args) { std::vfprintf(stderr, format, args); }
void hideGdMessage(int, const char*, va_list) {}

void run(int argc, char* argv[]) {
    RunSettings settings;
    parseCommandLine(argc, argv, settings);
    gdSetErrorMethod(settings.debug ? showGdMessage : hideGdMessage);

    std::printf("orvex v%s\n", "1.8.2");
    std::printf("%s\n\n", NOTICE);

    Octree octree;
    ScenarioInput input = ScenarioInput::fromFile(stdin);
    readScenarioHeader(input, settings, octree);
    Catalogue catalogue;
    readObjectTypes(input, settings, octree, catalogue);
    const std::vector<GameObject> objects = readGameObjects(input, settings, catalogue);

    createOutputImage(settings, octree);
    setLineStyles(settings);
    if (settings.background) {
        placeBackground(settings.outputImage.get(), 0, 0, settings.imageWidth, settings.imageHeight,
                        settings.background.get(), settings.tiling, settings.debug);
    }
    ObstacleList obstacles;
    drawGridAndAxes(settings, obstacles);
    if (settings.background) fadeObjectBackgrounds(settings, objects);
    drawObjects(settings, objects, obstacles);
    annotateObjects(settings, objects, obstacles);
    drawTitle(settings, obstacles);
    if (settings.legend) drawLegend(settings, catalogue);
    writeOutputImage(settings, obstacles);
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        run(argc, argv);
        return 0;
    } catch (const RunError& error) {
        std::fflush(stdout);
        std::fputs(error.what(), stderr);
        return error.status;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs("**** Error out of memory\n", stderr);
        return 1;
    }
}
