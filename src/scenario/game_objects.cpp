#include "scenario/game_objects.h"

#include "base/c_text.h"
#include "base/run_error.h"

namespace {

// A message about an object, with the object it concerns added before its
// line end: its number among the entries read, its label line and where
// that line stands.
std::string withObject(std::string message, int count, const std::string& label, int labelLine) {
    message.pop_back();
    return message + " (object " + std::to_string(count) + ", label \"" + cText(label) + "\" from line " +
           std::to_string(labelLine) + ")\n";
}

const ObjectType* findType(const Catalogue& catalogue, const std::string& name) {
    for (const ObjectType& type : catalogue.types)
        if (type.name == name) return &type;
    return nullptr;
}

}  // namespace

std::vector<GameObject> readGameObjects(ScenarioInput& input, const MapFrame& frame, const Catalogue& catalogue,
                                        bool verbose, Reporter& reporter) {
    if (verbose) reporter.report("reading game objects\n");
    std::vector<GameObject> objects;
    for (int count = 1;; ++count) {
        // A label starts at the first character that is not white space.
        input.skipWhiteSpace();
        const int labelLine = input.lineNumber();
        const auto line = input.line();
        if (!line) {
            reporter.warn("**** Warning scenario ends before the closing * of the game objects\n");
            return objects;
        }
        if (line->text[0] == '*') return objects;

        GameObject object;
        object.label = line->text.substr(0, MAX_LABEL_LENGTH);
        std::string typeName;
        try {
            typeName = input.requireToken("type name");
            object.x = input.readSingle("position");
            object.y = input.readSingle("position");
            object.course = input.readInt("course");
            object.facing = input.readInt("facing");
            object.speed = input.readSingle("speed");
            object.turn = input.readInt("turn");
        } catch (const RunError& error) {
            // A bad item names its object: a missing label line shows as an
            // object line read as the label.
            throw RunError(withObject(error.what(), count, line->text, labelLine), error.status);
        }

        object.type = findType(catalogue, typeName);
        if (!object.type) {
            reporter.warn(withObject("**** Warning unknown object type " + cText(typeName) + "\n", count, line->text,
                                     labelLine));
            continue;
        }
        const PixelPoint anchor = projectAnchor(frame, object.x, object.y);
        object.px = anchor.x;
        object.py = anchor.y;
        objects.push_back(std::move(object));
    }
}
