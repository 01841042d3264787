// A reporter that keeps what the stages hand it, for tests to compare.
#pragma once

#include "base/reporter.h"

#include <string>
#include <vector>

namespace orvex {

struct RecordingReporter : Reporter {
    void report(std::string_view text) override { reported.append(text); }
    void warn(std::string_view message, const Finding& finding) override {
        warned.append(message);
        findings.push_back(finding);
    }
    void warnWithReports(std::string_view message, const Finding& finding) override {
        reported.append(message);
        findings.push_back(finding);
    }

    std::string reported, warned;
    std::vector<Finding> findings;
};

}  // namespace orvex
