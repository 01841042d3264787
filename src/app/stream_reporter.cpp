#include "app/stream_reporter.h"

#include <cerrno>

StreamReporter::StreamReporter(std::FILE* reports, std::FILE* warnings) : reports_(reports), warnings_(warnings) {
    std::clearerr(reports_);
}

void StreamReporter::noteFailure() {
    if (reportError_ == 0) reportError_ = errno != 0 ? errno : EIO;
}

void StreamReporter::report(std::string_view text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), reports_) != text.size()) noteFailure();
}

void StreamReporter::warn(std::string_view text) { std::fwrite(text.data(), 1, text.size(), warnings_); }

int StreamReporter::flushReports() {
    errno = 0;
    if (std::fflush(reports_) != 0 || std::ferror(reports_)) noteFailure();
    return reportError_;
}
