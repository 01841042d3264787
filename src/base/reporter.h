// Where the stages send their messages. The stages never write to the
// process's streams themselves: the caller of the run decides where the
// text goes, and keeps the order in which it was handed over.
#pragma once

#include "base/finding.h"

#include <string_view>

namespace orvex {

class Reporter {
public:
    virtual ~Reporter() = default;

    // Progress lines, the settings report and diagnostic listings: the
    // run's standard output.
    virtual void report(std::string_view text) = 0;

    // A warning, or an error the run goes on after: `message` as the run
    // prints it on its standard error, and the finding it stands for.
    virtual void warn(std::string_view message, const Finding& finding) = 0;

    // The same for the one warning the run prints with its reports, on
    // standard output: the palette that ran out of entries.
    virtual void warnWithReports(std::string_view message, const Finding& finding) = 0;
};

}  // namespace orvex
