// Animated GIFs read back frame by frame with giflib's decoder, which shares
// no code with gd's encoder that wrote them.
#pragma once

#include "support/run_orvex.h"

#include <string>
#include <vector>

namespace orvex {

struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    int delay = -1;           // hundredths of a second; -1 without a graphic control block
    std::vector<Rgb> pixels;  // row by row, each pixel's colour through its frame's colour table
};

struct GifAnimation {
    bool readable = false;
    int width = 0, height = 0;
    int loops = -1;  // the NETSCAPE2.0 loop count; -1 without one
    std::vector<GifFrame> frames;
};

GifAnimation readGifAnimation(const std::string& path);

}  // namespace orvex
