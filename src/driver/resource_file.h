// The colour resource file: an initialisation-style text file whose COLOR
// sections set the colour roles, e.g.
//
//   [COLOR]
//   GRIDCOLOR = 40 40 40   ; dark grey
#pragma once

#include "driver/run_settings.h"

// Reads settings.resourceFile and gives every role named in its colour
// sections a new entry of settings.outputImage, in file order. Problems in
// the file are reported on standard error and reading goes on; a file that
// cannot be opened is reported and leaves every role unset.
void readResourceFile(RunSettings& settings);
