#include "scenario/game_objects.h"

#include "base/c_text.h"
#include "base/run_error.h"
#include "base/spelling.h"

namespace orvex {

namespace {

const ObjectType* findType(const Catalogue& catalogue, const std::string& name) {
    for (const ObjectType& type : catalogue.types)
        if (type.name == name) return &type;
    return nullptr;
}

// How to mend an unknown type name: the declared name it may have meant.
std::string unknownTypeHint(const Catalogue& catalogue, const std::string& name) {
    std::vector<std::string> names;
    for (const ObjectType& type : catalogue.types) names.push_back(type.name);
    const std::string meant = nearestName(name, names, 2);
    if (meant.empty()) return "declare it among the object types";
    return "did you mean " + cText(meant) + "?";
}

}  // namespace

std::vector<GameObject> placeObjects(const ScenarioText& scenario, const MapFrame& frame, const Catalogue& catalogue,
                                     bool verbose, Reporter& reporter) {
    if (verbose) reporter.report("reading game objects\n");
    std::vector<GameObject> objects;
    for (const ObjectText& text : scenario.objects) {
        GameObject object;
        object.type = findType(catalogue, text.type);
        if (!object.type) {
            reporter.warn("**** Warning unknown object type " + cText(text.type) + objectContext(text) + "\n",
                          scenarioFinding(Finding::Severity::warning, text.typeLine,
                                          "unknown object type " + cText(text.type) + ": object " +
                                              std::to_string(text.number) + ", \"" + cText(text.label) +
                                              "\", is left out",
                                          unknownTypeHint(catalogue, text.type)));
            continue;
        }
        object.number = text.number;
        object.label = text.label;
        object.x = text.x;
        object.y = text.y;
        object.course = text.course;
        object.facing = text.facing;
        object.speed = text.speed;
        object.turn = text.turn;
        const PixelPoint anchor = projectAnchor(frame, object.x, object.y);
        object.px = anchor.x;
        object.py = anchor.y;
        objects.push_back(std::move(object));
    }
    if (scenario.stop && scenario.stop->section == ScenarioSection::objects)
        throw scenario.stop->error();
    if (!scenario.objectsClosed)
        reporter.warn("**** Warning scenario ends before the closing * of the game objects\n",
                      scenarioFinding(Finding::Severity::warning, scenario.lastLine,
                                      "the scenario ends before the closing * of the game objects",
                                      "end the objects with a line holding *"));
    return objects;
}

}  // namespace orvex
