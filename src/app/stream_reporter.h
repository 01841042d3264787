// The reporter of a run: report text goes to the run's output stream,
// warnings to its error stream, unchanged and in the order handed over.
#pragma once

#include "base/reporter.h"

#include <cstdio>

class StreamReporter : public Reporter {
public:
    StreamReporter(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void report(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), out_); }
    void warn(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), err_); }

private:
    std::FILE* out_;
    std::FILE* err_;
};
