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

RunResult runBinary(const std::vector<std::string>& args, const std::string& stdinText,
                    const std::string& workDir) {
    TempDir io;  // kept out of workDir, whose content the tests inspect
    const std::string inPath = io.write("stdin", stdinText);
    const std::string outPath = io.file("stdout");
    const std::string errPath = io.file("stderr");

    // Everything the child needs is prepared before the fork.
    std::vector<std::string> words{ORVEX_BINARY};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "ASAN_OPTIONS=", 13) != 0 && std::strncmp(*entry, "UBSAN_OPTIONS=", 14) != 0)
            environment.emplace_back(*entry);
    }
    environment.emplace_back("ASAN_OPTIONS=exitcode=86");
    environment.emplace_back("UBSAN_OPTIONS=exitcode=87:print_stacktrace=1");
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int in = ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    RunResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = io.read("stdout");
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
