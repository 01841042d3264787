#include "app/resource_file.h"

#include "base/c_text.h"
#include "imageops/palette.h"

#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

namespace orvex {

namespace {

// Lines are read in pieces of at most this many characters; the rest of a
// longer line is read as the next line.
constexpr std::size_t LINE_PIECE = 254;

// The pieces of a file, with the line each one starts on.
class Pieces {
public:
    explicit Pieces(std::FILE* file) : file_(file) {}

    // The next piece, upper-cased and cut at the first ';'.
    std::optional<std::string> next() {
        line_ = nextLine_;
        auto piece = readPiece();
        if (!piece) return std::nullopt;
        if (piece->back() == '\n') ++nextLine_;
        for (char& c : *piece) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        piece->erase(std::min(piece->find(';'), piece->size()));
        return piece;
    }

    // The line the last piece started on.
    int line() const { return line_; }

private:
    // The next piece of a line, with its LF when it reached one. A CR right
    // before the LF belongs to the line end and is dropped.
    std::optional<std::string> readPiece() {
        std::string piece;
        while (piece.size() < LINE_PIECE) {
            int c = std::fgetc(file_);
            if (c == EOF) break;
            if (c == '\r') {
                const int after = std::fgetc(file_);
                if (after == '\n') c = '\n';
                else if (after != EOF) std::ungetc(after, file_);
            }
            piece += static_cast<char>(c);
            if (c == '\n') break;
        }
        if (piece.empty()) return std::nullopt;
        return piece;
    }

    std::FILE* file_;
    int line_ = 1, nextLine_ = 1;
};

bool contains(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

// Reads a decimal integer with optional sign after optional white space.
bool readComponent(const char*& p, int& value) {
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    long magnitude = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        if (magnitude < 1000) magnitude = magnitude * 10 + (*p - '0');
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n\f\v");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n\f\v") - first + 1);
}

class ColorFileReader {
public:
    ColorFileReader(const std::string& name, std::FILE* file) : name_(name), pieces_(file) {}

    ColorFileText read() {
        std::optional<std::string> line = pieces_.next();
        while (line) {
            std::optional<std::string> next;
            if (contains(*line, "[")) {
                if (!contains(*line, "]")) {
                    warn("**** Error bad resource section " + cText(*line) + "\n", "a section line without ]",
                         "write the section's name between [ and ]");
                } else {
                    text_.sections.emplace_back(pieces_.line(), trimmed(*line));
                    if (contains(*line, "COLOR")) {
                        text_.hasColorSection = true;
                        next = readColorSection();
                    }
                }
            }
            line = next ? std::move(next) : pieces_.next();
        }
        return std::move(text_);
    }

private:
    void warn(std::string message, std::string what, std::string hint) {
        text_.warnings.push_back(
            {std::move(message),
             {Finding::Severity::warning, Finding::Origin::colorFile, name_, pieces_.line(), std::move(what),
              std::move(hint)}});
    }

    void warnBadEntry(const std::string& line, const std::string& what) {
        warn("**** Warning bad resource file entry \n" + cText(line) + "\n", what + "; the entry sets nothing",
             "write ROLE = RED GREEN BLUE, each 0 to 255");
    }

    void readColorEntry(const std::string& line) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) return warnBadEntry(line, "an entry without =");

        ColorEntry entry;
        entry.line = pieces_.line();
        entry.key = trimmed(line.substr(0, equals));
        const char* p = line.c_str() + equals + 1;
        for (int* component : {&entry.red, &entry.green, &entry.blue}) {
            if (!readComponent(p, *component) || *component < 0 || *component > 255)
                return warnBadEntry(line, "an entry without three colour components 0 to 255");
        }
        for (int role = 0; role < COLOR_ROLE_COUNT; ++role) {
            if (contains(line, COLOR_ROLE_KEYS[role])) entry.roles.push_back(static_cast<ColorRole>(role));
        }
        text_.entries.push_back(std::move(entry));
    }

    // Reads entries up to the next line holding '[' (returned, for the
    // caller to handle as its next line) or the end of the file.
    std::optional<std::string> readColorSection() {
        while (auto line = pieces_.next()) {
            if (contains(*line, "[")) return line;
            if (line->empty()) continue;  // only a comment line is empty here
            readColorEntry(*line);
        }
        return std::nullopt;
    }

    const std::string& name_;
    Pieces pieces_;
    ColorFileText text_;
};

}  // namespace

ColorFileText readColorFile(FileSource& files, const std::string& name) {
    std::string reason;
    FilePtr file = files.open(name, reason);
    if (!file) {
        ColorFileText text;
        text.warnings.push_back({"**** Warning unable to open resource file " + cText(name) + "\n",
                                 {Finding::Severity::warning, Finding::Origin::commandLine, "", 0,
                                  "unable to open the colour file " + cText(name) + ": " + reason,
                                  "the map takes the default colours"}});
        return text;
    }
    return ColorFileReader(name, file.get()).read();
}

ColorFileText readResourceFile(FileSource& files, const std::string& name, gdImagePtr image, RoleColors& roles,
                               bool verbose, Reporter& reporter) {
    if (verbose) reporter.report("reading resource file " + cText(name) + "\n");
    ColorFileText text = readColorFile(files, name);
    for (const ColorFileWarning& warning : text.warnings) reporter.warn(warning.message, warning.finding);
    for (const ColorEntry& entry : text.entries) {
        for (const ColorRole role : entry.roles)
            roles[role] = allocateColorOrClosest(image, entry.red, entry.green, entry.blue);
    }
    return text;
}

}  // namespace orvex
