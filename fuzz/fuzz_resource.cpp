// The fuzzed bytes as a colour resource file, read into a fresh palette
// image that already has some entries (a few, or nearly all 256).
//
// Checks:
// - every colour role the file sets names an allocated entry of the image
//   (index < gdImageColorsTotal), and a role whose key the file does not
//   hold (in any case) keeps its value;
// - a file without '=' allocates nothing;
// - the reports are the one -v line, and every warning is a bad entry or a
//   bad section message;
// - the file with each LF written as CR LF gives the same roles, palette and
//   warnings.
#include "app/disk_files.h"
#include "app/resource_file.h"
#include "base/color_roles.h"
#include "fuzz_support.h"

#include <gd.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

using namespace orvex;

namespace {

struct Recorder : Reporter {
    void report(std::string_view text) override { reported.append(text); }
    void warn(std::string_view message, const Finding&) override { warnings.emplace_back(message); }
    void warnWithReports(std::string_view message, const Finding&) override { reported.append(message); }

    std::string reported;
    std::vector<std::string> warnings;
};

struct Outcome {
    RoleColors roles;
    std::vector<std::array<int, 3>> palette;
    std::vector<std::string> warnings;
    bool operator==(const Outcome&) const = default;
};


Outcome readInto(const std::string& path, const std::string& content, int entries, bool verbose) {
    ImagePtr image(gdImageCreate(4, 4));
    for (int i = 0; i < entries; ++i) gdImageColorAllocate(image.get(), i, 255 - i, 7);
    RoleColors roles = unsetRoleColors();
    roles[GRIDCOLOR] = 1;
    roles[LOCUSCOLOR] = 2;
    const RoleColors before = roles;

    Recorder recorder;
    DiskFiles files;
    readResourceFile(files, path, image.get(), roles, verbose, recorder);

    const int total = gdImageColorsTotal(image.get());
    FUZZ_CHECK(total >= entries && total <= gdMaxColors, "palette of " + std::to_string(total) + " entries");
    std::string upper = content;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int role = 0; role < COLOR_ROLE_COUNT; ++role) {
        const std::string key = COLOR_ROLE_KEYS[role];
        FUZZ_CHECK(roles[role] == COLOR_UNSET || (roles[role] >= 0 && roles[role] < total),
                   key + " is " + std::to_string(roles[role]) + " of " + std::to_string(total) + " entries");
        if (upper.find(key) == std::string::npos)
            FUZZ_CHECK(roles[role] == before[role], key + " changed without being named");
    }
    if (content.find('=') == std::string::npos) FUZZ_CHECK(total == entries, "a file without '=' allocated colours");

    FUZZ_CHECK(recorder.reported == (verbose ? "reading resource file " + path + "\n" : ""),
               "reported: " + recorder.reported);
    for (const std::string& warning : recorder.warnings)
        FUZZ_CHECK(warning.starts_with("**** Warning bad resource file entry \n") ||
                       warning.starts_with("**** Error bad resource section "),
                   "warning: " + warning);

    Outcome outcome{roles, {}, recorder.warnings};
    for (int i = 0; i < total; ++i)
        outcome.palette.push_back({image->red[i], image->green[i], image->blue[i]});
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchDir dir("orvex-fuzz-resource");
    const std::string path = dir.file("colors.ini");
    const std::string content(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(path, content);

    for (int entries : {3, 250}) {
        const Outcome lf = readInto(path, content, entries, entries == 3);
        if (content.find('\r') != std::string::npos) continue;
        std::string crlf;
        for (char c : content) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        fuzz::writeFile(path, crlf);
        const Outcome crlfOutcome = readInto(path, crlf, entries, entries == 3);
        fuzz::writeFile(path, content);
        FUZZ_CHECK(crlfOutcome == lf, "the file reads differently with CR LF line ends");
    }
    return 0;
}
