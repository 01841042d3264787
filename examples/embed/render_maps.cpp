// render_maps: draws the map of every scenario file named on its command
// line, all in this one process, through liborvex's runOrvex.
//
//   render_maps [-r COLOURS.ini] SCENARIO.scn...
//
// SCENARIO.scn becomes SCENARIO.gif beside it, drawn with the coordinate
// grid and the legend, its pictures read from the scenario's folder, as
//   orvex -g -l -i FOLDER [-r COLOURS.ini] -f SCENARIO.gif < SCENARIO.scn
// would draw it. Each run's warnings and errors are gathered in memory and
// shown after the scenario's name. Exit status: 0 when every map was
// written, 1 when one was not, 2 for a usage error.
#include <orvex/orvex.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string mapNameOf(const std::string& path) {
    const std::string suffix = ".scn";
    const bool hasSuffix = path.size() > suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (hasSuffix ? path.substr(0, path.size() - suffix.size()) : path) + ".gif";
}

// Shows each line of text after "NAME: ".
void showMessages(const std::string& name, const char* text, std::size_t size) {
    std::size_t start = 0;
    while (start < size) {
        const char* end = static_cast<const char*>(std::memchr(text + start, '\n', size - start));
        const std::size_t length = end ? static_cast<std::size_t>(end - (text + start)) : size - start;
        std::fprintf(stderr, "%s: %.*s\n", name.c_str(), static_cast<int>(length), text + start);
        start += length + 1;
    }
}

// One run of orvex on one scenario file; true when its map was written.
bool renderMap(const std::string& scenario, const std::string& colours) {
    std::FILE* in = std::fopen(scenario.c_str(), "r");
    if (!in) {
        std::perror(scenario.c_str());
        return false;
    }
    const std::string map = mapNameOf(scenario);
    std::vector<std::string> args = {"-g", "-l", "-i", folderOf(scenario), "-f", map};
    if (!colours.empty()) args.insert(args.end(), {"-r", colours});

    // The banner and reports are not wanted; the messages are kept.
    std::FILE* out = std::fopen("/dev/null", "w");
    char* messages = nullptr;
    std::size_t messagesSize = 0;
    std::FILE* err = open_memstream(&messages, &messagesSize);
    if (!out || !err) {
        std::perror("render_maps");
        std::exit(1);
    }
    const int status = runOrvex(args, in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    showMessages(scenario, messages, messagesSize);
    std::free(messages);

    if (status == 0) std::printf("%s -> %s\n", scenario.c_str(), map.c_str());
    return status == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string colours;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-r") == 0) {
        colours = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: render_maps [-r COLOURS.ini] SCENARIO.scn...\n");
        return 2;
    }
    bool allWritten = true;
    for (int i = first; i < argc; ++i) allWritten = renderMap(argv[i], colours) && allWritten;
    return allWritten ? 0 : 1;
}
