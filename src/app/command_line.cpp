#include "app/command_line.h"

#include "base/run_error.h"

#include <cctype>
#include <string>

namespace {

const char* const USAGE =
    "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

[[noreturn]] void usageError(const std::string& before = "") {
    throw RunError(before + USAGE, 1);
}

}  // namespace

Options parseCommandLine(const std::vector<std::string>& words) {
    Options options;
    const std::size_t count = words.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& word = words[i];
        if (word.empty() || word[0] != '-') usageError();
        if (word.size() == 1) continue;  // a lone '-' is ignored

        // Only the letter right after '-' counts: -verbose is -v.
        const char typed = word[1];
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
        std::optional<std::string>* value = nullptr;
        switch (letter) {
            case 'A': options.resampling = true; break;
            case 'B': options.colorMap = false; break;
            case 'D': options.debug = true; break;
            case 'G': options.grid = true; break;
            case 'L': options.legend = true; break;
            case 'T': options.realThrust = true; break;
            case 'V': options.verbose = true; break;
            case 'W': options.tiling = true; break;
            case 'F': value = &options.outputFile; break;
            case 'I': value = &options.imageDir; break;
            case 'R': value = &options.resourceFile; break;
            default:
                usageError(std::string("orvex: illegal option ") + typed + "\n");
        }
        if (value) {
            // The next word is the value, whatever it looks like.
            if (i + 1 >= count) usageError();
            *value = words[++i];
        }
    }
    return options;
}
