#include "app/stream_reporter.h"

#include <cerrno>

namespace orvex {

StreamReporter::StreamReporter(std::FILE* reports, std::FILE* warnings, bool quiet)
    : reportStream_(reports), warningStream_(warnings), quiet_(quiet) {
    std::clearerr(reportStream_);
}

void StreamReporter::noteFailure() {
    if (reportError_ == 0) reportError_ = errno != 0 ? errno : EIO;
}

void StreamReporter::report(std::string_view text) {
    if (quiet_) return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), reportStream_) != text.size()) noteFailure();
}

void StreamReporter::warn(std::string_view message, const Finding&) {
    std::fwrite(message.data(), 1, message.size(), warningStream_);
}

void StreamReporter::warnWithReports(std::string_view message, const Finding& finding) {
    if (quiet_) return warn(message, finding);
    report(message);
}

int StreamReporter::flushReports() {
    errno = 0;
    if (std::fflush(reportStream_) != 0 || std::ferror(reportStream_)) noteFailure();
    return reportError_;
}

}  // namespace orvex
