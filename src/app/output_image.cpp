#include "app/output_image.h"

#include "app/orvex.h"
#include "app/resource_file.h"
#include "base/c_text.h"
#include "base/run_error.h"
#include "imageops/palette.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace orvex {

namespace {

struct DefaultColor {
    ColorRole role;
    int red, green, blue;
};

// Allocated in this order for the roles the resource file left unset.
constexpr DefaultColor DEFAULT_COLORS[] = {
    {BACKGROUNDCOLOR, 0, 0, 0},     {TITLETEXTCOLOR, 96, 255, 96}, {LABELTEXTCOLOR, 96, 255, 96},
    {COURSECOLOR, 96, 96, 255},     {AXESCOLOR, 64, 196, 64},      {GRIDCOLOR, 33, 100, 33},
};

void allocateColorDefaults(Canvas& canvas) {
    RoleColors& roles = canvas.colorIndex;
    for (const DefaultColor& d : DEFAULT_COLORS) {
        if (roles[d.role] == COLOR_UNSET)
            roles[d.role] = allocateColorOrClosest(canvas.image.get(), d.red, d.green, d.blue);
    }
    for (ColorRole shared : {AXESTEXTCOLOR, LEGENDCOLOR, LEGENDTEXTCOLOR}) {
        if (roles[shared] == COLOR_UNSET) roles[shared] = roles[AXESCOLOR];
    }
}

// Black on white: white is entry 0, the ground; every drawn role is black.
void allocateBitonal(Canvas& canvas) {
    RoleColors& roles = canvas.colorIndex;
    roles[BACKGROUNDCOLOR] = allocateColorOrClosest(canvas.image.get(), 255, 255, 255);
    const int black = allocateColorOrClosest(canvas.image.get(), 0, 0, 0);
    for (ColorRole role : {FOREGROUNDCOLOR, TITLETEXTCOLOR, LABELTEXTCOLOR, COURSECOLOR, AXESCOLOR,
                           GRIDCOLOR, AXESTEXTCOLOR, LEGENDCOLOR, LEGENDTEXTCOLOR})
        roles[role] = black;
}

// Each writer returns 0 on success, else the error number of the call that
// failed.

int writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

// The error of writing and then closing fd: the first that failed.
int writeAndClose(int fd, const unsigned char* data, std::size_t size) {
    const int written = writeAll(fd, data, size);
    const int closed = ::close(fd) == 0 ? 0 : errno;
    return written != 0 ? written : closed;
}

// Writes straight into an existing target that must not be replaced:
// a symbolic link (its target is written) or a device, pipe and the like.
int writeThrough(const std::string& name, const unsigned char* data, std::size_t size) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return errno;
    return writeAndClose(fd, data, size);
}

// Gives the new file what the file it replaces had: its permission bits,
// and its group where the process may set it.
int takeModeOf(int fd, const struct stat& replaced) {
    // Refused unless the process belongs to that group: the file then keeps
    // the process's group. The group goes first, as changing it may clear
    // the set-group-ID bit.
    [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    return ::fchmod(fd, replaced.st_mode & 07777) == 0 ? 0 : errno;
}

// Writes a new file beside the target and renames it over the target, which
// is absent or a regular file (`replaced` its status, else null).
int writeReplacing(const std::string& name, const unsigned char* data, std::size_t size,
                   const struct stat* replaced) {
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    int error = replaced ? takeModeOf(fd, *replaced) : 0;
    if (error != 0) ::close(fd);
    else error = writeAndClose(fd, data, size);
    if (error == 0 && std::rename(temporary.c_str(), name.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
}

}  // namespace

// A symbolic link, a special file or a file with other hard links is written
// through, so that every name of it shows the new map.
int writeFileReplacing(const std::string& name, std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    struct stat status {};
    if (::lstat(name.c_str(), &status) != 0) return writeReplacing(name, data, size, nullptr);
    if (!S_ISREG(status.st_mode) || status.st_nlink > 1) return writeThrough(name, data, size);
    return writeReplacing(name, data, size, &status);
}

Canvas createOutputImage(const Options& options, const MapFrame& frame, FileSource& files, const Octree& octree,
                         Reporter& reporter, std::optional<ColorFileText>& colorFile) {
    Canvas canvas;
    canvas.image.reset(gdImageCreate(frame.imageWidth, frame.imageHeight));
    if (!canvas.image) throw RunError("**** Error unable to create the map image\n", 1);

    if (options.colorMap) {
        if (options.resourceFile) {
            colorFile = readResourceFile(files, *options.resourceFile, canvas.image.get(), canvas.colorIndex,
                                         options.verbose, reporter);
        }
        allocateColorDefaults(canvas);
    } else {
        allocateBitonal(canvas);
    }
    octreeAllocatePalette(octree, canvas.image.get(), options.verbose, options.debug, reporter);
    setLineStyles(canvas, options.colorMap);
    return canvas;
}

std::string outputFileName(const Options& options) { return options.outputFile.value_or("orvex.gif"); }

void writeMapFile(const std::string& name, const std::optional<std::string>& gif) {
    // Without the encoded picture, gd ran out of memory.
    const int error = gif ? writeFileReplacing(name, *gif) : ENOMEM;
    if (error != 0) {
        throw RunError("**** Error unable to write image file " + cText(name) + ": " +
                           std::error_code(error, std::generic_category()).message() + "\n",
                       1);
    }
}

}  // namespace orvex
