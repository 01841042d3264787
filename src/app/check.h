// The check of a run's inputs (--check): the command line, the scenario,
// its pictures and the colour file read as a run would read them, and
// every problem found, as findings. The findings are every warning and
// error the run would print, and the traps a run passes over in silence: a
// label line that ends the objects early, degrees given for steps, names
// that miss the one they meant, colours that hide what they colour, text
// the fonts cannot draw, objects and labels that cannot be seen. Nothing is
// drawn and no file is written.
#pragma once

#include "app/command_line.h"
#include "app/pipeline.h"
#include "base/finding.h"

#include <functional>
#include <string>
#include <vector>

namespace orvex {

// Checks the scenario text for the run line describes, reading the
// pictures and the colour file through files. isInput tells whether a path
// names one of the files read (the map would replace it). The findings come
// in this order: those of the command line and of the run as a whole, those
// of the scenario by line, those of the colour file by line; reading stops
// where the run would stop, and the error it would end on comes last.
std::vector<Finding> checkRun(const CommandLine& line, const std::string& scenario, FileSource& files,
                              const std::function<bool(const std::string&)>& isInput);

// The last line of a check: "no problems found", or the counts.
std::string checkSummary(const std::vector<Finding>& findings);

}  // namespace orvex
