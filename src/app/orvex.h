// One whole run of orvex inside the calling process: the command line, the
// scenario, the drawing stages in their fixed order and the written map.
#pragma once

#include "base/limits.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs orvex with the option words `args` (without the program name),
// reading the scenario from `in` and writing the banner, reports and
// listings to `out` and warnings and errors to `err`, exactly as the
// program does on its standard streams. Returns the exit status: 0 for a
// completed run (the map written to the -f file, else "orvex.gif" in the
// current directory, and with -d the turned icons beside it), otherwise the
// status of the error, after one "**** Error" message on `err`. A failed
// run leaves an earlier map file as it was. Never exits the process; it may
// be called again, one run at a time.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

// The same with lower limits than the program's own (map, picture and
// turned icon sizes), for callers that must keep every run small.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const Limits& limits);
