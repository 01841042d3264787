#include "support/run_orvex.h"

#include "app/orvex.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orvex {


namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "orvex-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::write(const std::string& name, const std::string& text) const {
    const std::string full = file(name);
    std::ofstream stream(full, std::ios::binary | std::ios::trunc);
    stream << text;
    if (!stream) ADD_FAILURE() << "cannot write " << full;
    return full;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream stream(file(name), std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

bool TempDir::exists(const std::string& name) const {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(file(name), ignored));
}

namespace {

// A scratch stream that is removed when closed.
struct ScratchFile {
    ScratchFile() : file(std::tmpfile()) {
        if (!file) throw std::runtime_error("tmpfile failed");
    }
    ~ScratchFile() { std::fclose(file); }

    std::string content() const {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
        return text;
    }

    std::FILE* file;
};

}  // namespace

RunResult runInProcess(const std::vector<std::string>& args, const std::string& stdinText,
                       const std::string& workDir) {
    ScratchFile in, out, err;
    std::fwrite(stdinText.data(), 1, stdinText.size(), in.file);
    std::rewind(in.file);

    const fs::path home = fs::current_path();
    fs::current_path(workDir);
    RunResult result;
    result.exitStatus = runOrvex(args, in.file, out.file, err.file);
    fs::current_path(home);
    result.out = out.content();
    result.err = err.content();
    return result;
}

namespace {

// What a child needs to run the binary, prepared before the fork.
class ChildCommand {
public:
    ChildCommand(const std::string& binary, const std::vector<std::string>& args) : words_{binary} {
        words_.insert(words_.end(), args.begin(), args.end());
        for (std::string& word : words_) argv_.push_back(word.data());
        argv_.push_back(nullptr);
        for (char** entry = environ; *entry; ++entry) {
            if (std::strncmp(*entry, "ASAN_OPTIONS=", 13) != 0 && std::strncmp(*entry, "UBSAN_OPTIONS=", 14) != 0)
                environment_.emplace_back(*entry);
        }
        environment_.emplace_back("ASAN_OPTIONS=exitcode=86");
        environment_.emplace_back("UBSAN_OPTIONS=exitcode=87:print_stacktrace=1");
        for (std::string& entry : environment_) envp_.push_back(entry.data());
        envp_.push_back(nullptr);
    }

    // Starts the binary in workDir with the given descriptors as its
    // standard streams; the child closes `closeInChild` first.
    pid_t start(int in, int out, int err, const std::string& workDir, int closeInChild = -1) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0) throw std::runtime_error("fork failed");
        if (child == 0) {
            if (closeInChild >= 0) ::close(closeInChild);
            if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
                ::chdir(workDir.c_str()) != 0)
                ::_exit(126);
            ::execve(argv_[0], argv_.data(), envp_.data());
            ::_exit(127);
        }
        return child;
    }

private:
    std::vector<std::string> words_, environment_;
    std::vector<char*> argv_, envp_;
};

int waitForExit(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

int runBinaryOnFiles(const std::vector<std::string>& args, const std::string& inPath, const std::string& outPath,
                     const std::string& errPath, const std::string& workDir, const std::string& binary) {
    ChildCommand command(binary, args);
    const int in = ::open(inPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t child = command.start(in, out, err, workDir);
    for (int fd : {in, out, err})
        if (fd >= 0) ::close(fd);
    return waitForExit(child);
}

RunResult runBinary(const std::vector<std::string>& args, const std::string& stdinText,
                    const std::string& workDir, const std::string& binary) {
    TempDir io;  // kept out of workDir, whose content the tests inspect
    RunResult result;
    result.exitStatus = runBinaryOnFiles(args, io.write("stdin", stdinText), io.file("stdout"), io.file("stderr"),
                                         workDir, binary);
    result.out = io.read("stdout");
    result.err = io.read("stderr");
    return result;
}

RunResult runBinaryThroughPipe(const std::vector<std::string>& args, const std::string& stdinText,
                               const std::string& workDir) {
    TempDir io;
    ChildCommand command(ORVEX_BINARY, args);
    const std::string errPath = io.file("stderr");
    const int in = ::open(io.write("stdin", stdinText).c_str(), O_RDONLY);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = command.start(in, pipeEnds[1], err, workDir, pipeEnds[0]);
    for (int fd : {in, err, pipeEnds[1]})
        if (fd >= 0) ::close(fd);
    RunResult result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (got > 0) result.out.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR) break;
    }
    ::close(pipeEnds[0]);
    result.exitStatus = waitForExit(child);
    result.err = io.read("stderr");
    return result;
}

ImagePtr makePaletteImage(int width, int height, const std::vector<Rgb>& palette) {
    ImagePtr image(gdImageCreate(width, height));
    for (const Rgb& c : palette) gdImageColorAllocate(image.get(), c.red, c.green, c.blue);
    return image;
}

void saveGif(gdImagePtr image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        ADD_FAILURE() << "cannot create " << path;
        return;
    }
    gdImageGif(image, file);
    std::fclose(file);
}

ImagePtr loadGif(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    ImagePtr image(gdImageCreateFromGif(file));
    std::fclose(file);
    return image;
}

Rgb paletteEntry(const gdImage* image, int index) {
    return {image->red[index], image->green[index], image->blue[index]};
}

void PrintTo(const Rgb& color, std::ostream* os) {
    *os << "(" << color.red << "," << color.green << "," << color.blue << ")";
}

}  // namespace orvex
