// Loading the GIF pictures a scenario names (the background and the icons).
#pragma once

#include "base/file_source.h"
#include "base/run_limits.h"
#include "imageops/image.h"

#include <optional>
#include <string>

namespace orvex {

// The path of a picture file: the name alone, or the image directory and
// the name joined with the platform's directory separator.
std::string picturePath(const std::optional<std::string>& imageDir, const std::string& name);

enum class PictureStatus { loaded, cannotOpen, tooLarge, notReadable };

struct Picture {
    PictureStatus status;
    ImagePtr image;  // set only when status is loaded
    // Why a picture did not load, in a few words: the system's reason for a
    // file that cannot be opened, what a file that is no GIF is when its
    // first bytes show it ("a PNG picture"), the size a too large one declares.
    std::string problem;
};

// Opens the file at path through files and decodes its first GIF image.
// The first image descriptor is read from the file before gd decodes it,
// so a small file that declares a picture beyond the limits' picture side or
// pixels is refused (tooLarge) without allocating it. A loaded picture has a
// positive size and an all-opaque palette.
Picture loadPicture(FileSource& files, const std::string& path, const Limits& limits);

}  // namespace orvex
