// A run whose stages can be watched, for timing them.
#pragma once

#include "base/run_limits.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orvex {

// Told as each stage of a run begins, by a short name ("header",
// "catalogue", ... "write"), and "end" once the map is written.
class StageObserver {
public:
    virtual ~StageObserver() = default;
    virtual void stageBegins(const char* name) = 0;
};

// runOrvex with an observer (null for none).
int runObserved(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                const Limits& limits, StageObserver* observer);

}  // namespace orvex
