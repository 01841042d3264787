// render_maps: draws the map of every scenario file named on its command
// line, all in this one process and in memory, through liborvex's
// orvex::render.
//
//   render_maps [-r COLOURS.ini] SCENARIO.scn...
//
// SCENARIO.scn becomes SCENARIO.gif beside it, drawn with the coordinate
// grid and the legend, its pictures read from the scenario's folder: the
// same bytes as
//   orvex -g -l -i FOLDER [-r COLOURS.ini] -f SCENARIO.gif < SCENARIO.scn
// would write. Each map's warnings and errors are shown after the
// scenario's name. Exit status: 0 when every map was written, 1 when one
// was not, 2 for a usage error.
#include "scenario_files.h"

#include <orvex/orvex.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

// The map of one scenario file; true when it was written.
bool renderMap(const std::string& scenario, const orvex::Options& options) {
    const std::optional<std::string> text = readFile(scenario);
    if (!text) {
        std::fprintf(stderr, "%s: %s\n", scenario.c_str(), std::strerror(errno));
        return false;
    }
    orvex::Request request;
    request.options = options;
    request.scenario = *text;
    // The scenario's picture names are read from its folder, as -i FOLDER
    // has them read; the colour file, which the run asks the same source
    // for, is read as named on the command line.
    const orvex::PictureSource pictures = orvex::filesIn(folderOf(scenario));
    const orvex::PictureSource asNamed = orvex::filesIn("");
    request.pictures = [&](const std::string& name) {
        return options.resourceFile && name == *options.resourceFile ? asNamed(name) : pictures(name);
    };

    const orvex::Result result = orvex::render(request);
    showMessages(scenario, result.err);
    if (result.status != 0) return false;
    const std::string map = stemOf(scenario) + ".gif";
    if (const int error = orvex::writeFileReplacing(map, result.gif)) {
        std::fprintf(stderr, "%s: unable to write %s: %s\n", scenario.c_str(), map.c_str(), std::strerror(error));
        return false;
    }
    std::printf("%s -> %s\n", scenario.c_str(), map.c_str());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    // --quiet: no banner; the palette's warning comes with the others.
    std::vector<std::string> words = {"--quiet", "-g", "-l"};
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-r") == 0) {
        words.insert(words.end(), {"-r", argv[2]});
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: render_maps [-r COLOURS.ini] SCENARIO.scn...\n");
        return 2;
    }
    std::string usage;
    const std::optional<orvex::Options> options = orvex::optionsFromWords(words, &usage);
    if (!options) {
        std::fputs(usage.c_str(), stderr);
        return 2;
    }
    bool allWritten = true;
    for (int i = first; i < argc; ++i) allWritten = renderMap(argv[i], *options) && allWritten;
    return allWritten ? 0 : 1;
}
