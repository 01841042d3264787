// The colour resource file: an initialisation-style text file whose COLOR
// sections set the colour roles, e.g.
//
//   [COLOR]
//   GRIDCOLOR = 40 40 40   ; dark grey
#pragma once

#include "base/color_roles.h"
#include "base/file_source.h"
#include "base/finding.h"
#include "base/reporter.h"

#include <gd.h>

#include <string>
#include <vector>

namespace orvex {

// An entry of a colour section that reads: a line with '=' and three
// components 0 to 255 after it.
struct ColorEntry {
    int line = 0;
    std::string key;               // the text before '=', upper-cased, white space trimmed
    std::vector<ColorRole> roles;  // every role whose key the line holds, in the roles' order
    int red = 0, green = 0, blue = 0;
};

// A problem the run reports and reads on after: its message as the run
// prints it, and its finding.
struct ColorFileWarning {
    std::string message;
    Finding finding;
};

// The file as read, without any palette: lines are read in pieces of at
// most 254 characters (the rest of a longer line reads as a next line),
// upper-cased and cut at the first ';'; CR LF reads as LF.
struct ColorFileText {
    std::vector<ColorEntry> entries;         // in file order, those naming no role too
    std::vector<ColorFileWarning> warnings;  // in file order
    std::vector<std::pair<int, std::string>> sections;  // each section line read whole: its line and text
    bool hasColorSection = false;
};

// Reads the file `name` through files. A file that cannot be opened gives
// one warning and nothing else.
ColorFileText readColorFile(FileSource& files, const std::string& name);

// Reads the file `name` through files (reporting "reading resource file"
// with verbose, and every warning) and gives every role named in its colour
// sections a new entry of image, in file order. Returns the file as read.
ColorFileText readResourceFile(FileSource& files, const std::string& name, gdImagePtr image, RoleColors& roles,
                               bool verbose, Reporter& reporter);

}  // namespace orvex
