// The scenario text and a reading position in it, with the item readers that
// the header, catalogue and object list share. Items are whitespace-separated
// tokens, except the title and the labels, which are read as lines. A line
// end is LF, or CR LF as written on Windows.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace orvex {

// Longest token: names of types and picture files.
constexpr std::size_t MAX_TOKEN_LENGTH = 255;

// An item that is missing or cannot be read, and the line where reading
// found that out.
struct ItemError {
    std::string item;
    int line;
};

// The whole stream (standard input in a run). Throws the RunError "unable
// to read the scenario: REASON" when reading fails.
std::string readStream(std::FILE* file);

class ScenarioInput {
public:
    explicit ScenarioInput(std::string text);


    struct Line {
        std::string text;  // without its line end
        bool ended = false;  // false for a last line without a line end
    };

    // The rest of the current line, without its line end, and the position
    // after that line end. Nothing when the input is used up.
    std::optional<Line> line();

    // Skips white space, line ends included.
    void skipWhiteSpace();

    // Skips white space and reads one token. Nothing when the input ends
    // first. A token longer than MAX_TOKEN_LENGTH throws an ItemError naming
    // `item`.
    std::optional<std::string> token(const char* item);

    // Typed items: white space, then one whole token that must hold the item.
    // A missing or unreadable item throws an ItemError naming `item`.
    // Numbers must be finite; integers must fit 32 bits.
    std::string requireToken(const char* item);
    double readSingle(const char* item);  // read as a float, then widened
    double readDouble(const char* item);
    int readInt(const char* item);
    // A word already read as a number: throws an ItemError naming `item`
    // at `line` unless the whole word holds one.
    static double doubleOf(const std::string& word, const char* item, int line);

    // The 1-based line of the reading position; at the end of the input, the
    // input's last line.
    int lineNumber() const { return lineAt(pos_); }

    // The line the input ends on, as lineNumber gives it at the end.
    int lastLine() const { return lineAt(text_.size()); }

private:
    double readNumber(const char* item, bool single);
    int lineAt(std::size_t position) const;
    [[noreturn]] void fail(const char* item, std::size_t position) const;

    std::string text_;
    std::size_t pos_ = 0;
    // The number of line ends before countedTo_.
    mutable std::size_t countedTo_ = 0;
    mutable std::ptrdiff_t newlinesBefore_ = 0;
};

}  // namespace orvex
