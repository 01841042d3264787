#include "app/check.h"
#include "app/orvex.h"

#include "app/output_image.h"
#include "app/resource_file.h"
#include "base/c_text.h"
#include "base/color_roles.h"
#include "base/run_error.h"
#include "base/spelling.h"
#include "render/legend.h"

#include <gdfontg.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace orvex {

namespace {

using Severity = Finding::Severity;

// Keeps the findings of the stages' messages; the reports are not printed.
class FindingReporter : public Reporter {
public:
    explicit FindingReporter(std::vector<Finding>& findings) : findings_(findings) {}
    void report(std::string_view) override {}
    void warn(std::string_view, const Finding& finding) override { findings_.push_back(finding); }
    void warnWithReports(std::string_view, const Finding& finding) override { findings_.push_back(finding); }

private:
    std::vector<Finding>& findings_;
};

// -d's icon files are not made by a check.
class NoFiles : public FileSink {
public:
    bool write(const std::string&, std::string_view) override { return true; }
};

Finding warningAt(int line, std::string text, std::string hint) {
    return scenarioFinding(Severity::warning, line, std::move(text), std::move(hint));
}

bool endsWithGif(const std::string& name) {
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".gif";
}

// What the built-in fonts cannot draw as written: control characters (a
// tab among them) and bytes above 126 (UTF-8 or 8-bit text).
std::string undrawable(const std::string& text) {
    bool control = false, high = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        control = control || byte < 0x20 || byte == 0x7f;
        high = high || byte > 126;
    }
    if (control && high) return "control characters and bytes above 126";
    if (control) return "a tab or another control character";
    if (high) return "bytes above 126 (UTF-8 or 8-bit text)";
    return "";
}

void checkText(const std::string& what, int line, const std::string& text, std::vector<Finding>& findings) {
    const std::string bad = undrawable(text);
    if (!bad.empty()) {
        findings.push_back(warningAt(line, what + " holds " + bad + ", which the built-in font draws as other glyphs",
                                     "write it in printable ASCII"));
    }
}

void checkTexts(const ScenarioText& scenario, std::vector<Finding>& findings) {
    const HeaderText& header = scenario.header;
    if (header.titleLine.starts_with("\xEF\xBB\xBF")) {
        findings.push_back(warningAt(1, "the input starts with a UTF-8 byte-order mark, which becomes part of the title",
                                     "save the scenario without a byte-order mark"));
    }
    if (header.titleLine.size() > MAX_TITLE_LENGTH) {
        findings.push_back(warningAt(1, "the title has " + std::to_string(header.titleLine.size()) +
                                            " characters and is cut to " + std::to_string(MAX_TITLE_LENGTH),
                                     "shorten it"));
    }
    checkText("the title", 1, header.title, findings);
    for (const ObjectText& object : scenario.objects) {
        const std::string which = "the label of object " + std::to_string(object.number);
        if (object.labelLine.size() > MAX_LABEL_LENGTH) {
            findings.push_back(warningAt(object.line, which + " has " + std::to_string(object.labelLine.size()) +
                                                          " characters and is cut to " +
                                                          std::to_string(MAX_LABEL_LENGTH),
                                         "shorten it"));
        }
        checkText(which, object.line, object.label, findings);
    }
}

void checkTypes(const ScenarioText& scenario, std::vector<Finding>& findings) {
    for (const TypeText& type : scenario.types) {
        if (!type.icon || endsWithGif(*type.icon) || !endsWithGif(type.scaleWord)) continue;
        findings.push_back(warningAt(type.line,
                                     "the icon name " + cText(*type.icon) + " does not end in .gif, but the next word, " +
                                         cText(type.scaleWord) + ", does",
                                     "a type name with a space, or a missing * after the types?"));
    }
}

void checkObjects(const ScenarioText& scenario, const LoadedMap& map, bool realThrust, std::vector<Finding>& findings) {
    if (scenario.objectsClosed && scenario.linesNotRead > 0) {
        findings.push_back(warningAt(scenario.closingLine,
                                     "this line starts with * and ends the objects: " +
                                         std::to_string(scenario.linesNotRead) + " more lines are not read",
                                     "a label cannot start with *; reword it, or remove what follows"));
    }
    const bool tracks = map.header.objectTracks;
    bool allSteps = true, anyTurned = false;
    for (const ObjectText& object : scenario.objects) {
        if (object.facing < -11 || object.facing > 11) {
            findings.push_back(warningAt(object.facingLine,
                                         "facing " + std::to_string(object.facing) +
                                             " lies outside -11..11: facings are 30-degree steps",
                                         "degrees given? " + std::to_string(object.facing) + " acts as " +
                                             std::to_string(((object.facing % 12) + 12) % 12)));
        }
        if (tracks && !realThrust && (object.course < -11 || object.course > 11)) {
            findings.push_back(warningAt(object.courseLine,
                                         "course " + std::to_string(object.course) +
                                             " lies outside -11..11: without -t courses are 30-degree steps",
                                         "degrees given? give -t for thrust lines in degrees"));
        }
        allSteps = allSteps && object.course >= 0 && object.course <= 11;
        anyTurned = anyTurned || object.course != 0;
    }
    if (tracks && realThrust && anyTurned && allSteps && !scenario.objects.empty()) {
        findings.push_back(warningAt(scenario.objects.front().courseLine,
                                     "with -t courses are degrees, but every course lies within 0..11",
                                     "30-degree steps given? leave -t out, or give degrees"));
    }
    const MapFrame& frame = map.header.frame;
    for (const GameObject& placed : map.objects) {
        const ObjectText& object = scenario.objects[static_cast<std::size_t>(placed.number - 1)];
        if (placed.px < 0 || placed.py < 0 || placed.px >= frame.imageWidth || placed.py >= frame.imageHeight) {
            findings.push_back(warningAt(object.positionLine,
                                         "object " + std::to_string(object.number) + ", \"" + cText(object.label) +
                                             "\", lies off the map: it is not seen",
                                         "the map spans x " + std::to_string(static_cast<long long>(frame.xMin)) +
                                             ".." + std::to_string(static_cast<long long>(frame.xMax)) + ", y " +
                                             std::to_string(static_cast<long long>(frame.yMin)) + ".." +
                                             std::to_string(static_cast<long long>(frame.yMax))));
        }
    }
}

Finding colorFileWarning(const std::string& file, int line, std::string text, std::string hint) {
    return {Severity::warning, Finding::Origin::colorFile, file, line, std::move(text), std::move(hint)};
}

std::vector<std::string> roleKeys() { return {COLOR_ROLE_KEYS.begin(), COLOR_ROLE_KEYS.end()}; }

// The roles whose colour shows as text or lines, against the ground.
constexpr ColorRole DRAWN_ROLES[] = {TITLETEXTCOLOR, LABELTEXTCOLOR, AXESCOLOR,   AXESTEXTCOLOR, LEGENDCOLOR,
                                     LEGENDTEXTCOLOR, LEADERCOLOR,   COURSECOLOR, GRIDCOLOR};

void checkColorFile(const std::string& name, const LoadedMap& map, std::vector<Finding>& findings) {
    const ColorFileText& text = *map.colorFile;
    if (text.warnings.size() == 1 && text.warnings.front().finding.origin == Finding::Origin::commandLine) return;
    if (!text.hasColorSection) {
        std::string hint = "a colour section's line holds COLOR, as [COLOR]";
        for (const auto& [line, section] : text.sections)
            if (editDistance(section, "[COLOR]") <= 3) hint = "did you mean [COLOR]?";
        findings.push_back(colorFileWarning(name, text.sections.empty() ? 1 : text.sections.front().first,
                                            "no colour section: the file sets no colour", hint));
    }
    std::array<int, COLOR_ROLE_COUNT> firstLine{};
    for (const ColorEntry& entry : text.entries) {
        if (entry.roles.empty()) {
            const std::string meant = nearestName(entry.key, roleKeys(), 3);
            findings.push_back(colorFileWarning(name, entry.line, cText(entry.key) + " names no colour role",
                                                meant.empty() ? "the roles are the keys listed in man orvex"
                                                              : "did you mean " + meant + "?"));
        }
        for (const ColorRole role : entry.roles) {
            int& first = firstLine[role];
            if (first != 0) {
                findings.push_back(colorFileWarning(name, entry.line,
                                                    std::string(COLOR_ROLE_KEYS[role]) + " is given again (first on line " +
                                                        std::to_string(first) + "); this entry counts",
                                                    "keep one of them"));
            } else {
                first = entry.line;
            }
        }
    }
    // Without a background picture the first colour is the ground.
    const auto firstEntry = std::find_if(text.entries.begin(), text.entries.end(),
                                         [](const ColorEntry& e) { return !e.roles.empty(); });
    if (map.header.background || firstEntry == text.entries.end()) return;
    const gdImagePtr palette = map.canvas.image.get();
    for (const ColorRole role : DRAWN_ROLES) {
        const int index = map.canvas.colorIndex[role];
        if (index == COLOR_UNSET || index < 0) continue;
        if (palette->red[index] == firstEntry->red && palette->green[index] == firstEntry->green &&
            palette->blue[index] == firstEntry->blue) {
            findings.push_back(colorFileWarning(
                name, firstEntry->line,
                "the first colour, " + std::to_string(firstEntry->red) + " " + std::to_string(firstEntry->green) + " " +
                    std::to_string(firstEntry->blue) + ", becomes the ground of the map, and " +
                    COLOR_ROLE_KEYS[role] + " has that colour: it cannot be seen",
                "put BACKGROUNDCOLOR first, in the ground's colour"));
        }
    }
}

bool covers(const Rect& box, const Rect& r) {
    // The box is drawn with both corners; rectangles overlap by area.
    return rectOverlapArea({box.left, box.top, box.right + 1, box.bottom + 1}, r) > 0;
}

void checkLayout(const ScenarioText& scenario, const LoadedMap& map, const MapLayout& layout, bool legend,
                 std::vector<Finding>& findings) {
    const MapFrame& frame = map.header.frame;
    const gdFontPtr giant = gdFontGetGiant();
    const int titleWidth = static_cast<int>(map.header.title.size()) * giant->w;
    if (titleWidth + 2 * giant->w + 1 > frame.imageWidth) {
        findings.push_back(warningAt(1, "the title is " + std::to_string(titleWidth) +
                                            " pixels wide and does not fit the map's " +
                                            std::to_string(frame.imageWidth) + ": it is cut at the map's edge",
                                     "shorten the title, or widen the map"));
    }
    if (!legend) return;
    const LegendLayout box = legendLayout(map.catalogue, frame.imageWidth, frame.imageHeight);
    if (box.dropped > 0) {
        findings.push_back(warningAt(scenario.types.empty() ? 1 : scenario.types.back().line,
                                     std::to_string(box.dropped) +
                                         (box.dropped == 1 ? " legend row starts below the map and is dropped"
                                                           : " legend rows start below the map and are dropped"),
                                     "list fewer types in the legend, or make the map higher"));
    }
    for (std::size_t i = 0; i < map.objects.size(); ++i) {
        const ObjectText& object = scenario.objects[static_cast<std::size_t>(map.objects[i].number - 1)];
        const ObjectLayout& placed = layout.objects[i];
        const bool icon = covers(box.box, placed.icon), label = placed.label && covers(box.box, placed.label->text);
        if (!icon && !label) continue;
        findings.push_back(warningAt(object.line,
                                     std::string("the legend box covers the ") +
                                         (icon && label ? "icon and label" : icon ? "icon" : "label") + " of object " +
                                         std::to_string(object.number) + ", \"" + cText(object.label) + "\"",
                                     "the legend is drawn last, over the map; move the object, or leave -l out"));
    }
}

// The error the run would end on when it came to write the map.
std::optional<Finding> checkTarget(const CommandLine& line, const std::function<bool(const std::string&)>& isInput) {
    const std::string target = outputFileName(line.options);
    const Finding::Origin origin = Finding::Origin::commandLine;
    if (isInput && isInput(target)) {
        return Finding{Severity::error, origin, "", 0, "output file " + cText(target) + " is an input of this run",
                       "write the map elsewhere"};
    }
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    struct stat status {};
    if (!folder.empty() && ::stat(folder.c_str(), &status) != 0) {
        return Finding{Severity::error, origin, "", 0,
                       "the folder of the output file " + cText(target) + " does not exist", "make the folder first"};
    }
    return std::nullopt;
}

// Orders the findings, keeps those up to where the run stops, and puts the
// error it stops on last.
std::vector<Finding> ordered(std::vector<Finding> found, const std::optional<Finding>& stop) {
    auto group = [](const Finding& f) { return static_cast<int>(f.origin == Finding::Origin::commandLine ? 0 : f.origin == Finding::Origin::scenario ? 1 : 2); };
    std::stable_sort(found.begin(), found.end(), [&](const Finding& a, const Finding& b) {
        return group(a) != group(b) ? group(a) < group(b) : a.line < b.line;
    });
    if (stop) {
        if (stop->origin == Finding::Origin::scenario && stop->line > 0) {
            std::erase_if(found, [&](const Finding& f) {
                return f.origin == Finding::Origin::scenario && f.line > stop->line;
            });
        }
        found.push_back(*stop);
    }
    return found;
}

}  // namespace

std::vector<Finding> checkRun(const CommandLine& line, const std::string& scenario, FileSource& files,
                              const std::function<bool(const std::string&)>& isInput) {
    std::vector<Finding> findings = line.findings;
    Options options = line.options;
    options.debug = false;  // no icon files
    FindingReporter reporter(findings);
    NoFiles noFiles;
    RunInputs inputs{options, files, noFiles, reporter, nullptr, {}};

    const ScenarioText text = readScenarioText(scenario);
    checkTexts(text, findings);
    checkTypes(text, findings);
    std::optional<Finding> stop;
    try {
        const LoadedMap map = loadMap(text, inputs, true);
        checkObjects(text, map, options.realThrust, findings);
        if (map.colorFile) checkColorFile(*options.resourceFile, map, findings);
        const MapLayout layout = layOutLoadedMap(map, inputs);
        checkLayout(text, map, layout, options.legend, findings);
        stop = checkTarget(line, isInput);
    } catch (const RunError& error) {
        stop = error.finding;
        if (stop->text.empty()) {
            stop->origin = Finding::Origin::commandLine;
            stop->text = std::string(error.what()).substr(std::string_view(error.what()).starts_with("**** Error ") ? 11 : 0);
            if (stop->text.ends_with('\n')) stop->text.pop_back();
        }
    }
    return ordered(std::move(findings), stop);
}

// "FILE:LINE: ..." for the colour file, "orvex: ..." for the command line
// and the run as a whole.
std::string formatFinding(const Finding& finding) {
    std::string where;
    switch (finding.origin) {
        case Finding::Origin::scenario: where = "<stdin>:" + std::to_string(finding.line) + ": "; break;
        case Finding::Origin::colorFile: where = cText(finding.file) + ":" + std::to_string(finding.line) + ": "; break;
        case Finding::Origin::commandLine: where = "orvex: "; break;
    }
    const std::string severity = finding.severity == Severity::error ? "error: " : "warning: ";
    return where + severity + finding.text + (finding.hint.empty() ? "" : " (" + finding.hint + ")") + "\n";
}

std::string checkSummary(const std::vector<Finding>& findings) {
    if (findings.empty()) return "no problems found\n";
    const auto errors = std::count_if(findings.begin(), findings.end(),
                                      [](const Finding& f) { return f.severity == Severity::error; });
    const auto warnings = static_cast<long>(findings.size()) - errors;
    auto counted = [](long n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); };
    return counted(errors, "error") + ", " + counted(warnings, "warning") + "\n";
}

}  // namespace orvex
