#include "app/resource_file.h"

#include "base/c_text.h"
#include "imageops/palette.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Lines are read in pieces of at most this many characters; the rest of a
// longer line is read as the next line.
constexpr std::size_t LINE_PIECE = 254;

// The next piece of a line, with its LF when it reached one. A CR right
// before the LF belongs to the line end and is dropped.
std::optional<std::string> readPiece(std::FILE* file) {
    std::string piece;
    while (piece.size() < LINE_PIECE) {
        int c = std::fgetc(file);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::fgetc(file);
            if (next == '\n') c = '\n';
            else if (next != EOF) std::ungetc(next, file);
        }
        piece += static_cast<char>(c);
        if (c == '\n') break;
    }
    if (piece.empty()) return std::nullopt;
    return piece;
}

// Upper-cased and cut at the first ';'.
std::optional<std::string> readLine(std::FILE* file) {
    auto line = readPiece(file);
    if (!line) return std::nullopt;
    for (char& c : *line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    line->erase(std::min(line->find(';'), line->size()));
    return line;
}

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

// Where the entries of one file go.
struct ColorTarget {
    gdImagePtr image;
    RoleColors& roles;
    Reporter& reporter;
};

void warnBadEntry(const std::string& line, Reporter& reporter) {
    reporter.warn("**** Warning bad resource file entry \n" + cText(line) + "\n");
}

void readColorEntry(const std::string& line, ColorTarget& target) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return warnBadEntry(line, target.reporter);

    int rgb[3];
    const char* p = line.c_str() + equals + 1;
    for (int& component : rgb) {
        if (!readComponent(p, component) || component < 0 || component > 255)
            return warnBadEntry(line, target.reporter);
    }
    for (int role = 0; role < COLOR_ROLE_COUNT; ++role) {
        if (contains(line, COLOR_ROLE_KEYS[role]))
            target.roles[role] = allocateColorOrClosest(target.image, rgb[0], rgb[1], rgb[2]);
    }
}

// Reads entries up to the next line holding '[' (returned, for the caller
// to handle as its next line) or the end of the file.
std::optional<std::string> readColorSection(std::FILE* file, ColorTarget& target) {
    while (auto line = readLine(file)) {
        if (contains(*line, "[")) return line;
        if (line->empty()) continue;  // only a comment line is empty here
        readColorEntry(*line, target);
    }
    return std::nullopt;
}

}  // namespace

void readResourceFile(FileSource& files, const std::string& name, gdImagePtr image, RoleColors& roles, bool verbose,
                      Reporter& reporter) {
    if (verbose) reporter.report("reading resource file " + cText(name) + "\n");

    int error = 0;
    FilePtr file = files.open(name, error);
    if (!file) {
        reporter.warn("**** Warning unable to open resource file " + cText(name) + "\n");
        return;
    }

    ColorTarget target{image, roles, reporter};
    std::optional<std::string> line = readLine(file.get());
    while (line) {
        std::optional<std::string> next;
        if (contains(*line, "[")) {
            if (!contains(*line, "]"))
                reporter.warn("**** Error bad resource section " + cText(*line) + "\n");
            else if (contains(*line, "COLOR"))
                next = readColorSection(file.get(), target);
        }
        line = next ? std::move(next) : readLine(file.get());
    }
}
