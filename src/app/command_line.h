// Turns the command-line words into what the run is to do.
#pragma once

#include "base/finding.h"
#include "base/options.h"

#include <string>
#include <vector>

namespace orvex {

struct CommandLine {
    enum class Action { run, check, help, version };

    Options options;
    Action action = Action::run;
    // What a check says of the words: an option word whose extra letters are
    // ignored, a value that looks like a forgotten one.
    std::vector<Finding> findings;
};

// The usage line, with its line end.
extern const char* const USAGE;

// Reads the words after the program name, left to right. Short options
// keep their old rules: a word '-' and one letter, only the letter counting,
// in either case; -f, -i and -r take the next word whatever it is. A word
// starting with "--" is a long option, compared whole: --help and --version
// end the reading there; --check, --quiet and --strict are kept. A word that
// is not an option, an unknown option, or -f/-i/-r without a following word
// throws a RunError (exit status 1) whose message holds the usage line, and
// for a plain word that names an existing file, how to give the scenario.
CommandLine parseCommandLine(const std::vector<std::string>& words);

// The text of --help.
std::string helpText();

}  // namespace orvex
