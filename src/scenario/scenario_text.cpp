#include "scenario/scenario_text.h"

#include "base/c_text.h"
#include "scenario/scenario_input.h"

#include <cctype>

namespace orvex {

namespace {

// Only control characters count as unprintable: bytes of 8-bit or UTF-8
// text are kept.
bool isPrintable(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte != 0x7f;
}

// The line the next item starts on.
int lineOfNext(ScenarioInput& input) {
    input.skipWhiteSpace();
    return input.lineNumber();
}

void readHeader(ScenarioInput& input, HeaderText& header) {
    const auto line = input.line();
    if (!line) throw ItemError{"title", 1};
    header.titleLine = line->text;
    std::string title = line->text.substr(0, MAX_TITLE_LENGTH);
    // A short line keeps its line end here, so that it is what gets removed;
    // a long one loses the rest of the line instead.
    if (line->ended && line->text.size() < MAX_TITLE_LENGTH) title += '\n';
    if (!title.empty() && !isPrintable(title.back())) title.pop_back();
    header.title = title;

    header.backgroundLine = lineOfNext(input);
    header.background = input.requireToken("background picture name");
    header.objectTracks = input.readInt("tracks flag") != 0;
    MapFrame& frame = header.frame;
    header.extentLine = lineOfNext(input);
    frame.xMin = input.readSingle("map extent");
    frame.yMin = input.readSingle("map extent");
    frame.xMax = input.readSingle("map extent");
    frame.yMax = input.readSingle("map extent");
    header.scaleLine = lineOfNext(input);
    frame.scale = input.readSingle("scale");
}

// Reads one type after its name; the items read stay in `type` when one
// cannot be read.
void readType(ScenarioInput& input, TypeText& type) {
    type.iconLine = lineOfNext(input);
    type.icon = input.requireToken("icon file name");
    type.scaleLine = lineOfNext(input);
    const auto scaleWord = input.token("icon scale");
    if (!scaleWord) throw ItemError{"icon scale", type.scaleLine};
    type.scaleWord = *scaleWord;
    type.scale = ScenarioInput::doubleOf(type.scaleWord, "icon scale", type.scaleLine);
    type.legendFlag = input.readInt("legend flag");
}

void readTypes(ScenarioInput& input, ScenarioText& scenario) {
    for (;;) {
        const int line = lineOfNext(input);
        const auto name = input.token("type name");
        if (!name) return;
        if ((*name)[0] == '*') {
            scenario.typesClosed = true;
            return;
        }
        TypeText type;
        type.name = *name;
        type.line = line;
        try {
            readType(input, type);
        } catch (const ItemError&) {
            scenario.types.push_back(std::move(type));
            throw;
        }
        scenario.types.push_back(std::move(type));
    }
}

void readObject(ScenarioInput& input, ObjectText& object) {
    object.typeLine = lineOfNext(input);
    object.type = input.requireToken("type name");
    object.positionLine = lineOfNext(input);
    object.x = input.readSingle("position");
    object.y = input.readSingle("position");
    object.courseLine = lineOfNext(input);
    object.course = input.readInt("course");
    object.facingLine = lineOfNext(input);
    object.facing = input.readInt("facing");
    object.speed = input.readSingle("speed");
    object.turn = input.readInt("turn");
}

// The lines after the objects' closing line that hold more than white space.
int linesWithText(ScenarioInput& input) {
    int count = 0;
    while (const auto line = input.line()) {
        for (const char c : line->text) {
            if (!std::isspace(static_cast<unsigned char>(c))) {
                ++count;
                break;
            }
        }
    }
    return count;
}

void readObjects(ScenarioInput& input, ScenarioText& scenario, ReadingStop& stop) {
    for (int number = 1;; ++number) {
        // A label starts at the first character that is not white space.
        const int line = lineOfNext(input);
        const auto labelLine = input.line();
        if (!labelLine) return;
        if (labelLine->text[0] == '*') {
            scenario.objectsClosed = true;
            scenario.closingLine = line;
            scenario.linesNotRead = linesWithText(input);
            return;
        }
        ObjectText object;
        object.number = number;
        object.line = line;
        object.labelLine = labelLine->text;
        object.label = labelLine->text.substr(0, MAX_LABEL_LENGTH);
        try {
            readObject(input, object);
        } catch (const ItemError&) {
            stop.object = std::move(object);
            throw;
        }
        scenario.objects.push_back(std::move(object));
    }
}

}  // namespace

std::string objectContext(const ObjectText& object) {
    return " (object " + std::to_string(object.number) + ", label \"" + cText(object.labelLine) + "\" from line " +
           std::to_string(object.line) + ")";
}

RunError ReadingStop::error() const {
    const std::string context = object ? objectContext(*object) : "";
    std::string hint;
    if (object) hint = "in object " + std::to_string(object->number) + ", \"" + cText(object->label) + "\"";
    return RunError("**** Error bad scenario line " + std::to_string(line) + ": " + item + " expected" + context + "\n",
                    1, scenarioFinding(Finding::Severity::error, line, item + " expected", hint));
}

ScenarioText readScenario(ScenarioInput& input) {
    ScenarioText scenario;
    ReadingStop stop{ScenarioSection::header, "", 0, std::nullopt};
    try {
        readHeader(input, scenario.header);
        stop.section = ScenarioSection::types;
        readTypes(input, scenario);
        stop.section = ScenarioSection::objects;
        readObjects(input, scenario, stop);
    } catch (const ItemError& error) {
        stop.item = error.item;
        stop.line = error.line;
        scenario.stop = std::move(stop);
    }
    scenario.lastLine = input.lastLine();
    return scenario;
}

}  // namespace orvex
