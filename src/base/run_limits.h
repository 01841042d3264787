// The sizes past which the program refuses work, so that no input can make
// a run take unbounded memory or time.
#pragma once

namespace orvex {

struct Limits {
    // The map: a side above this or more pixels than maxMapPixels is an
    // invalid map.
    double maxMapSide = 65535;  // a GIF's limit
    double maxMapPixels = 100000000;
    // Pictures: refused before gd decodes them.
    long maxPictureSide = 16384;
    long maxPicturePixels = 1L << 26;
    // Turning work: the largest side of a turned icon.
    double maxIconSide = 1024;
};

}  // namespace orvex
