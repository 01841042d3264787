#include "scenario/scenario_input.h"

#include "base/run_error.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace orvex {

namespace {

bool isWhiteSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

ScenarioInput::ScenarioInput(std::string text) : text_(std::move(text)) {}

std::string readStream(std::FILE* file) {
    std::string text;
    char buffer[65536];
    std::clearerr(file);  // only this reading's errors count
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        text.append(buffer, got);
        if (got == sizeof buffer) continue;
        // A short read is the end of the input, or an error that must not
        // pass for one: a map of part of the scenario would look complete.
        if (std::ferror(file)) {
            const int error = errno != 0 ? errno : EIO;
            const std::string what =
                "unable to read the scenario: " + std::error_code(error, std::generic_category()).message();
            throw RunError("**** Error " + what + "\n", 1,
                           {Finding::Severity::error, Finding::Origin::commandLine, "", 0, what,
                            "the scenario comes on standard input: orvex [options] < scenario"});
        }
        return text;
    }
}

std::optional<ScenarioInput::Line> ScenarioInput::line() {
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t end = text_.find('\n', pos_);
    Line result;
    if (end == std::string::npos) {
        result = {text_.substr(pos_), false};
        pos_ = text_.size();
        return result;
    }
    std::size_t contentEnd = end;
    if (contentEnd > pos_ && text_[contentEnd - 1] == '\r') --contentEnd;
    result = {text_.substr(pos_, contentEnd - pos_), true};
    pos_ = end + 1;
    return result;
}

void ScenarioInput::skipWhiteSpace() {
    while (pos_ < text_.size() && isWhiteSpace(text_[pos_])) ++pos_;
}

std::optional<std::string> ScenarioInput::token(const char* item) {
    skipWhiteSpace();
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isWhiteSpace(text_[pos_])) ++pos_;
    if (pos_ - start > MAX_TOKEN_LENGTH) fail(item, start);
    return text_.substr(start, pos_ - start);
}

std::string ScenarioInput::requireToken(const char* item) {
    auto word = token(item);
    if (!word) fail(item, pos_);
    return *word;
}

double ScenarioInput::readSingle(const char* item) { return readNumber(item, true); }

double ScenarioInput::readDouble(const char* item) { return readNumber(item, false); }

namespace {

// The number a whole word holds, read in single or double precision; nothing
// when the word holds more, or a number that is not finite.
std::optional<double> numberOf(const std::string& word, bool single) {
    char* end = nullptr;
    const double value = single ? std::strtof(word.c_str(), &end) : std::strtod(word.c_str(), &end);
    if (word.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

double ScenarioInput::readNumber(const char* item, bool single) {
    const std::size_t start = (skipWhiteSpace(), pos_);
    const std::string word = requireToken(item);
    const auto value = numberOf(word, single);
    if (!value) fail(item, start);
    return *value;
}

double ScenarioInput::doubleOf(const std::string& word, const char* item, int line) {
    const auto value = numberOf(word, false);
    if (!value) throw ItemError{item, line};
    return *value;
}

int ScenarioInput::readInt(const char* item) {
    const std::size_t start = (skipWhiteSpace(), pos_);
    const std::string word = requireToken(item);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(word.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) fail(item, start);
    return static_cast<int>(value);
}

int ScenarioInput::lineAt(std::size_t position) const {
    // Counted on from the last position asked about: readers ask in order.
    if (position < countedTo_) countedTo_ = 0, newlinesBefore_ = 0;
    newlinesBefore_ += std::count(text_.begin() + static_cast<std::ptrdiff_t>(countedTo_),
                                  text_.begin() + static_cast<std::ptrdiff_t>(position), '\n');
    countedTo_ = position;
    const std::ptrdiff_t newlines = newlinesBefore_;
    const bool pastLastLine = position == text_.size() && !text_.empty() && text_.back() == '\n';
    return static_cast<int>(pastLastLine ? newlines : newlines + 1);
}

void ScenarioInput::fail(const char* item, std::size_t position) const { throw ItemError{item, lineAt(position)}; }

}  // namespace orvex
