// Whole runs of orvex in this process, with lowered limits so that each
// input stays quick.
//
// Input: byte 0 chooses the flags (bit 0 -a, 1 -b, 2 -d, 3 -g, 4 -l, 5 -t,
// 6 -v, 7 -w); byte 1 the rest of the command line and the directory:
//   bits 0-2  resource file: 0 none, 1-5 one of RESOURCES, 6 a missing file,
//             7 taken from the input: byte 2 is its length L and the next L
//             bytes its text
//   bits 3-4  output: 0 no -f (orvex.gif), 1 -f map.gif, 2 -f out/map.gif,
//             3 -f nosuch/map.gif (a directory that does not exist)
//   bit 5     -i icons
//   bit 6     an earlier output file is there before the run
//   bit 7     the option letters in upper case
// The rest is the scenario. Its pictures are the fixed GIFs of FIXTURES,
// written with gd into a private directory that is the current directory
// during each run (and copied into icons/ there for -i).
//
// After each run:
// - status 0: no fatal "**** Error" message on the error stream; the output
//   file is a readable interlaced GIF of the size that the scenario's extent
//   and scale give (and that -v reported); -v's report ends with "writing
//   image file"; an unwritable target never gives status 0.
// - otherwise: status 1, and the error stream ends with exactly one fatal
//   message (one line, or two for an icon that cannot be loaded) with no
//   other fatal message before it; an earlier output file is byte-identical
//   and no output file appears where there was none.
// - always: the banner starts the output stream; no new file but the output
//   and, with -d, turned icons named "<type><k>.gif"; no file whose name
//   holds ".tmp" is left; the pictures the run read are unchanged.
#include "app/orvex.h"
#include "fuzz_support.h"

#include <gd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace orvex;

namespace {

namespace fs = std::filesystem;

Limits fuzzLimits() {
    Limits limits;
    limits.maxMapSide = 2048;
    limits.maxMapPixels = 1e6;
    limits.maxPictureSide = 512;
    limits.maxPicturePixels = 1L << 18;
    // Twelve turns per type, 25 samples a pixel with -a: 64 keeps a type
    // well under a tenth of a second with the sanitizers.
    limits.maxIconSide = 64;
    return limits;
}

// --- the fixed pictures ----------------------------------------------------

ImagePtr paletteImage(int width, int height, std::initializer_list<std::array<int, 3>> colors) {
    ImagePtr image(gdImageCreate(width, height));
    for (const auto& c : colors) gdImageColorAllocate(image.get(), c[0], c[1], c[2]);
    return image;
}

std::map<std::string, std::string> makeFixtures() {
    std::map<std::string, std::string> files;

    // A background with a pattern that does not repeat within it.
    ImagePtr sea = paletteImage(16, 12, {{0, 0, 128}, {20, 60, 160}, {200, 200, 255}, {0, 90, 40}});
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 12; ++y) gdImageSetPixel(sea.get(), x, y, (x * x + y) % 4);
    files["sea.gif"] = fuzz::gifBytes(sea.get());

    // A small tile with a transparent index, which the background ignores.
    ImagePtr tile = paletteImage(6, 5, {{90, 60, 30}, {255, 0, 255}, {140, 110, 70}});
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 5; ++y) gdImageSetPixel(tile.get(), x, y, (x + 2 * y) % 3);
    gdImageColorTransparent(tile.get(), 1);
    files["tile.gif"] = fuzz::gifBytes(tile.get());

    // Every palette entry used: the octree has to merge.
    ImagePtr many(gdImageCreate(16, 16));
    for (int i = 0; i < 256; ++i) {
        const int c = gdImageColorAllocate(many.get(), i, (i * 37) % 256, 255 - i);
        gdImageSetPixel(many.get(), i % 16, i / 16, c);
    }
    files["many.gif"] = fuzz::gifBytes(many.get());

    // Icons: black is their transparent ground, white takes the foreground.
    ImagePtr ship = paletteImage(10, 10, {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}});
    gdImageFilledRectangle(ship.get(), 3, 3, 6, 6, 1);
    gdImageSetPixel(ship.get(), 8, 5, 2);
    files["ship.gif"] = fuzz::gifBytes(ship.get());

    ImagePtr submarine = paletteImage(12, 6, {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}});
    gdImageFilledRectangle(submarine.get(), 1, 2, 10, 4, 1);
    gdImageFilledRectangle(submarine.get(), 5, 0, 6, 2, 2);
    files["submarine.gif"] = fuzz::gifBytes(submarine.get());

    ImagePtr buoy = paletteImage(5, 5, {{0, 0, 0}, {255, 255, 0}});
    gdImageSetPixel(buoy.get(), 2, 2, 1);
    files["buoy.gif"] = fuzz::gifBytes(buoy.get());

    ImagePtr bar = paletteImage(1, 4, {{0, 200, 0}, {200, 0, 0}});
    gdImageSetPixel(bar.get(), 0, 0, 1);
    files["bar.gif"] = fuzz::gifBytes(bar.get());

    // A real picture wider than the lowered picture side.
    ImagePtr wide = paletteImage(600, 2, {{10, 20, 30}});
    files["wide.gif"] = fuzz::gifBytes(wide.get());

    files["text.gif"] = "GIF89a is what this text is not\n";
    return files;
}

const char* const RESOURCES[] = {
    // The bundled example's colours.
    "; Colours for the bundled example map\n[COLOR]\nTITLETEXTCOLOR  = 255 240 160\nLABELTEXTCOLOR  = 230 230 230\n"
    "AXESCOLOR       = 200 200 200\nCOURSECOLOR     = 255 255 96\nGRIDCOLOR       = 90 120 150\n"
    "LEADERCOLOR     = 255 180 80\nLOCUSCOLOR      = 255 60 60\n",
    // Every role, in lower case, with CR LF line ends.
    "[color]\r\nbackgroundcolor = 0 0 40\r\nforegroundcolor = 255 200 0\r\ntitletextcolor = 1 2 3\r\n"
    "labeltextcolor = 4 5 6\r\naxescolor = 7 8 9\r\naxestextcolor = 10 11 12\r\nlegendcolor = 13 14 15\r\n"
    "legendtextcolor = 16 17 18\r\nleadercolor = 19 20 21\r\ncoursecolor = 22 23 24\r\ngridcolor = 25 26 27\r\n"
    "locuscolor = 28 29 30\r\n",
    // More colours than a palette holds (filled in by resourceText).
    nullptr,
    // Bad entries, an unclosed section, other sections, a line longer than a piece.
    "[COLOR\nGRIDCOLOR = 1 2 3\n[COLOR]\nTitleTextColor 255 255 255\n\nAXESCOLOR = 256 0 0\n"
    "LEADERCOLOR = -1 2 3\nLOCUSCOLOR = 1 2\n[SIZES]\nGRIDCOLOR = 5 5 5\n[MORE COLOR]\nCOURSECOLOR=+7 08 9 ;x\n"
    "; LEADERCOLOR = 1 1 1\n",
    "",
};

std::string resourceText(int which) {
    if (RESOURCES[which]) return RESOURCES[which];
    std::string text = "[COLOR]\n";
    for (int i = 0; i < 300; ++i)
        text += "GRIDCOLOR = " + std::to_string(i % 256) + " " + std::to_string(i / 256) + " 7\n";
    text += std::string(300, 'x') + "LOCUSCOLOR = 1 1 1\n";
    return text;
}

// --- the working directory ------------------------------------------------

struct Workplace {
    Workplace() : dir("orvex-fuzz-run"), fixtures(makeFixtures()) {
        fs::create_directory(dir.file("icons"));
        restore();
    }

    // Puts the fixtures back as they were and removes everything else.
    void restore() {
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "icons" && !fixtures.contains(name)) fs::remove_all(entry.path());
        }
        for (const auto& entry : fs::directory_iterator(dir.file("icons"))) {
            if (!fixtures.contains(entry.path().filename().string())) fs::remove_all(entry.path());
        }
        for (const auto& [name, bytes] : fixtures) {
            for (const std::string& path : {dir.file(name), dir.file("icons/" + name)}) {
                std::string now;
                if (!fuzz::readFile(path, now) || now != bytes) fuzz::writeFile(path, bytes);
            }
        }
    }

    // The names of every file and directory, relative to the directory.
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            names.insert(fs::relative(entry.path(), dir.path()).string());
        return names;
    }

    fuzz::ScratchDir dir;
    const std::map<std::string, std::string> fixtures;
};

Workplace& workplace() {
    static Workplace place;
    return place;
}

// --- reading the scenario's header as the program must -------------------

struct Header {
    bool readable = false;
    int width = 0, height = 0;
};

// The image size of the header at the start of `text`, read on its own: the
// title line, then white-space separated items.
Header expectedSize(const std::string& text) {
    Header header;
    std::size_t pos = text.find('\n');
    if (pos == std::string::npos) return header;
    ++pos;
    auto token = [&]() -> std::string {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
        return text.substr(start, pos - start);
    };
    token();  // the background picture
    token();  // the tracks flag
    double values[5];
    for (double& v : values) {
        const std::string word = token();
        char* end = nullptr;
        v = std::strtof(word.c_str(), &end);
        if (word.empty() || *end != '\0') return header;
    }
    const double width = std::trunc((values[2] - values[0]) * values[4] + 0.5);
    const double height = std::trunc((values[3] - values[1]) * values[4] + 0.5);
    if (!(width >= 1 && width <= 65535 && height >= 1 && height <= 65535)) return header;
    header.readable = true;
    header.width = static_cast<int>(width);
    header.height = static_cast<int>(height);
    return header;
}

// --- the error stream ------------------------------------------------------

// A name as messages show it: one word, or nothing when the name starts
// with a NUL byte (messages show names up to a NUL).
bool isWord(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

bool isNumber(const std::string& text) {
    return !text.empty() && text[0] != '0' &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// What a bad item of the object list adds to its message:
// ' (object N, label "TEXT" from line L)'.
bool isObjectContext(const std::string& text) {
    const std::string head = " (object ", middle = ", label \"", tail = "\" from line ";
    if (!text.starts_with(head) || !text.ends_with(")")) return false;
    const std::size_t comma = text.find(middle);
    const std::size_t from = text.rfind(tail);
    if (comma == std::string::npos || from == std::string::npos || from < comma + middle.size()) return false;
    return isNumber(text.substr(head.size(), comma - head.size())) &&
           isNumber(text.substr(from + tail.size(), text.size() - 1 - from - tail.size()));
}

const char* const ITEMS[] = {"title",      "background picture name", "tracks flag", "map extent", "scale",
                             "type name",  "icon file name",          "icon scale",  "legend flag",
                             "position",   "course",                  "facing",      "speed",      "turn"};

// A one-line message that ends the run.
bool isFatalLine(const std::string& line) {
    const std::string scenarioLine = "**** Error bad scenario line ";
    if (line.starts_with(scenarioLine)) {
        std::size_t p = scenarioLine.size();
        const std::size_t digits = p;
        while (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p]))) ++p;
        if (p == digits || line[digits] == '0') return false;
        const std::string rest = line.substr(p);
        return std::any_of(std::begin(ITEMS), std::end(ITEMS), [&](const char* item) {
            const std::string expected = std::string(": ") + item + " expected";
            return rest == expected || (rest.starts_with(expected) && isObjectContext(rest.substr(expected.size())));
        });
    }
    if (line.starts_with("**** Error bad icon scale for type ")) return isWord(line.substr(35));
    if (line.starts_with("**** Error unable to write image file ")) return line.size() > 38;
    if (line.starts_with("**** Error output file ")) return line.ends_with(" is an input of this run");
    for (const char* reason : {"scale must be above 0", "extent values must be smaller than 2147483648 either way",
                               "the map spans more than 1000000 units"}) {
        if (line == std::string("**** Error invalid map extent or scale: ") + reason) return true;
    }
    if (line.starts_with("**** Error invalid map extent or scale: the map would be ")) return line.ends_with(" in all)");
    return line == "**** Error unable to create the map image" || line == "**** Error out of memory";
}

// The first line of a two-line message that ends the run (an icon that
// cannot be loaded); the second is "**** Aborting".
bool isFatalIconLine(const std::string& line) {
    for (const std::string& prefix : {std::string("**** Error unable to load source image "),
                                      std::string("**** Error picture too large ")}) {
        if (line.starts_with(prefix)) return isWord(line.substr(prefix.size()));
    }
    return false;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Where the run-ending message starts in `lines`, or -1 when none is the
// last message.
int fatalMessageStart(const std::vector<std::string>& lines) {
    const int n = static_cast<int>(lines.size());
    if (n >= 1 && isFatalLine(lines[n - 1])) return n - 1;
    if (n >= 2 && lines[n - 1] == "**** Aborting" && isFatalIconLine(lines[n - 2])) return n - 2;
    return -1;
}

// No line before `end` is, or starts, a message that ends a run.
bool noFatalBefore(const std::vector<std::string>& lines, int end) {
    return std::none_of(lines.begin(), lines.begin() + end,
                        [](const std::string& line) { return isFatalLine(line) || line == "**** Aborting"; });
}

// --- one run ---------------------------------------------------------------

const char* const OUTPUTS[] = {nullptr, "map.gif", "out/map.gif", "nosuch/map.gif"};
constexpr const char* EARLIER = "an earlier map\n";

bool isDebugIcon(const std::string& name) {
    // "<type><k>.gif", k from 0 to 11, directly in the directory; the type
    // name is taken up to a NUL byte, so it may be empty.
    return name.size() >= 5 && name.ends_with(".gif") && std::isdigit(static_cast<unsigned char>(name[name.size() - 5])) &&
           name.find('/') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Workplace& place = workplace();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const unsigned flags = size > 0 ? data[0] : 0;
    const unsigned modes = size > 1 ? data[1] : 0;
    std::size_t scenarioStart = std::min<std::size_t>(size, 2);

    const bool upper = modes & 0x80;
    auto option = [upper](char letter) {
        return std::string("-") + static_cast<char>(upper ? std::toupper(letter) : letter);
    };
    std::vector<std::string> args;
    const char letters[] = "abdgltvw";
    for (int bit = 0; bit < 8; ++bit)
        if (flags & (1u << bit)) args.emplace_back(option(letters[bit]));
    const bool debug = flags & 0x04, verbose = flags & 0x40;

    const unsigned resourceMode = modes & 7;
    std::string resource;
    if (resourceMode == 7) {
        const std::size_t length = size > 2 ? data[2] : 0;
        scenarioStart = std::min(size, std::size_t{3} + length);
        resource = input.substr(std::min<std::size_t>(size, 3), scenarioStart - std::min<std::size_t>(size, 3));
    } else if (resourceMode >= 1 && resourceMode <= 5) {
        resource = resourceText(static_cast<int>(resourceMode) - 1);
    }
    if (resourceMode != 0) {
        args.emplace_back(option('r'));
        args.emplace_back(resourceMode == 6 ? "missing.ini" : "colors.ini");
    }

    const int outputMode = static_cast<int>(modes >> 3 & 3);
    const std::string target = OUTPUTS[outputMode] ? OUTPUTS[outputMode] : "orvex.gif";
    if (OUTPUTS[outputMode]) {
        args.emplace_back(option('f'));
        args.push_back(target);
    }
    if (modes & 0x20) {
        args.emplace_back(option('i'));
        args.emplace_back("icons");
    }
    const std::string scenario = input.substr(scenarioStart);

    // The directory as the run finds it.
    place.restore();
    fs::create_directory(place.dir.file("out"));
    if (resourceMode != 0 && resourceMode != 6) fuzz::writeFile(place.dir.file("colors.ini"), resource);
    const bool earlier = (modes & 0x40) && outputMode != 3;
    if (earlier) fuzz::writeFile(place.dir.file(target), EARLIER);
    const std::set<std::string> before = place.listing();

    std::FILE* in = fuzz::inputStream(scenario);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) fuzz::fail("tmpfile failed");
    const fs::path home = fs::current_path();
    fs::current_path(place.dir.path());
    const int status = runOrvex(args, in, out, err, fuzzLimits());
    fs::current_path(home);
    std::fclose(in);
    const std::string outText = fuzz::drain(out);
    const std::string errText = fuzz::drain(err);

    FUZZ_CHECK(outText.starts_with("orvex v"), "the banner does not start the output: " + outText.substr(0, 80));

    const std::vector<std::string> errLines = linesOf(errText);
    const std::set<std::string> after = place.listing();
    for (const std::string& name : after) {
        // The map is written as "<target>.tmp<pid>-<n>" and renamed.
        FUZZ_CHECK(!name.starts_with(target + ".tmp"), "a temporary file is left behind: " + name);
        const bool isTarget = name == target && status == 0;
        FUZZ_CHECK(before.contains(name) || isTarget || (debug && isDebugIcon(name)),
                   "the run made an unexpected file: " + name);
    }
    for (const auto& [name, bytes] : place.fixtures) {
        for (const std::string& path : {name, "icons/" + name}) {
            std::string now;
            FUZZ_CHECK(fuzz::readFile(place.dir.file(path), now) && now == bytes, "the run changed the picture " + path);
        }
    }

    if (status == 0) {
        FUZZ_CHECK(outputMode != 3, "a run with an unwritable output file finished");
        FUZZ_CHECK(noFatalBefore(errLines, static_cast<int>(errLines.size())),
                   "a finished run printed a fatal message:\n" + errText);
        ImagePtr map = fuzz::loadGif(place.dir.file(target));
        FUZZ_CHECK(map, "a finished run left no readable GIF in " + target);
        FUZZ_CHECK(gdImageGetInterlaced(map.get()), "the map is not interlaced");
        const Header header = expectedSize(scenario);
        FUZZ_CHECK(header.readable, "a finished run with a header that does not read as one");
        const std::string expected = std::to_string(header.width) + " x " + std::to_string(header.height);
        FUZZ_CHECK(gdImageSX(map.get()) == header.width && gdImageSY(map.get()) == header.height,
                   "the map is " + std::to_string(gdImageSX(map.get())) + " x " + std::to_string(gdImageSY(map.get())) +
                       ", the extent and scale give " + expected);
        if (verbose) {
            FUZZ_CHECK(outText.find("\nimage resolution     " + expected + "\n") != std::string::npos,
                       "-v does not report the image resolution " + expected);
            FUZZ_CHECK(outText.ends_with("\nwriting image file\n"), "-v's report does not end with the writing");
        }
    } else {
        FUZZ_CHECK(status == 1, "exit status " + std::to_string(status));
        FUZZ_CHECK(errText.ends_with("\n"), "the error stream does not end with a line end:\n" + errText);
        const int start = fatalMessageStart(errLines);
        FUZZ_CHECK(start >= 0, "a failed run's error stream does not end with a fatal message:\n" + errText);
        FUZZ_CHECK(noFatalBefore(errLines, start), "more than one fatal message:\n" + errText);
        if (errLines[start].starts_with("**** Error unable to write image file ")) {
            const std::string named = errLines[start].substr(38);
            FUZZ_CHECK(named == target || named.starts_with(target + ": "),
                       "the write error names another file: " + errLines[start]);
        }
        if (earlier) {
            std::string now;
            FUZZ_CHECK(fuzz::readFile(place.dir.file(target), now) && now == EARLIER,
                       "a failed run changed the earlier output file");
        } else {
            FUZZ_CHECK(!fs::exists(fs::symlink_status(place.dir.file(target))), "a failed run wrote " + target);
        }
    }
    return 0;
}
