// Where the stages send their messages. The stages never write to the
// process's streams themselves: the caller of the run decides where the
// text goes, and keeps the order in which it was handed over.
#pragma once

#include <string_view>

class Reporter {
public:
    virtual ~Reporter() = default;

    // Progress lines, the settings report and diagnostic listings: the
    // run's standard output.
    virtual void report(std::string_view text) = 0;

    // Warnings, and errors the run goes on after: the run's standard error.
    virtual void warn(std::string_view text) = 0;
};
