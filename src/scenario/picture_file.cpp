#include "scenario/picture_file.h"

#include "imageops/palette.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace orvex {

namespace {

#ifdef _WIN32
constexpr char DIRECTORY_SEPARATOR = '\\';
#else
constexpr char DIRECTORY_SEPARATOR = '/';
#endif

bool readBytes(std::FILE* file, unsigned char* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, file) == count;
}

bool skipBytes(std::FILE* file, std::size_t count) {
    unsigned char buffer[256];
    while (count > 0) {
        const std::size_t chunk = count < sizeof buffer ? count : sizeof buffer;
        if (!readBytes(file, buffer, chunk)) return false;
        count -= chunk;
    }
    return true;
}

constexpr int GRAPHIC_CONTROL = 0xf9;

// Skips one data block: its size byte and that many bytes.
bool skipDataBlock(std::FILE* file) {
    const int size = std::fgetc(file);
    return size != EOF && skipBytes(file, static_cast<std::size_t>(size));
}

unsigned littleEndian16(const unsigned char* bytes) { return bytes[0] | (bytes[1] << 8); }

// What a file that is no GIF picture is, by its first bytes.
std::string kindOf(const unsigned char* bytes, std::size_t count) {
    auto startsWith = [&](const char* magic, std::size_t length, std::size_t at = 0) {
        return count >= at + length && std::memcmp(bytes + at, magic, length) == 0;
    };
    if (count == 0) return "an empty file";
    if (startsWith("\x89PNG", 4)) return "a PNG picture, not a GIF";
    if (startsWith("\xff\xd8\xff", 3)) return "a JPEG picture, not a GIF";
    if (startsWith("BM", 2)) return "a BMP picture, not a GIF";
    if (startsWith("RIFF", 4) && startsWith("WEBP", 4, 8)) return "a WebP picture, not a GIF";
    return "not a GIF picture";
}

// Walks the GIF's blocks up to the first image descriptor, as gd's reader
// does, and judges the size it declares, the size gd would allocate. Every
// other problem, a side of 0 among them, is left to gd, which reports it
// through its own messages.
PictureStatus checkFirstImage(std::FILE* file, const Limits& limits, std::string& problem) {
    unsigned char header[13];
    const std::size_t got = std::fread(header, 1, sizeof header, file);
    if (got < 6 || (std::memcmp(header, "GIF87a", 6) != 0 && std::memcmp(header, "GIF89a", 6) != 0)) {
        problem = kindOf(header, got);
        return PictureStatus::notReadable;
    }
    problem = "a GIF picture that cannot be read";
    if (got < sizeof header) return PictureStatus::notReadable;
    const unsigned char flags = header[10];
    if ((flags & 0x80) && !skipBytes(file, 3u << ((flags & 7) + 1))) return PictureStatus::notReadable;

    for (;;) {
        const int introducer = std::fgetc(file);
        if (introducer == EOF || introducer == ';') return PictureStatus::notReadable;
        if (introducer == '!') {
            const int label = std::fgetc(file);
            if (label == EOF) return PictureStatus::notReadable;
            // gd takes the first block of a graphic control extension as its
            // body whatever its size, even 0, and then skips blocks up to
            // the next empty one, as for any other extension.
            if (label == GRAPHIC_CONTROL && !skipDataBlock(file)) return PictureStatus::notReadable;
            for (int size; (size = std::fgetc(file)) != 0;) {
                if (size == EOF || !skipBytes(file, size)) return PictureStatus::notReadable;
            }
        } else if (introducer == ',') {
            unsigned char descriptor[9];
            if (!readBytes(file, descriptor, sizeof descriptor)) return PictureStatus::notReadable;
            const long width = littleEndian16(descriptor + 4);
            const long height = littleEndian16(descriptor + 6);
            if (width > limits.maxPictureSide || height > limits.maxPictureSide ||
                width * height > limits.maxPicturePixels) {
                problem = "it declares " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels, over the limits of " + std::to_string(limits.maxPictureSide) + " a side and " +
                          std::to_string(limits.maxPicturePixels) + " in all";
                return PictureStatus::tooLarge;
            }
            problem.clear();
            return PictureStatus::loaded;
        }
        // Any other byte is skipped, as gd's reader does.
    }
}

}  // namespace

std::string picturePath(const std::optional<std::string>& imageDir, const std::string& name) {
    if (!imageDir) return name;
    return *imageDir + DIRECTORY_SEPARATOR + name;
}

Picture loadPicture(FileSource& files, const std::string& path, const Limits& limits) {
    std::string reason;
    FilePtr file = files.open(path, reason);
    if (!file) return {PictureStatus::cannotOpen, nullptr, reason};

    std::string problem;
    const PictureStatus status = checkFirstImage(file.get(), limits, problem);
    if (status != PictureStatus::loaded) return {status, nullptr, problem};
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) return {PictureStatus::notReadable, nullptr, "it cannot be read again"};

    ImagePtr image(gdImageCreateFromGif(file.get()));
    if (!image) return {PictureStatus::notReadable, nullptr, "a GIF picture that cannot be read"};
    assert(gdImageSX(image.get()) > 0 && gdImageSY(image.get()) > 0);
    makePaletteOpaque(image.get());
    return {PictureStatus::loaded, std::move(image), ""};
}

}  // namespace orvex
