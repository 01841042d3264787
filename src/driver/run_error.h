// A failure that ends the run: the message to print on standard error and
// the process exit status. Stages throw it; only main prints it and exits.
#pragma once

#include <stdexcept>
#include <string>

struct RunError : std::runtime_error {
    RunError(const std::string& message, int exitStatus)
        : std::runtime_error(message), status(exitStatus) {}

    int status;
};
