// image_map: draws the map of one scenario in memory through liborvex's
// orvex::render, and writes it with a web page that shows it, each label
// an area of an HTML image map: its title (shown on hover) and its alt
// text are the label, and it links to the object's entry in a list under
// the map.
//
//   image_map [-r COLOURS.ini] SCENARIO.scn
//
// SCENARIO.scn becomes SCENARIO.gif and SCENARIO.html beside it; the map is
// drawn as by render_maps (grid, legend, pictures from the scenario's
// folder). The map's warnings and errors are shown after the scenario's
// name. Exit status: 0 when both files were written, 1 when not, 2 for a
// usage error.
#include "scenario_files.h"

#include <orvex/orvex.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Text as it may stand in an HTML element or a quoted attribute.
std::string escaped(const std::string& text) {
    std::string html;
    for (const char c : text) {
        switch (c) {
            case '&': html += "&amp;"; break;
            case '<': html += "&lt;"; break;
            case '>': html += "&gt;"; break;
            case '"': html += "&quot;"; break;
            case '\'': html += "&#39;"; break;
            default: html += c;
        }
    }
    return html;
}

// The page: the map, an area over each label's box, and the list of the
// labelled objects the areas link to. A label's box has its right and
// bottom sides just past the text, as an area's rectangle has them.
std::string pageOf(const std::string& title, const std::string& mapFile, const orvex::Result& result) {
    // A GIF's width and height: two little-endian 16-bit numbers at byte 6.
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(result.gif[i]); };
    const int width = byte(6) | byte(7) << 8, height = byte(8) | byte(9) << 8;

    std::ostringstream page;
    page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << escaped(title)
         << "</title>\n</head>\n<body>\n<h1>" << escaped(title) << "</h1>\n<img src=\"" << escaped(mapFile)
         << "\" width=\"" << width << "\" height=\"" << height << "\" usemap=\"#labels\" alt=\"" << escaped(title)
         << "\">\n<map name=\"labels\">\n";
    for (const orvex::PlacedObject& object : result.objects) {
        if (!object.labelBox) continue;
        const orvex::Box& box = *object.labelBox;
        const std::string label = escaped(object.label);
        page << "<area shape=\"rect\" coords=\"" << box.left << ',' << box.top << ',' << box.right << ','
             << box.bottom << "\" href=\"#object-" << object.number << "\" title=\"" << label << "\" alt=\"" << label
             << "\">\n";
    }
    page << "</map>\n<ul>\n";
    for (const orvex::PlacedObject& object : result.objects) {
        if (!object.labelBox) continue;
        page << "<li id=\"object-" << object.number << "\">" << escaped(object.label) << " (" << escaped(object.type)
             << ")</li>\n";
    }
    page << "</ul>\n</body>\n</html>\n";
    return page.str();
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> words = {"--quiet", "-g", "-l"};
    int at = 1;
    if (argc == 4 && std::strcmp(argv[1], "-r") == 0) {
        words.insert(words.end(), {"-r", argv[2]});
        at = 3;
    }
    if (at != argc - 1) {
        std::fprintf(stderr, "usage: image_map [-r COLOURS.ini] SCENARIO.scn\n");
        return 2;
    }
    const std::string scenario = argv[at];
    std::string usage;
    const std::optional<orvex::Options> options = orvex::optionsFromWords(words, &usage);
    if (!options) {
        std::fputs(usage.c_str(), stderr);
        return 2;
    }
    const std::optional<std::string> text = readFile(scenario);
    if (!text) {
        std::fprintf(stderr, "%s: %s\n", scenario.c_str(), std::strerror(errno));
        return 1;
    }

    orvex::Request request;
    request.options = *options;
    request.scenario = *text;
    const orvex::PictureSource pictures = orvex::filesIn(folderOf(scenario));
    const orvex::PictureSource asNamed = orvex::filesIn("");
    request.pictures = [&](const std::string& name) {
        return options->resourceFile && name == *options->resourceFile ? asNamed(name) : pictures(name);
    };
    const orvex::Result result = orvex::render(request);
    showMessages(scenario, result.err);
    if (result.status != 0) return 1;

    // The title is the scenario's first line.
    std::string title = text->substr(0, text->find('\n'));
    if (!title.empty() && title.back() == '\r') title.pop_back();
    const std::string base = stemOf(scenario);
    const std::string mapFile = base + ".gif", pageFile = base + ".html";
    const std::size_t slash = mapFile.rfind('/');
    const std::string page = pageOf(title, slash == std::string::npos ? mapFile : mapFile.substr(slash + 1), result);
    for (const auto& [name, bytes] : {std::pair{mapFile, result.gif}, std::pair{pageFile, page}}) {
        if (const int error = orvex::writeFileReplacing(name, bytes)) {
            std::fprintf(stderr, "%s: unable to write %s: %s\n", scenario.c_str(), name.c_str(), std::strerror(error));
            return 1;
        }
    }
    std::printf("%s -> %s, %s\n", scenario.c_str(), mapFile.c_str(), pageFile.c_str());
    return 0;
}
