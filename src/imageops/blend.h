// Changing the colours of pixels already drawn, through the palette. Every
// new colour gets its index from resolveColor, so darkening may add palette
// entries. Columns are the outer loop and rows the inner one, which fixes
// the order in which new entries are added.
#pragma once

#include <gd.h>

#include <array>
#include <cstdint>

namespace orvex {

// Every pixel whose colour equals entry `from`'s gets index `to`; with swap,
// every other pixel whose colour equals entry `to`'s gets `from`. Colours are
// compared by value, as they stand before any pixel changes.
void replaceColor(gdImagePtr image, int from, int to, bool swap);

// Darkens the pixels of a palette image by a percentage toward black. The
// darkened index of each palette entry is resolved once: resolving the same
// colour again would give the same entry, as entries keep their colours and
// the palette only grows. One fader may serve any number of fades of its
// image. Pixels outside the image are not drawn, yet they still resolve the
// darkened colour of entry 0, which may add it to the palette.
class Fader {
public:
    Fader(gdImagePtr image, int percent);

    // Every pixel with x1 <= x <= x2 and y1 <= y <= y2.
    void rect(int x1, int y1, int x2, int y2);

    // Every pixel at a distance of at most radius from (cx, cy).
    void disc(int cx, int cy, int radius);

private:
    // Every pixel (x, y) with top <= y <= bottom, in that order.
    void column(std::int64_t x, std::int64_t top, std::int64_t bottom);
    void fadeOutside() { darkenedIndex(0); }
    int darkenedIndex(int c);

    gdImagePtr image_;
    int keep_;
    std::array<int, gdMaxColors> darkened_{};
};

// Darkens by percent every pixel with x1 <= x <= x2 and y1 <= y <= y2.
void fadeRect(gdImagePtr image, int x1, int y1, int x2, int y2, int percent);

// Darkens by percent every pixel at a distance of at most radius from (cx, cy).
void fadeDisc(gdImagePtr image, int cx, int cy, int radius, int percent);

}  // namespace orvex
