#include "imageops/blend.h"

#include "imageops/palette.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>

namespace orvex {

void replaceColor(gdImagePtr image, int from, int to, bool swap) {
    // Copies of the two colours: the comparisons must see them as they were.
    const int fromRgb[3] = {image->red[from], image->green[from], image->blue[from]};
    const int toRgb[3] = {image->red[to], image->green[to], image->blue[to]};
    auto is = [image](int c, const int rgb[3]) {
        return image->red[c] == rgb[0] && image->green[c] == rgb[1] && image->blue[c] == rgb[2];
    };
    // What each entry becomes, worked out once: gd reads and writes pixels
    // only within the clipping rectangle, and reads those outside as 0,
    // which then changes no pixel.
    std::array<unsigned char, gdMaxColors> becomes{};
    for (int c = 0; c < gdMaxColors; ++c) {
        const int next = is(c, fromRgb) ? to : swap && is(c, toRgb) ? from : c;
        becomes[static_cast<std::size_t>(c)] = static_cast<unsigned char>(next);
    }
    for (int y = std::max(image->cy1, 0); y <= std::min(image->cy2, gdImageSY(image) - 1); ++y) {
        unsigned char* row = image->pixels[y];
        for (int x = std::max(image->cx1, 0); x <= std::min(image->cx2, gdImageSX(image) - 1); ++x)
            row[x] = becomes[row[x]];
    }
}

Fader::Fader(gdImagePtr image, int percent) : image_(image), keep_(100 - percent) {
    assert(!gdImageTrueColor(image));
    darkened_.fill(-1);
}

int Fader::darkenedIndex(int c) {
    // The colour keeping keep_ percent of each component, the rest black.
    if (darkened_[c] < 0)
        darkened_[c] = resolveColor(image_, image_->red[c] * keep_ / 100, image_->green[c] * keep_ / 100,
                                    image_->blue[c] * keep_ / 100);
    return darkened_[c];
}

void Fader::column(std::int64_t x, std::int64_t top, std::int64_t bottom) {
    if (top > bottom) return;
    // Pixels outside the image each resolve entry 0's darkened colour,
    // which the first of a run does for all.
    if (x < 0 || x >= gdImageSX(image_)) return fadeOutside();
    const std::int64_t first = std::max<std::int64_t>(top, 0);
    const std::int64_t last = std::min<std::int64_t>(bottom, gdImageSY(image_) - 1);
    if (top < first) fadeOutside();
    unsigned char* const* rows = image_->pixels;
    for (std::int64_t y = first; y <= last; ++y) {
        unsigned char& pixel = rows[y][x];
        int darkened = darkened_[pixel];
        if (darkened < 0) darkened = darkenedIndex(pixel);
        pixel = static_cast<unsigned char>(darkened);
    }
    if (bottom > last) fadeOutside();
}

void Fader::rect(int x1, int y1, int x2, int y2) {
    if (x1 > x2 || y1 > y2) return;
    // The same scan as column by column over the whole rectangle, with the
    // columns outside, which draw nothing, visited once each side.
    const int left = std::max(x1, 0), right = std::min(x2, gdImageSX(image_) - 1);
    if (x1 < left || left > right) fadeOutside();
    for (int x = left; x <= right; ++x) column(x, y1, y2);
    if (x2 > right && left <= right) fadeOutside();
}

void Fader::disc(int cx, int cy, int radius) {
    const std::int64_t r = radius;
    // Column by column, the pixels within r of the centre: those at most
    // `reach` above and below it, the largest whose square fits.
    std::int64_t reach = r;
    for (std::int64_t dx = -r; dx <= r; ++dx) {
        const std::int64_t room = r * r - dx * dx;
        if (dx <= 0) {
            while (reach < r && (reach + 1) * (reach + 1) <= room) ++reach;
            while (reach * reach > room) --reach;
        } else {
            while (reach * reach > room) --reach;
        }
        column(cx + dx, cy - reach, cy + reach);
    }
}

void fadeRect(gdImagePtr image, int x1, int y1, int x2, int y2, int percent) {
    Fader(image, percent).rect(x1, y1, x2, y2);
}

void fadeDisc(gdImagePtr image, int cx, int cy, int radius, int percent) {
    Fader(image, percent).disc(cx, cy, radius);
}

}  // namespace orvex
