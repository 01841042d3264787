// A failure that ends the run: the message to print on standard error and
// the exit status of the run. Stages throw it; only the app prints it.
#pragma once

#include <stdexcept>
#include <string>

struct RunError : std::runtime_error {
    RunError(const std::string& message, int exitStatus)
        : std::runtime_error(message), status(exitStatus) {}

    int status;
};
