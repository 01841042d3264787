#include "app/command_line.h"

#include "base/run_error.h"

#include <sys/stat.h>

#include <cctype>
#include <string>

namespace orvex {

const char* const USAGE = "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

namespace {

[[noreturn]] void usageError(const std::string& before = "", const std::string& after = "") {
    throw RunError(before + USAGE + after, 1);
}

bool namesAFile(const std::string& word) {
    struct stat status {};
    return ::stat(word.c_str(), &status) == 0;
}

Finding commandLineWarning(std::string text, std::string hint) {
    return {Finding::Severity::warning, Finding::Origin::commandLine, "", 0, std::move(text), std::move(hint)};
}

bool isFlagLetter(char c) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::string("ABDGLTVW").find(letter) != std::string::npos;
}

// A check's word about an option word with more than one letter.
Finding extraLetters(const std::string& word) {
    const std::string acts = word + " acts as " + word.substr(0, 2);
    bool allFlags = true;
    std::string split;
    for (std::size_t i = 1; i < word.size(); ++i) {
        allFlags = allFlags && isFlagLetter(word[i]);
        split += (i > 1 ? " -" : "-") + std::string(1, word[i]);
    }
    return commandLineWarning(acts + "; its other letters are ignored",
                              allFlags ? "write " + split : "one option a word, as " + word.substr(0, 2));
}

void applyLongOption(const std::string& word, CommandLine& line) {
    if (word == "--check") line.action = CommandLine::Action::check;
    else if (word == "--quiet") line.options.quiet = true;
    else if (word == "--strict") line.options.strict = true;
    else usageError("orvex: illegal option " + word + "\n");
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& words) {
    CommandLine line;
    Options& options = line.options;
    const std::size_t count = words.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& word = words[i];
        if (word.empty() || word[0] != '-') {
            usageError("", namesAFile(word) ? "orvex: the scenario is read from standard input: orvex [options] < " +
                                                  word + "\n"
                                            : "");
        }
        if (word.size() == 1) continue;  // a lone '-' is ignored
        if (word[1] == '-') {
            if (word == "--help" || word == "--version") {
                line.action = word == "--help" ? CommandLine::Action::help : CommandLine::Action::version;
                return line;
            }
            applyLongOption(word, line);
            continue;
        }

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
        if (word.size() > 2) line.findings.push_back(extraLetters(word));
        if (value) {
            // The next word is the value, whatever it looks like.
            if (i + 1 >= count) usageError();
            *value = words[++i];
            if (!value->value().empty() && value->value()[0] == '-') {
                line.findings.push_back(commandLineWarning(
                    "the value of " + word.substr(0, 2) + " is " + value->value() + ", which starts with -",
                    "a forgotten value? " + word.substr(0, 2) + " takes the next word whatever it is"));
            }
        }
    }
    return line;
}

std::string helpText() {
    return std::string(USAGE) +
           "  -a                resample the icons as they are turned (25 samples a pixel)\n"
           "  -b                bitonal map: black on white, no background picture\n"
           "  -d                diagnostics: the octree's colours, the turned icons as GIF files,\n"
           "                    the areas the labels avoid outlined in the map\n"
           "  -f filename.gif   write the map to filename.gif instead of orvex.gif\n"
           "  -g                draw the coordinate grid\n"
           "  -i image_dir      look the background picture and the icons up in image_dir\n"
           "  -l                draw the legend\n"
           "  -r resource.ini   take the colours from the colour file resource.ini\n"
           "  -t                thrust lines: courses in degrees instead of 30-degree steps\n"
           "  -v                report the settings and each stage on standard output\n"
           "  -w                tile the background picture instead of scaling it\n"
           "  --check           check the command line, scenario, pictures and colour file;\n"
           "                    draw nothing, write no file\n"
           "  --quiet           print nothing on standard output; warnings and errors still show\n"
           "  --strict          end with an error, keeping an earlier map, after any warning\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "The scenario is read from standard input: orvex [options] < scenario\n"
           "The scenario, the colour file and every message are described in man orvex.\n";
}

}  // namespace orvex
