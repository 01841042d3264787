#include "app/orvex.h"
#include "app/run_stages.h"

#include "app/check.h"
#include "app/command_line.h"
#include "app/disk_files.h"
#include "app/gd_messages.h"
#include "app/output_image.h"
#include "app/pipeline.h"
#include "app/stream_reporter.h"
#include "app/version.h"
#include "base/c_text.h"
#include "base/run_error.h"
#include "scenario/scenario_input.h"

#include <cerrno>
#include <functional>
#include <new>
#include <system_error>

namespace orvex {

namespace {

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
        const GdMessages quiet(nullptr);
        findings = checkRun(line, scenario, files, [&](const std::string& path) { return files.isInput(path); });
    } catch (const RunError& error) {
        findings = line.findings;
        findings.push_back(error.finding);
    }
    for (const Finding& finding : findings) std::fputs(formatFinding(finding).c_str(), err);
    if (!line.options.quiet) std::fputs(checkSummary(findings).c_str(), out);
    return findings.empty() ? 0 : 1;
}

// The program: the command line, then a run whose texts go to the streams
// as they are printed, its files to disk, and its map to the -f file.
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

    const GdMessages gdMessages(options.debug ? std::function<void(std::string_view)>([err](std::string_view text) {
                                                    std::fwrite(text.data(), 1, text.size(), err);
                                                })
                                              : nullptr);
    // A map written to the file standard output goes to carries nothing but
    // the map: the reports go to the error stream instead.
    const std::string target = outputFileName(options);
    const bool mapOnStandardOutput = isSameFile(target, out);
    StreamReporter reporter(mapOnStandardOutput ? err : out, err, options.quiet);
    reportBanner(reporter);

    DiskFiles files;
    files.noteInput(in);
    RunInputs inputs{options, files, files, reporter, observer, {}};
    if (observer) observer->stageBegins("header");
    const RenderedMap rendered = renderMap(readStream(in), inputs);
    // Replacing an input would lose it, and a later run would read the map.
    if (files.isInput(target)) throw RunError("**** Error output file " + cText(target) + " is an input of this run\n", 1);
    reporter.flushReports();  // before the map, should the two share a file
    writeMapFile(target, rendered.gif);
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

int runObserved(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
                const Limits& limits, StageObserver* observer) {
    try {
        return run(args, in, out, err, limits, observer);
    } catch (const RunError& error) {
        return fail(error.what(), error.status, out, err);
    } catch (const std::bad_alloc&) {
        return fail("**** Error out of memory\n", 1, out, err);
    } catch (const std::exception& error) {
        return fail(("**** Error " + std::string(error.what()) + "\n").c_str(), 1, out, err);
    }
}

}  // namespace orvex

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
    return orvex::runObserved(args, in, out, err, orvex::Limits{}, nullptr);
}

int runOrvex(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
             const orvex::Limits& limits) {
    return orvex::runObserved(args, in, out, err, limits, nullptr);
}
