// Turns the command-line words into the option fields of RunSettings.
#pragma once

#include "driver/run_settings.h"

// Reads argv[1..argc-1] into settings. A word that is not an option, an
// unknown option letter, or -f/-i/-r without a following word throws a
// RunError (exit status 1) whose message holds the usage text; nothing is
// printed here.
void parseCommandLine(int argc, const char* const argv[], RunSettings& settings);
