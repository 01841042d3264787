// orvex as a library: a scenario, its options and its pictures in; the
// map as GIF bytes, the texts the run prints and the placed geometry out.
// Nothing is written to disk, and nothing is read from the current folder
// unless a request leaves its pictures to the default source.
//
//   orvex::Request request;
//   request.options.grid = true;
//   request.scenario = scenarioText;
//   request.pictures = orvex::filesIn("pictures");
//   const orvex::Result result = orvex::render(request);
//   if (result.status == 0) save(result.gif);
//
// Two requests may run at the same time in two threads. A request never
// ends the process: every failure, a refused request among them, is a
// result with status 1 and its message in `err`.
#pragma once

#include "base/finding.h"
#include "base/run_limits.h"
#include "base/options.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvex {

// A pixel of the map: x the column from the left, y the row from the top.
struct Point {
    int x = 0, y = 0;
};

// A rectangle of pixels. Its sides are coordinates: it spans right - left
// by bottom - top, and drawn with both sides included it covers one column
// and one row more.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct Line {
    Point from, to;
};

// (The header asks for C++17 only: these compare field by field.)
inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const Line& a, const Line& b) { return a.from == b.from && a.to == b.to; }

// What a picture source gives for a name: the file's bytes, or nothing and
// why ("No such file or directory", or the caller's own words).
struct SourcedFile {
    std::optional<std::string> bytes;
    std::string reason;
};

// The files a run reads besides its scenario, by the names the run uses
// (the scenario's picture names, joined to -i's folder, and -r's colour
// file). It is called from the thread that runs the request.
using PictureSource = std::function<SourcedFile(const std::string& name)>;

// A source that reads the files from folder (names that start with '/'
// from the root).
PictureSource filesIn(const std::string& folder);

// Where a drawn object went on the map.
struct PlacedObject {
    int number = 0;  // among the objects read, from 1
    std::string label, type;
    Point anchor;    // the object's position
    Box icon;        // its icon's square
    // Its label's rectangle, top-left corner first, and the leader line from
    // the label's side to the anchor; none for an empty label, and no leader
    // where the map has no leader colour.
    std::optional<Box> labelBox;
    std::optional<Line> leader;
};

struct Request {
    // The options: -f, --check and --help have no meaning here, -d keeps
    // its turned icons in the result. Its limits must be positive.
    Options options;
    std::string scenario;  // the text orvex reads on standard input
    // Unset: the files are read from the current folder, as orvex does.
    PictureSource pictures;
    // For labels that stay put from one map to the next (a replay's turns):
    // the objects of the map before, as its result gave them. An object
    // drawn here that matches one of them, by label and type (the first not
    // yet matched, for repeated ones), keeps its label's place from its
    // object when the label overlaps nothing drawn before it there; every
    // other label is placed by the usual search.
    std::vector<PlacedObject> steadyFrom;
};

struct Result {
    int status = 0;   // 0 when the map was made, else 1
    std::string gif;  // the map, an interlaced GIF; empty when status is 1
    // What orvex would print on standard output (the banner, -v and -d
    // reports) and on standard error (warnings and errors, and with -d gd's
    // own messages), each in the order printed.
    std::string out, err;
    std::vector<PlacedObject> objects;  // every drawn object, in drawing order
    // With -d, the turned icons as orvex would write them: name, GIF bytes.
    std::vector<std::pair<std::string, std::string>> files;
    // The files the map was drawn from besides the scenario (pictures and
    // the colour file), by the names given to the picture source, each once
    // in the order first read.
    std::vector<std::string> read;
};

// The options of orvex's option words (as on its command line, long ones
// too); nothing for a usage error, with its message in usageError.
std::optional<Options> optionsFromWords(const std::vector<std::string>& words, std::string* usageError = nullptr);

// The version of orvex the library draws as, "1.8.2" say.
const char* version();

// Draws the map of a request.
Result render(const Request& request);

// Checks a request as orvex --check does: every finding, in the order
// orvex prints them; none for a scenario without a problem.
std::vector<Finding> check(const Request& request);

// A finding as orvex --check prints it: "<stdin>:LINE: warning: TEXT (HINT)".
std::string formatFinding(const Finding& finding);

// Writes bytes to the file `name` as orvex writes its map: a new file
// beside it, renamed over it once complete, with the permission bits of
// the file it replaces; a symbolic link, a special file or a file with
// other hard links is written through. 0, or the system's error number.
int writeFileReplacing(const std::string& name, std::string_view bytes);

}  // namespace orvex

// orvex itself, run inside the calling process: the option words `args`
// (without the program name), the scenario read from `in`, what the program
// prints written to `out` and `err`, the map and -d's files written as the
// program writes them, relative to the current directory. Returns the exit
// status. Kept for the callers of earlier versions; render() is the library.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

// The same with lower limits than the program's own.
int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const orvex::Limits& limits);
