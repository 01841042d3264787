#include "app/orvex.h"

#include "app/check.h"
#include "app/command_line.h"
#include "app/disk_files.h"
#include "app/gd_messages.h"
#include "app/pipeline.h"
#include "app/version.h"
#include "base/geometry.h"
#include "base/run_error.h"
#include "place/label_search.h"

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace orvex {

namespace {

// A request's texts, kept in its result: the reports in `out`, the
// warnings in `err`; with --quiet no report, and the palette warning with
// the other warnings.
class ResultReporter : public Reporter {
public:
    ResultReporter(Result& result, bool quiet) : result_(result), quiet_(quiet) {}
    void report(std::string_view text) override {
        if (!quiet_) result_.out += text;
    }
    void warn(std::string_view message, const Finding&) override { result_.err += message; }
    void warnWithReports(std::string_view message, const Finding& finding) override {
        if (quiet_) return warn(message, finding);
        result_.out += message;
    }

private:
    Result& result_;
    bool quiet_;
};

// -d's turned icons, kept in the result.
class ResultFiles : public FileSink {
public:
    explicit ResultFiles(Result& result) : result_(result) {}
    bool write(const std::string& name, std::string_view bytes) override {
        result_.files.emplace_back(name, std::string(bytes));
        return true;
    }

private:
    Result& result_;
};

// A stream over bytes it owns, read with C's file functions.
struct MemoryFile {
    std::string bytes;
    std::size_t at = 0;

    static ssize_t read(void* cookie, char* buffer, std::size_t size) {
        auto* file = static_cast<MemoryFile*>(cookie);
        const std::size_t count = std::min(size, file->bytes.size() - file->at);
        std::copy_n(file->bytes.data() + file->at, count, buffer);
        file->at += count;
        return static_cast<ssize_t>(count);
    }
    static int seek(void* cookie, off64_t* offset, int whence) {
        auto* file = static_cast<MemoryFile*>(cookie);
        const off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off64_t>(file->at)
                                                                          : static_cast<off64_t>(file->bytes.size());
        const off64_t to = base + *offset;
        if (to < 0 || to > static_cast<off64_t>(file->bytes.size())) return -1;
        file->at = static_cast<std::size_t>(to);
        *offset = to;
        return 0;
    }
    static int close(void* cookie) {
        delete static_cast<MemoryFile*>(cookie);
        return 0;
    }
};

FilePtr openBytes(std::string bytes) {
    auto* file = new MemoryFile{std::move(bytes)};
    std::FILE* stream = ::fopencookie(file, "rb", {MemoryFile::read, nullptr, MemoryFile::seek, MemoryFile::close});
    if (!stream) delete file;
    return FilePtr(stream);
}

// The files of a request from its picture source.
class SourceFiles : public FileSource {
public:
    explicit SourceFiles(const PictureSource& source) : source_(source) {}
    FilePtr open(const std::string& path, std::string& reason) override {
        SourcedFile file = source_(path);
        if (!file.bytes) {
            reason = file.reason.empty() ? "not found" : file.reason;
            return nullptr;
        }
        FilePtr stream = openBytes(std::move(*file.bytes));
        if (!stream) reason = std::error_code(errno, std::generic_category()).message();
        return stream;
    }

private:
    const PictureSource& source_;
};

// The files a request reads: through its picture source when it has one,
// from the disk otherwise. Each name opened is kept once, in the order
// first opened.
class RequestFiles : public FileSource {
public:
    explicit RequestFiles(const PictureSource& pictures)
        : sourced_(pictures), chosen_(pictures ? static_cast<FileSource*>(&sourced_) : &disk_) {}
    RequestFiles(const RequestFiles&) = delete;
    RequestFiles& operator=(const RequestFiles&) = delete;

    FilePtr open(const std::string& path, std::string& reason) override {
        FilePtr file = chosen_->open(path, reason);
        if (file && std::find(opened_.begin(), opened_.end(), path) == opened_.end()) opened_.push_back(path);
        return file;
    }
    const std::vector<std::string>& opened() const { return opened_; }

private:
    DiskFiles disk_;
    SourceFiles sourced_;
    FileSource* chosen_;
    std::vector<std::string> opened_;
};

// A request is checked before anything is read.
void checkRequest(const Request& request) {
    const Limits& l = request.options.limits;
    if (!(l.maxMapSide >= 1 && l.maxMapPixels >= 1 && l.maxPictureSide >= 1 && l.maxPicturePixels >= 1 &&
          l.maxIconSide >= 1))
        throw std::invalid_argument("the request's limits must all be 1 or more");
    if (l.maxIconSide > MAX_LABEL_REACH)
        throw std::invalid_argument("the request's limit of the turned icons' side must be at most 32000 pixels");
    for (const PlacedObject& object : request.steadyFrom) {
        for (const int v : {object.anchor.x, object.anchor.y, object.labelBox ? object.labelBox->left : 0,
                            object.labelBox ? object.labelBox->top : 0}) {
            if (std::abs(static_cast<double>(v)) > MAX_PIXEL_OFFSET)
                throw std::invalid_argument("an earlier map's object lies more than 2^28 pixels off the map");
        }
    }
}

Box boxOf(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
Point pointOf(const PixelPoint& p) { return {p.x, p.y}; }

std::vector<PlacedObject> geometryOf(const DrawnMap& map) {
    std::vector<PlacedObject> placed;
    for (std::size_t i = 0; i < map.loaded.objects.size(); ++i) {
        const GameObject& object = map.loaded.objects[i];
        const ObjectLayout& layout = map.layout.objects[i];
        PlacedObject p;
        p.number = object.number;
        p.label = object.label;
        p.type = object.type->name;
        p.anchor = pointOf(layout.anchor);
        p.icon = boxOf(layout.icon);
        if (layout.label) {
            p.labelBox = boxOf(layout.label->text);
            if (layout.label->leader) p.leader = Line{pointOf(layout.label->leader->from), pointOf(layout.label->leader->to)};
        }
        placed.push_back(std::move(p));
    }
    return placed;
}

// Runs fn, turning every failure into the result's status and message.
template <class Run>
void guarded(Result& result, Run run) {
    try {
        run();
        return;
    } catch (const RunError& error) {
        result.err += error.what();
        result.status = error.status;
    } catch (const std::bad_alloc&) {
        result.err += "**** Error out of memory\n";
        result.status = 1;
    } catch (const std::exception& error) {
        result.err += std::string("**** Error ") + error.what() + "\n";
        result.status = 1;
    }
}

}  // namespace

PictureSource filesIn(const std::string& folder) {
    return [folder](const std::string& name) {
        const std::string path = name.starts_with('/') || folder.empty() ? name : folder + "/" + name;
        std::ifstream stream(path, std::ios::binary);
        if (!stream) return SourcedFile{std::nullopt, std::error_code(errno, std::generic_category()).message()};
        std::ostringstream bytes;
        bytes << stream.rdbuf();
        return SourcedFile{bytes.str(), ""};
    };
}

std::optional<Options> optionsFromWords(const std::vector<std::string>& words, std::string* usageError) {
    try {
        return parseCommandLine(words).options;
    } catch (const RunError& error) {
        if (usageError) *usageError = error.what();
        return std::nullopt;
    }
}

const char* version() { return ORVEX_VERSION; }

Result render(const Request& request) {
    Result result;
    guarded(result, [&] {
        checkRequest(request);
        const Options& options = request.options;
        ResultReporter reporter(result, options.quiet);
        const GdMessages gdMessages(options.debug ? std::function<void(std::string_view)>(
                                                        [&result](std::string_view text) { result.err += text; })
                                                  : nullptr);
        RequestFiles files(request.pictures);
        ResultFiles kept(result);
        RunInputs inputs{options, files, kept, reporter, nullptr, {}};
        for (const PlacedObject& earlier : request.steadyFrom) {
            if (!earlier.labelBox) continue;
            inputs.keptLabels.push_back({earlier.label, earlier.type,
                                         {earlier.labelBox->left - earlier.anchor.x, earlier.labelBox->top - earlier.anchor.y}});
        }
        reportBanner(reporter);
        RenderedMap rendered = renderMap(request.scenario, inputs);
        if (!rendered.gif) throw std::bad_alloc();
        result.objects = geometryOf(rendered.map);
        result.read = files.opened();
        result.gif = std::move(*rendered.gif);  // last: a result with a map is a complete one
    });
    return result;
}

std::vector<Finding> check(const Request& request) {
    CommandLine line;
    line.options = request.options;
    line.action = CommandLine::Action::check;
    RequestFiles files(request.pictures);
    const GdMessages quiet(nullptr);
    return checkRun(line, request.scenario, files, {});
}

}  // namespace orvex
