// Test harness: private working directories, running orvex in-process or as
// the built binary, and making or reading back GIF files with gd.
#pragma once

#include "imageops/image.h"

#include <string>
#include <vector>

namespace orvex {

// A fresh directory under /tmp, removed with everything in it at the end of
// its scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The full path of name inside the directory.
    std::string file(const std::string& name) const;
    // Writes text to name (creating or replacing it) and returns its full path.
    std::string write(const std::string& name, const std::string& text) const;
    // The whole content of name; empty when it cannot be read.
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string path_;
};

struct RunResult {
    int exitStatus;  // the exit status, or 128 + signal number when killed
    std::string out, err;
};

// Runs orvex in this process with args in workDir (the current directory
// for the run's duration), stdinText as its input, and collects what it
// writes to its output and error streams.
RunResult runInProcess(const std::vector<std::string>& args, const std::string& stdinText,
                       const std::string& workDir);

// The same through the real binary, ORVEX_BINARY (or another program), in a
// child process. A
// sanitizer report ends the child with status 86 (address) or 87
// (undefined behaviour).
RunResult runBinary(const std::vector<std::string>& args, const std::string& stdinText,
                    const std::string& workDir, const std::string& binary = ORVEX_BINARY);

// The binary with its standard input, output and error opened on these
// paths (output and error created or truncated); returns the exit status as
// runBinary gives it.
int runBinaryOnFiles(const std::vector<std::string>& args, const std::string& inPath, const std::string& outPath,
                     const std::string& errPath, const std::string& workDir, const std::string& binary = ORVEX_BINARY);

// runBinary with standard output a pipe that this process reads to its end.
RunResult runBinaryThroughPipe(const std::vector<std::string>& args, const std::string& stdinText,
                               const std::string& workDir);

struct Rgb {
    int red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// A palette image with these entries allocated in order; every pixel is 0.
ImagePtr makePaletteImage(int width, int height, const std::vector<Rgb>& palette);
// Writes image as a GIF file; fails the current test when it cannot.
void saveGif(gdImagePtr image, const std::string& path);
// Reads the first image of a GIF file; null when gd cannot read it.
ImagePtr loadGif(const std::string& path);
// Entry i of the colour table as stored in the file (valid beyond colorsTotal
// for a read-back image, which counts only the entries up to the highest one
// in use).
Rgb paletteEntry(const gdImage* image, int index);

// For readable failure messages.
void PrintTo(const Rgb& color, std::ostream* os);

}  // namespace orvex
