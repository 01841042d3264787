// The scenario as read: its header, object types and objects as plain
// records (texts, numbers and names, each with the line it stands on),
// read without opening any picture. Reading stops at the first item that is
// missing or cannot be read, as the run does: the records then hold what
// came before it, and `stop` says where and why. The stages that load and
// place what was read do their work on those records first, and then end
// the run with the stop's message, so that a run prints what it always
// printed before the item it could not read.
#pragma once

#include "base/map_frame.h"
#include "base/run_error.h"

#include <optional>
#include <string>
#include <vector>

namespace orvex {

class ScenarioInput;

// Longest title and label kept; the rest of a longer line is skipped.
constexpr std::size_t MAX_TITLE_LENGTH = 79;
constexpr std::size_t MAX_LABEL_LENGTH = 78;

struct HeaderText {
    std::string titleLine;  // the whole first line as read
    std::string title;      // as kept: at most 79 characters, a last unprintable one removed
    // The background picture's name as read ("-" or any word starting with
    // '-' for none); unset when reading stopped before it.
    std::optional<std::string> background;
    int backgroundLine = 0;
    bool objectTracks = false;
    MapFrame frame;  // the extent and scale; the image size is not worked out here
    int extentLine = 0, scaleLine = 0;
};

// One object type. Only the type where reading stopped can lack items: its
// later items are unset.
struct TypeText {
    std::string name;
    int line = 0;  // of the name
    std::optional<std::string> icon;  // the icon's file name
    int iconLine = 0;
    std::string scaleWord;  // the word after the icon's name, as it stands
    std::optional<double> scale;
    int scaleLine = 0;
    std::optional<int> legendFlag;
};

struct ObjectText {
    int number = 0;          // among the objects read, from 1
    std::string labelLine;   // the whole label line as read
    int line = 0;            // of the label
    std::string label;       // as kept: at most 78 characters
    std::string type;
    int typeLine = 0;
    double x = 0, y = 0;  // read in single precision
    int positionLine = 0;
    int course = 0, facing = 0;
    int courseLine = 0, facingLine = 0;
    double speed = 0;  // read in single precision
    int turn = 0;
};

// Where a message about an object names it: " (object K, label "LABEL"
// from line L)", the label line shown up to any NUL byte.
std::string objectContext(const ObjectText& object);

enum class ScenarioSection { header, types, objects };

// An item that is missing or cannot be read.
struct ReadingStop {
    ScenarioSection section;
    std::string item;  // what was expected: "title", "icon scale", ...
    int line = 0;
    std::optional<ObjectText> object;  // the object being read, with the items read before

    // The error the run ends on: "**** Error bad scenario line N: ITEM
    // expected", naming the object when it is one, with its finding.
    RunError error() const;
};

struct ScenarioText {
    HeaderText header;
    std::vector<TypeText> types;
    bool typesClosed = false;  // by a word starting with '*'; else the input ended first
    std::vector<ObjectText> objects;
    bool objectsClosed = false;  // by a line starting with '*'; else the input ended first
    int closingLine = 0;         // the line that closed the objects
    int linesNotRead = 0;        // lines holding more than white space after it
    std::optional<ReadingStop> stop;
    int lastLine = 1;  // the line the input ends on
};

// Reads the whole scenario from input.
ScenarioText readScenario(ScenarioInput& input);

}  // namespace orvex
