#include "driver/command_line.h"

#include "driver/run_error.h"

#include <cctype>
#include <string>

namespace {

const char* const USAGE =
    "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

[[noreturn]] void usageError(const std::string& before = "") {
    throw RunError(before + USAGE, 1);
}

}  // namespace

void parseCommandLine(int argc, const char* const argv[], RunSettings& settings) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] != '-') usageError();
        if (word.size() == 1) continue;  // a lone '-' is ignored

        // Only the letter right after '-' counts: -verbose is -v.
        const char typed = word[1];
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
        std::optional<std::string>* value = nullptr;
        switch (letter) {
            case 'A': settings.resampling = true; break;
            case 'B': settings.colorMap = false; break;
            case 'D': settings.debug = true; break;
            case 'G': settings.grid = true; break;
            case 'L': settings.legend = true; break;
            case 'T': settings.realThrust = true; break;
            case 'V': settings.verbose = true; break;
            case 'W': settings.tiling = true; break;
            case 'F': value = &settings.outputFile; break;
            case 'I': value = &settings.imageDir; break;
            case 'R': value = &settings.resourceFile; break;
            default:
                usageError(std::string("orvex: illegal option ") + typed + "\n");
        }
        if (value) {
            // The next word is the value, whatever it looks like.
            if (i + 1 >= argc) usageError();
            *value = std::string(argv[++i]);
        }
    }
}
