// The colour resource file: an initialisation-style text file whose COLOR
// sections set the colour roles, e.g.
//
//   [COLOR]
//   GRIDCOLOR = 40 40 40   ; dark grey
#pragma once

#include "base/color_roles.h"
#include "base/file_source.h"
#include "base/reporter.h"

#include <gd.h>

#include <string>

// Reads the file `name` through files and gives every role named in its
// colour sections a new entry of image, in file order. Problems in the file are reported and
// reading goes on; a file that cannot be opened is reported and leaves
// every role as it was.
void readResourceFile(FileSource& files, const std::string& name, gdImagePtr image, RoleColors& roles, bool verbose,
                      Reporter& reporter);
