// A failure that ends the run: the message to print on standard error, the
// exit status of the run, and the finding it stands for. Stages throw it;
// only the app prints it.
#pragma once

#include "base/finding.h"

#include <stdexcept>
#include <string>

namespace orvex {

struct RunError : std::runtime_error {
    RunError(const std::string& message, int exitStatus, Finding what = {})
        : std::runtime_error(message), status(exitStatus), finding(std::move(what)) {
        finding.severity = Finding::Severity::error;
    }

    int status;
    Finding finding;  // its text is empty where the error concerns no input
};

}  // namespace orvex
