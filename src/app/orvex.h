// One whole run of orvex inside the calling process: the command line, the
// scenario, the drawing stages in their fixed order and the written map.
#pragma once

#include "base/limits.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs orvex with the option words `args` (without the program name), as
// the program does with its command line and standard streams, and returns
// the exit status the program would exit with.
//
// Streams: once the command line is read, the scenario is read from `in`
// to its end. The banner, the -v reports, the -d listings and the palette
// exhausted warning go to `out`; the other warnings, the errors and the
// usage message go to `err` (with -d, gd's own warnings too). No stream is
// closed, and nothing is written to the process's own stdout or stderr.
//
// Exit status: 0 when the map was written, warnings or not; otherwise 1,
// after one error or usage message on `err` (with `out` flushed first).
//
// Files: the map goes to the -f file, else "orvex.gif", both relative to
// the current directory; it is written beside its target and renamed over
// it (a symbolic link or special file is written through), so a failed run
// leaves an earlier map as it was. With -d the turned icons are written
// into the current directory (TYPEk.gif). Pictures and the -r file are read
// relative to the current directory unless -i or the names say otherwise.
//
// Never exits the process. It may be called again in the same process, any
// number of times, one run at a time: runs share no state, but they are
// not to overlap (in threads), as gd's message hook is process-wide.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

// The same with lower limits than the program's own (map, picture and
// turned icon sizes), for callers that must keep every run small.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const Limits& limits);
