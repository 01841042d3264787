#include "app/gd_messages.h"

#include <gd.h>
#include <gd_errors.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace orvex {

namespace {

// gd's own handler marks each message with its priority; so do these, so
// that gd's messages cannot be taken for the program's.
const char* gdPrefix(int priority) {
    switch (priority) {
        case GD_ERROR: return "GD Error: ";
        case GD_WARNING: return "GD Warning: ";
        case GD_NOTICE: return "GD Notice: ";
        case GD_INFO: return "GD Info: ";
        case GD_DEBUG: return "GD Debug: ";
        default: return "";
    }
}

std::mutex installed;
int runsUnderWay = 0;              // guarded by installed
thread_local GdMessages* route = nullptr;
thread_local std::function<void(std::string_view)>* shown = nullptr;

void routeMessage(int priority, const char* format, va_list args) {
    if (!route) {
        std::fputs(gdPrefix(priority), stderr);
        std::vfprintf(stderr, format, args);
        std::fflush(stderr);
        return;
    }
    if (!shown) return;
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(gdPrefix(priority));
    if (length > 0) {
        const std::size_t start = text.size();
        text.resize(start + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data() + start, static_cast<std::size_t>(length) + 1, format, args);
        text.pop_back();
    }
    (*shown)(text);
}

}  // namespace

GdMessages::GdMessages(std::function<void(std::string_view)> show) : show_(std::move(show)), outer_(route) {
    {
        const std::lock_guard<std::mutex> lock(installed);
        if (runsUnderWay++ == 0) gdSetErrorMethod(routeMessage);
    }
    route = this;
    shown = show_ ? &show_ : nullptr;
}

GdMessages::~GdMessages() {
    route = outer_;
    shown = outer_ && outer_->show_ ? &outer_->show_ : nullptr;
    const std::lock_guard<std::mutex> lock(installed);
    if (--runsUnderWay == 0) gdClearErrorMethod();
}

}  // namespace orvex
