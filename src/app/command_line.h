// Turns the command-line words into Options.
#pragma once

#include "base/options.h"

#include <string>
#include <vector>

// Reads the words after the program name. A word that is not an option, an
// unknown option letter, or -f/-i/-r without a following word throws a
// RunError (exit status 1) whose message holds the usage text.
Options parseCommandLine(const std::vector<std::string>& words);
