// The reporter of a run: report text goes to one stream, warnings to
// another, unchanged and in the order handed over. With `quiet` it leaves
// the reports out (the palette warning, printed with
// them, then goes with the other warnings). Failed writes of the reports are
// kept, to be told once the run is done, as GNU programs check their
// standard output at exit.
#pragma once

#include "base/reporter.h"

#include <cstdio>

namespace orvex {

class StreamReporter : public Reporter {
public:
    // Clears the error flag of the reports stream, so that only this run's
    // failures count.
    StreamReporter(std::FILE* reports, std::FILE* warnings, bool quiet = false);

    void report(std::string_view text) override;
    void warn(std::string_view message, const Finding& finding) override;
    void warnWithReports(std::string_view message, const Finding& finding) override;

    // Flushes the reports stream; returns the system's error number of the
    // first write or flush of it that failed, 0 when every one succeeded.
    int flushReports();

private:
    void noteFailure();

    std::FILE* reportStream_;
    std::FILE* warningStream_;
    bool quiet_;
    int reportError_ = 0;
};

}  // namespace orvex
