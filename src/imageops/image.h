// Ownership of gd palette images: an ImagePtr destroys its image with
// gdImageDestroy when it goes out of scope.
#pragma once

#include <gd.h>

#include <memory>

struct ImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};

using ImagePtr = std::unique_ptr<gdImage, ImageDeleter>;
