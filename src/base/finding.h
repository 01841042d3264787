// Something a run notices about what it was given: where, how bad, what,
// and how to fix it. The code that notices a problem makes the finding; a
// run prints its own message for it, a check prints the finding itself.
#pragma once

#include <string>
#include <utility>

namespace orvex {

struct Finding {
    enum class Severity { warning, error };
    enum class Origin { commandLine, scenario, colorFile };

    Severity severity = Severity::warning;
    Origin origin = Origin::scenario;
    std::string file;  // the colour file's name, for a finding in it
    int line = 0;      // 1-based; 0 where no line applies
    std::string text;  // what, in a few words
    std::string hint;  // how to fix it; may be empty
};

inline Finding scenarioFinding(Finding::Severity severity, int line, std::string text, std::string hint = "") {
    return {severity, Finding::Origin::scenario, "", line, std::move(text), std::move(hint)};
}

}  // namespace orvex
