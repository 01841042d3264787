// Ownership of gd palette images and of memory gd allocates: an ImagePtr
// destroys its image with gdImageDestroy when it goes out of scope.
#pragma once

#include <gd.h>

#include <memory>

namespace orvex {

struct ImageDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};

using ImagePtr = std::unique_ptr<gdImage, ImageDeleter>;

// Memory that gd allocated for the caller, such as an encoded GIF.
struct GdMemoryDeleter {
    void operator()(void* data) const { gdFree(data); }
};

using GdMemory = std::unique_ptr<void, GdMemoryDeleter>;

}  // namespace orvex
