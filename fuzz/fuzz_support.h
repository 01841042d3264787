// Shared pieces of the fuzz targets: a private scratch directory, whole
// files as byte strings, GIFs made with gd, and the failure report that
// turns a broken promise into a crash libFuzzer records.
#pragma once

#include "imageops/image.h"

#include <gd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

using namespace orvex;

namespace fuzz {

// Prints the broken promise and aborts, so that libFuzzer saves the input.
[[noreturn]] inline void fail(const std::string& message) {
    std::fprintf(stderr, "\n==== orvex fuzz check failed: %s\n", message.c_str());
    std::abort();
}

// Checks a promise; the message (anything a std::string takes) is built
// only when it is broken.
#define FUZZ_CHECK(condition, message)                                                                   \
    do {                                                                                                 \
        if (!(condition))                                                                                \
            ::fuzz::fail(std::string(__FILE__) + ":" + std::to_string(__LINE__) + ": " +                 \
                         std::string(message) + " [" #condition "]");                                   \
    } while (0)

// A fresh directory under $TMPDIR (or /tmp), removed with its content when
// the process ends normally.
class ScratchDir {
public:
    explicit ScratchDir(const char* prefix) {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) fail("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) fail("cannot write " + path);
}

// The whole file, or nothing when it cannot be opened.
inline bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;
    std::ostringstream text;
    text << stream.rdbuf();
    bytes = text.str();
    return true;
}

// The image encoded as a GIF file's bytes.
inline std::string gifBytes(gdImagePtr image) {
    int size = 0;
    GdMemory gif(gdImageGifPtr(image, &size));
    if (!gif) fail("gd cannot encode a GIF");
    return std::string(static_cast<const char*>(gif.get()), static_cast<std::size_t>(size));
}

// The first image of a GIF file; null when gd cannot read it.
inline ImagePtr loadGif(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    ImagePtr image(gdImageCreateFromGif(file));
    std::fclose(file);
    return image;
}

// A stream to read `bytes` from, or to collect what is written to it.
inline std::FILE* inputStream(const std::string& bytes) {
    std::FILE* file = std::tmpfile();
    if (!file) fail("tmpfile failed");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) fail("tmpfile write failed");
    std::rewind(file);
    return file;
}

// Everything written to a stream from inputStream("") or std::tmpfile(); closes it.
inline std::string drain(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    std::fclose(file);
    return text;
}

}  // namespace fuzz
