#include "driver/output_image.h"

#include "driver/color_roles.h"
#include "driver/resource_file.h"
#include "driver/run_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

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

void allocateColorDefaults(RunSettings& settings) {
    auto& roles = settings.colorIndex;
    for (const DefaultColor& d : DEFAULT_COLORS) {
        if (roles[d.role] == COLOR_UNSET)
            roles[d.role] = allocateRoleColor(settings.outputImage.get(), d.red, d.green, d.blue);
    }
    for (ColorRole shared : {AXESTEXTCOLOR, LEGENDCOLOR, LEGENDTEXTCOLOR}) {
        if (roles[shared] == COLOR_UNSET) roles[shared] = roles[AXESCOLOR];
    }
}

// Black on white: white is entry 0, the ground; every drawn role is black.
void allocateBitonal(RunSettings& settings) {
    auto& roles = settings.colorIndex;
    roles[BACKGROUNDCOLOR] = allocateRoleColor(settings.outputImage.get(), 255, 255, 255);
    const int black = allocateRoleColor(settings.outputImage.get(), 0, 0, 0);
    for (ColorRole role : {FOREGROUNDCOLOR, TITLETEXTCOLOR, LABELTEXTCOLOR, COURSECOLOR, AXESCOLOR,
                           GRIDCOLOR, AXESTEXTCOLOR, LEGENDCOLOR, LEGENDTEXTCOLOR})
        roles[role] = black;
}

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes straight into an existing target that must not be replaced:
// a symbolic link (its target is written) or a device, pipe and the like.
bool writeThrough(const std::string& name, const unsigned char* data, std::size_t size) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    const bool ok = writeAll(fd, data, size);
    return ::close(fd) == 0 && ok;
}

// Writes a new file beside the target and renames it over the target.
bool writeReplacing(const std::string& name, const unsigned char* data, std::size_t size) {
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = writeAll(fd, data, size);
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), name.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool writeFile(const std::string& name, const unsigned char* data, std::size_t size) {
    struct stat status;
    const bool existsSpecial = ::lstat(name.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
    return existsSpecial ? writeThrough(name, data, size) : writeReplacing(name, data, size);
}

}  // namespace

void createOutputImage(RunSettings& settings, const Octree& octree) {
    settings.outputImage.reset(gdImageCreate(settings.imageWidth, settings.imageHeight));
    if (!settings.outputImage) throw RunError("**** Error unable to create the map image\n", 1);

    if (settings.colorMap) {
        if (settings.resourceFile) readResourceFile(settings);
        allocateColorDefaults(settings);
    } else {
        allocateBitonal(settings);
    }
    octreeAllocatePalette(octree, settings.outputImage.get(), settings.verbose, settings.debug);
}

void setLineStyles(RunSettings& settings) {
    const auto& roles = settings.colorIndex;
    LineStyles& styles = settings.lineStyles;
    styles.course = {roles[COURSECOLOR], gdTransparent, gdTransparent, gdTransparent};
    styles.grid = {roles[GRIDCOLOR], settings.colorMap ? roles[GRIDCOLOR] : gdTransparent};
    styles.leader = {roles[LEADERCOLOR], roles[LEADERCOLOR]};
}

std::string outputFileName(const RunSettings& settings) {
    return settings.outputFile.value_or("orvex.gif");
}

void writeOutputImage(RunSettings& settings, const ObstacleList& obstacles) {
    gdImagePtr image = settings.outputImage.get();
    if (settings.debug) drawObstacles(image, obstacles);
    if (settings.verbose) std::printf("writing image file\n");
    gdImageInterlace(image, 1);

    int size = 0;
    GdMemory gif(gdImageGifPtr(image, &size));
    settings.outputImage.reset();

    const std::string name = outputFileName(settings);
    std::fflush(stdout);  // the target may be standard output itself
    if (!gif || !writeFile(name, static_cast<const unsigned char*>(gif.get()), static_cast<std::size_t>(size)))
        throw RunError("**** Error unable to write image file " + name + "\n", 1);
}
