// orvex-replay: draws every turn of a game as orvex would, and puts the maps
// together as the frames of one animated GIF.
//
//   orvex-replay [orvex options] [--delay CENTISECONDS] [--loop N] [--steady]
//                -o replay.gif turn1.scn turn2.scn ...
//
// Built on the library alone: each turn is a request, each result a frame.
#include "app/orvex.h"

#include <gd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

const char* const USAGE =
    "usage: orvex-replay [orvex options] [--delay CENTISECONDS] [--loop N] [--steady] -o replay.gif turn.scn...\n";

struct Replay {
    std::vector<std::string> orvexWords;
    std::vector<std::string> turns;
    std::string output;
    int delay = 100;  // hundredths of a second a frame
    int loops = 0;    // 0: for ever
    bool steady = false;
};

struct UsageError {
    std::string message;
};

int number(const std::string& option, const std::string& word, int low, int high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || errno == ERANGE || value < low || value > high)
        throw UsageError{"orvex-replay: " + option + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not " + word + "\n"};
    return static_cast<int>(value);
}

// The words: orvex's options (its values included), the replay's own, and
// the turns' scenario files.
Replay readWords(const std::vector<std::string>& words) {
    Replay replay;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= words.size()) throw UsageError{"orvex-replay: " + word + " needs a value\n"};
            return words[++i];
        };
        if (word == "--delay") replay.delay = number(word, value(), 0, 65535);
        else if (word == "--loop") replay.loops = number(word, value(), 0, 65535);
        else if (word == "--steady") replay.steady = true;
        else if (word == "-o") replay.output = value();
        else if (word == "--check")
            throw UsageError{"orvex-replay: --check has no meaning here: check each turn with orvex --check < TURN\n"};
        else if (word.size() >= 2 && word[0] == '-' && word[1] != '-' && std::strchr("fFdD", word[1]))
            throw UsageError{"orvex-replay: " + word.substr(0, 2) + " has no meaning here: " +
                             (std::strchr("fF", word[1]) ? "the replay goes to -o FILE\n" : "it writes no icon files\n")};
        else if (word.size() >= 2 && word[0] == '-' && word[1] != '-' && std::strchr("iIrR", word[1])) {
            replay.orvexWords.push_back(word);
            replay.orvexWords.push_back(value());
        } else if (!word.empty() && word[0] == '-') {
            replay.orvexWords.push_back(word);
        } else {
            replay.turns.push_back(word);
        }
    }
    if (replay.output.empty()) throw UsageError{"orvex-replay: no replay file: give -o replay.gif\n"};
    if (replay.turns.empty()) throw UsageError{"orvex-replay: no turns: name their scenario files\n"};
    return replay;
}

std::optional<std::string> readFile(const std::string& name) {
    std::ifstream stream(name, std::ios::binary);
    if (!stream) return std::nullopt;
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

// Each line of text after "NAME: ".
void show(const std::string& name, const std::string& text, std::FILE* stream) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
        std::fprintf(stream, "%s: %.*s\n", name.c_str(), static_cast<int>(length), text.data() + start);
        start += length + 1;
    }
}

// The first of inputs that is the file output names (the same file, links
// followed), if output exists.
std::optional<std::string> inputNamed(const std::string& output, const std::vector<std::string>& inputs) {
    struct stat target {};
    if (stat(output.c_str(), &target) != 0) return std::nullopt;
    for (const std::string& input : inputs) {
        struct stat read {};
        if (stat(input.c_str(), &read) == 0 && read.st_dev == target.st_dev && read.st_ino == target.st_ino)
            return input;
    }
    return std::nullopt;
}

struct ImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};
using Frame = std::unique_ptr<gdImage, ImageDeleter>;

bool samePalette(gdImagePtr a, gdImagePtr b) {
    if (gdImageColorsTotal(a) != gdImageColorsTotal(b)) return false;
    for (int i = 0; i < gdImageColorsTotal(a); ++i)
        if (a->red[i] != b->red[i] || a->green[i] != b->green[i] || a->blue[i] != b->blue[i]) return false;
    return true;
}

// Appends what one of gd's animation calls gave: its bytes and their size.
void append(std::string& gif, void* bytes, int size) {
    if (!bytes) throw std::bad_alloc();
    gif.append(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
    gdFree(bytes);
}

// The frames as one animated GIF: the first frame's colours as the global
// table, a local table for each frame whose palette differs from them.
std::string animate(const std::vector<Frame>& frames, int delay, int loops) {
    std::string gif;
    int size = 0;
    gdImagePtr first = frames.front().get();
    void* bytes = gdImageGifAnimBeginPtr(first, &size, 1, loops);
    append(gif, bytes, size);
    for (const Frame& frame : frames) {
        const int localColors = samePalette(frame.get(), first) ? 0 : 1;
        bytes = gdImageGifAnimAddPtr(frame.get(), &size, localColors, 0, 0, delay, gdDisposalNone, nullptr);
        append(gif, bytes, size);
    }
    bytes = gdImageGifAnimEndPtr(&size);
    append(gif, bytes, size);
    return gif;
}

int runReplay(const std::vector<std::string>& words) {
    const Replay replay = readWords(words);
    std::string usage;
    const std::optional<orvex::Options> options = orvex::optionsFromWords(replay.orvexWords, &usage);
    if (!options) throw UsageError{usage};

    std::vector<Frame> frames;
    std::vector<orvex::PlacedObject> before;
    std::vector<std::string> inputs = replay.turns;  // the files read: the turns, their pictures and colours
    for (const std::string& turn : replay.turns) {
        orvex::Request request;
        request.options = *options;
        // The runs' banners and reports are not the replay's; their warnings
        // are shown, the palette's among them.
        request.options.quiet = true;
        const std::optional<std::string> scenario = readFile(turn);
        if (!scenario) {
            std::fprintf(stderr, "orvex-replay: %s: %s\n", turn.c_str(),
                         std::error_code(errno, std::generic_category()).message().c_str());
            return 1;
        }
        request.scenario = *scenario;
        if (replay.steady) request.steadyFrom = before;
        const orvex::Result result = orvex::render(request);
        show(turn, result.err, stderr);
        if (result.status != 0) {
            std::fprintf(stderr, "orvex-replay: %s: the map was not drawn; nothing is written\n", turn.c_str());
            return 1;
        }
        Frame frame(gdImageCreateFromGifPtr(static_cast<int>(result.gif.size()), const_cast<char*>(result.gif.data())));
        if (!frame) throw std::bad_alloc();
        gdImageInterlace(frame.get(), 0);
        if (!frames.empty() && (gdImageSX(frame.get()) != gdImageSX(frames[0].get()) ||
                                gdImageSY(frame.get()) != gdImageSY(frames[0].get()))) {
            std::fprintf(stderr,
                         "orvex-replay: %s: its map is %d x %d pixels, the first turn's %d x %d; every turn's map "
                         "must have the same size; nothing is written\n",
                         turn.c_str(), gdImageSX(frame.get()), gdImageSY(frame.get()), gdImageSX(frames[0].get()),
                         gdImageSY(frames[0].get()));
            return 1;
        }
        frames.push_back(std::move(frame));
        if (options->verbose && !options->quiet) std::printf("%s: frame %zu\n", turn.c_str(), frames.size());
        before = result.objects;
        inputs.insert(inputs.end(), result.read.begin(), result.read.end());
    }
    if (const std::optional<std::string> input = inputNamed(replay.output, inputs)) {
        std::fprintf(stderr, "orvex-replay: the replay file %s is %s, an input of this replay; nothing is written\n",
                     replay.output.c_str(), input->c_str());
        return 1;
    }

    const std::string gif = animate(frames, replay.delay, replay.loops);
    if (const int error = orvex::writeFileReplacing(replay.output, gif)) {
        std::fprintf(stderr, "orvex-replay: unable to write %s: %s\n", replay.output.c_str(),
                     std::error_code(error, std::generic_category()).message().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    // --help and --version answer whatever else the words say; the first
    // of them counts.
    for (const std::string& word : words) {
        if (word == "--version") {
            std::printf("orvex-replay %s\n", orvex::version());
            return 0;
        }
        if (word == "--help") {
            std::fputs(USAGE, stdout);
            std::fputs("Draws each turn's scenario file as orvex would (its options, pictures and -i relative to\n"
                       "the current folder), and puts the maps together as the frames of one animated GIF:\n"
                       "  --delay CENTISECONDS  how long each frame shows (100)\n"
                       "  --loop N              how many times the replay plays again; 0, for ever (0)\n"
                       "  --steady              a label keeps its place from its object when it is free there\n"
                       "  -o replay.gif         the animated GIF to write\n"
                       "  --version             the version, and nothing else\n"
                       "See man orvex-replay.\n",
                       stdout);
            return 0;
        }
    }
    try {
        return runReplay(words);
    } catch (const UsageError& error) {
        std::fputs(error.message.c_str(), stderr);
        std::fputs(USAGE, stderr);
        return 1;
    } catch (const std::bad_alloc&) {
        std::fputs("orvex-replay: out of memory\n", stderr);
        return 1;
    }
}
