#include "app/orvex.h"
#include "app/run_stages.h"

#include "app/check.h"
#include "app/command_line.h"
#include "app/disk_files.h"
#include "app/output_image.h"
#include "app/pipeline.h"
#include "app/stream_reporter.h"
#include "app/version.h"
#include "base/c_text.h"
#include "base/run_error.h"
#include "scenario/scenario_input.h"

#include <gd.h>
#include <gd_errors.h>

#include <cerrno>
#include <cstdarg>
#include <new>
#include <system_error>

namespace {

const char* const NOTICE = "Game map renderer: reads a scenario on standard input, writes a GIF map";

// gd reports through a plain function with no context of its own, so the
// stream of the run in progress is kept here while the run lasts.
std::FILE* gdMessageStream = nullptr;

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

void showGdMessage(int priority, const char* format, va_list args) {
    if (!gdMessageStream) return;
    std::fputs(gdPrefix(priority), gdMessageStream);
    std::vfprintf(gdMessageStream, format, args);
}
void hideGdMessage(int, const char*, va_list) {}

// With -d, gd's own warnings go to the run's error stream; otherwise they
// are dropped. Quiet again once the run ends.
class GdMessages {
public:
    GdMessages(bool show, std::FILE* err) {
        gdMessageStream = err;
        gdSetErrorMethod(show ? showGdMessage : hideGdMessage);
    }
    ~GdMessages() {
        gdSetErrorMethod(hideGdMessage);
        gdMessageStream = nullptr;
    }
    GdMessages(const GdMessages&) = delete;
    GdMessages& operator=(const GdMessages&) = delete;
};

// Text that is all a run prints (--help, --version), and a failure to write it.
int writeAndCheck(const std::string& text, std::FILE* out) {
    std::fputs(text.c_str(), out);
    if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
    throw RunError("**** Error unable to write standard output: " +
                       std::error_code(errno, std::generic_category()).message() + "\n",
                   1);
}

// --check: the findings on the error stream, their count on the output.
int runCheck(const CommandLine& line, std::FILE* in, std::FILE* out, std::FILE* err) {
    DiskFiles files;
    files.noteInput(in);
    std::vector<Finding> findings;
    try {
        const std::string scenario = readStream(in);
        findings = checkRun(line, scenario, files, [&](const std::string& path) { return files.isInput(path); });
    } catch (const RunError& error) {
        findings = line.findings;
        findings.push_back(error.finding);
    }
    for (const Finding& finding : findings) std::fputs(formatFinding(finding).c_str(), err);
    if (!line.options.quiet) std::fputs(checkSummary(findings).c_str(), out);
    return findings.empty() ? 0 : 1;
}

// Every stage once, in this order; each record is filled by one stage and
// only read by the later ones.
int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err, const Limits& limits,
        StageObserver* observer) {
    CommandLine line = parseCommandLine(args);
    line.options.limits = limits;
    const Options& options = line.options;
    switch (line.action) {
        case CommandLine::Action::help: return writeAndCheck(helpText(), out);
        case CommandLine::Action::version: return writeAndCheck("orvex " ORVEX_VERSION "\n", out);
        case CommandLine::Action::check: return runCheck(line, in, out, err);
        case CommandLine::Action::run: break;
    }

    const GdMessages gdMessages(options.debug, err);
    // A map written to the file standard output goes to carries nothing but
    // the map: the reports go to the error stream instead.
    const std::string target = outputFileName(options);
    const bool mapOnStandardOutput = isSameFile(target, out);
    StreamReporter reporter(mapOnStandardOutput ? err : out, err, options.quiet);
    reporter.report("orvex v" ORVEX_VERSION "\n");
    reporter.report(std::string(NOTICE) + "\n\n");

    DiskFiles files;
    files.noteInput(in);
    RunInputs inputs{options, files, files, reporter, observer};
    if (observer) observer->stageBegins("header");
    const std::string scenario = readStream(in);
    DrawnMap map = drawMap(scenario, inputs);
    if (observer) observer->stageBegins("write");
    if (options.strict && reporter.warningCount() > 0) {
        const int n = reporter.warningCount();
        throw RunError("**** Error " + std::to_string(n) + (n == 1 ? " warning" : " warnings") +
                           " with --strict; the map is not written\n",
                       1);
    }
    // Replacing an input would lose it, and a later run would read the map.
    if (files.isInput(target)) throw RunError("**** Error output file " + cText(target) + " is an input of this run\n", 1);
    reporter.flushReports();  // before the map, should the two share a file
    writeMapFile(target, encodeMap(map, options, reporter));
    if (observer) observer->stageBegins("end");
    if (!mapOnStandardOutput) {
        if (const int error = reporter.flushReports())
            throw RunError("**** Error unable to write standard output: " +
                               std::error_code(error, std::generic_category()).message() + "\n",
                           1);
    }
    return 0;
}

int fail(const char* message, int status, std::FILE* out, std::FILE* err) {
    std::fflush(out);
    std::fputs(message, err);
    return status;
}

}  // namespace

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
    return runOrvex(args, in, out, err, Limits{});
}

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const Limits& limits) {
    return runObserved(args, in, out, err, limits, nullptr);
}

int runObserved(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                const Limits& limits, StageObserver* observer) {
    try {
        return run(args, in, out, err, limits, observer);
    } catch (const RunError& error) {
        return fail(error.what(), error.status, out, err);
    } catch (const std::bad_alloc&) {
        return fail("**** Error out of memory\n", 1, out, err);
    }
}
