// Whole runs with the program's own limits, in memory, to find inputs that
// take long or need much memory: make fuzz runs it with a time limit of a
// second per input and a memory limit of 512 MB.
//
// Input: byte 0 chooses the flags (bit 0 -a, 1 -b, 2 -g, 3 -l, 4 -t, 5 -v,
// 6 -w); -d is left out, as it turns every facing of every type by design.
// The rest is the scenario, then the pictures, each after the marker
// "\xffPIC": the first is p1.gif, the second p2.gif, and so on. The scenario
// and each picture are at most 64 KB; a longer input is skipped.
//
// After each run: status 0 with a GIF, or status 1 with an error and no
// GIF. Anything slower than the limit, or larger, is what libFuzzer saves.
#include "app/orvex.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view MARKER = "\xffPIC";
constexpr std::size_t MOST_BYTES = std::size_t{64} * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t marker = input.find(MARKER, at);
        parts.emplace_back(input.substr(at, marker == std::string_view::npos ? std::string_view::npos : marker - at));
        if (parts.back().size() > MOST_BYTES) return 0;
        if (marker == std::string_view::npos) break;
        at = marker + MARKER.size();
    }

    std::vector<std::string> words;
    const char* const flags[] = {"-a", "-b", "-g", "-l", "-t", "-v", "-w"};
    for (int bit = 0; bit < 7; ++bit)
        if (data[0] & (1U << bit)) words.emplace_back(flags[bit]);
    const std::optional<Options> options = optionsFromWords(words);
    FUZZ_CHECK(options.has_value(), "the flags are refused");

    Request request;
    request.options = *options;
    request.scenario = parts[0];
    request.pictures = [&parts](const std::string& name) {
        for (std::size_t k = 1; k < parts.size(); ++k)
            if (name == "p" + std::to_string(k) + ".gif") return SourcedFile{parts[k], ""};
        return SourcedFile{std::nullopt, "No such file or directory"};
    };
    const Result result = render(request);
    FUZZ_CHECK(result.status == 0 || result.status == 1, "status " + std::to_string(result.status));
    FUZZ_CHECK((result.status == 0) == !result.gif.empty(), "a map with status 1, or none with status 0");
    return 0;
}
