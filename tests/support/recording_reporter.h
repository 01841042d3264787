// A reporter that keeps what the stages hand it, for tests to compare.
#pragma once

#include "base/reporter.h"

#include <string>

struct RecordingReporter : Reporter {
    void report(std::string_view text) override { reported.append(text); }
    void warn(std::string_view text) override { warned.append(text); }

    std::string reported, warned;
};
