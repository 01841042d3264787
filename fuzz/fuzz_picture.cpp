// The fuzzed bytes as a GIF file through the picture loader, and a loaded
// picture through what a run does with it: the colour octree, turning (with
// and without resampling) and placing it as the background, tiled or not.
//
// Checks:
// - loader: a loaded picture has a size within the limits and an opaque
//   palette; the limits are inclusive and judge exactly the size gd made
//   (the same file loads with the limits set to its size, and is too large
//   one below it);
// - octree: never more leaves than its budget; within budget the palette is
//   exactly the picture's colours; merged colours stay within the range of
//   the picture's colours; adding the picture at once gives the palette of
//   adding its pixels one by one, column by column, reducing after each;
// - turning: an n x n result (n = rotatedIconSide) whose entry 0 is the
//   transparent ground; unscaled, unturned and quarter-turned results are
//   the picture's pixels moved about the pivot, the ground elsewhere;
//   resampled colours stay within the range of the picture's colours;
// - background: tiles repeat the picture from the corner pixel by pixel;
//   a scaled picture covers the whole map with colours of its own pixels.
#include "app/disk_files.h"
#include "fuzz_support.h"
#include "imageops/background.h"
#include "imageops/rotate.h"
#include "quantise/octree.h"
#include "scenario/picture_file.h"

#include <gd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>

using namespace orvex;

namespace {

using Rgb = std::tuple<int, int, int>;

Limits pictureLimits(long side, long pixels) {
    Limits limits;
    limits.maxPictureSide = side;
    limits.maxPicturePixels = pixels;
    return limits;
}

Rgb rgbOf(const gdImage* image, int index) { return {image->red[index], image->green[index], image->blue[index]}; }

Rgb rgbAt(gdImagePtr image, int x, int y) { return rgbOf(image, gdImageGetPixel(image, x, y)); }

std::string describe(const Rgb& c) {
    return "(" + std::to_string(std::get<0>(c)) + "," + std::to_string(std::get<1>(c)) + "," +
           std::to_string(std::get<2>(c)) + ")";
}

// The colours of the picture's pixels, and their range per channel.
struct ColourSet {
    explicit ColourSet(gdImagePtr image) {
        bool used[gdMaxColors] = {};
        for (int x = 0; x < gdImageSX(image); ++x)
            for (int y = 0; y < gdImageSY(image); ++y) used[gdImageGetPixel(image, x, y)] = true;
        for (int i = 0; i < gdMaxColors; ++i)
            if (used[i]) colours.insert(rgbOf(image, i));
        low = high = *colours.begin();
        for (const Rgb& c : colours) {
            low = {std::min(std::get<0>(low), std::get<0>(c)), std::min(std::get<1>(low), std::get<1>(c)),
                   std::min(std::get<2>(low), std::get<2>(c))};
            high = {std::max(std::get<0>(high), std::get<0>(c)), std::max(std::get<1>(high), std::get<1>(c)),
                    std::max(std::get<2>(high), std::get<2>(c))};
        }
    }

    bool inRange(const Rgb& c) const {
        return std::get<0>(low) <= std::get<0>(c) && std::get<0>(c) <= std::get<0>(high) &&
               std::get<1>(low) <= std::get<1>(c) && std::get<1>(c) <= std::get<1>(high) &&
               std::get<2>(low) <= std::get<2>(c) && std::get<2>(c) <= std::get<2>(high);
    }

    std::set<Rgb> colours;
    Rgb low, high;
};

void checkLoaderLimits(const std::string& path, int sx, int sy) {
    const long side = std::max(sx, sy), pixels = static_cast<long>(sx) * sy;
    DiskFiles files;
    FUZZ_CHECK(loadPicture(files, path, pictureLimits(side, pixels)).status == PictureStatus::loaded,
               "a picture of exactly the limits is refused: " + std::to_string(sx) + " x " + std::to_string(sy));
    FUZZ_CHECK(loadPicture(files, path, pictureLimits(side - 1, 1L << 40)).status == PictureStatus::tooLarge,
               "a picture one above the side limit is not too large");
    FUZZ_CHECK(loadPicture(files, path, pictureLimits(1L << 20, pixels - 1)).status == PictureStatus::tooLarge,
               "a picture one above the pixel limit is not too large");
}

void checkOctree(gdImagePtr picture, const ColourSet& colours, int smallBudget) {
    Octree full;
    octreeAddImage(full, picture, OCTREE_BUDGET);
    FUZZ_CHECK(full.leafCount <= OCTREE_BUDGET, "more leaves than the budget");
    const std::vector<PaletteColor> palette = octreeCollectPalette(full);
    FUZZ_CHECK(static_cast<int>(palette.size()) == full.leafCount, "leaf count and palette differ");
    if (colours.colours.size() <= static_cast<std::size_t>(OCTREE_BUDGET)) {
        std::set<Rgb> got;
        for (const PaletteColor& c : palette) got.insert({c.red, c.green, c.blue});
        FUZZ_CHECK(got == colours.colours && palette.size() == got.size(),
                   "within budget the palette is not the picture's colours");
    }

    Octree small;
    octreeAddImage(small, picture, smallBudget);
    FUZZ_CHECK(small.leafCount <= smallBudget && small.leafCount >= 1, "leaves beyond a small budget");
    const std::vector<PaletteColor> merged = octreeCollectPalette(small);
    for (const PaletteColor& c : merged)
        FUZZ_CHECK(colours.inRange({c.red, c.green, c.blue}), "a merged colour outside the picture's range");

    // The picture's pixels one at a time, column by column, reduced after
    // each: what octreeAddImage must amount to, runs of pixels or not.
    Octree plain;
    for (int x = 0; x < gdImageSX(picture); ++x) {
        for (int y = 0; y < gdImageSY(picture); ++y) {
            const int c = gdImageGetPixel(picture, x, y);
            octreeAddColor(plain, picture->red[c], picture->green[c], picture->blue[c]);
            while (plain.leafCount > smallBudget) octreeReduce(plain);
        }
    }
    FUZZ_CHECK(octreeCollectPalette(plain) == merged && plain.leafCount == small.leafCount,
               "octreeAddImage differs from adding the pixels one by one");
}

// The pixel of `icon` that output pixel (i, j) of an unscaled turn by
// quarter turns shows, or false outside the icon.
bool quarterSource(gdImagePtr icon, int n, int quarters, int i, int j, int& u, int& v) {
    const int h = n / 2, dx = i - h, dy = j - h;
    const int cx = gdImageSX(icon) / 2, cy = gdImageSY(icon) / 2;
    switch (quarters) {
        case 0: u = cx + dx, v = cy + dy; break;
        case 1: u = cx + dy, v = cy - dx; break;
        case 2: u = cx - dx, v = cy - dy; break;
        default: u = cx - dy, v = cy + dx; break;
    }
    return gdImageBoundsSafe(icon, u, v);
}

void checkTurns(gdImagePtr picture, const ColourSet& colours, double factor) {
    const double diagonal = std::hypot(gdImageSX(picture), gdImageSY(picture));
    // Unscaled when the result stays small, else scaled down to about 48 pixels.
    const double scale = diagonal <= 48 ? 1.0 : 48 / diagonal * factor;
    const int n = static_cast<int>(rotatedIconSide(gdImageSX(picture), gdImageSY(picture), scale));
    if (n < 1) return;  // a run refuses such a scale before turning
    // Exact comparisons need room for every colour besides the ground.
    const bool exact = scale == 1.0 && colours.colours.size() < 255;

    // Resampling costs 25 samples a pixel: one angle of it is enough.
    for (int k : {0, 3, 6, 7}) {
        for (bool resample : {false, true}) {
            if (resample && k != 7) continue;
            const bool colorMap = (k + resample) % 2 == 0;
            ImagePtr turned = rotateIcon(picture, k * 0.5235987755982988, scale, resample, colorMap);
            gdImagePtr out = turned.get();
            FUZZ_CHECK(gdImageSX(out) == n && gdImageSY(out) == n, "turned icon of another size than " + std::to_string(n));
            FUZZ_CHECK(out->transparent == 0, "entry 0 is not the transparent ground");
            const int ground = colorMap ? 0 : 255;
            FUZZ_CHECK(rgbOf(out, 0) == (Rgb{ground, ground, ground}), "the ground is " + describe(rgbOf(out, 0)));
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    const int c = gdImageGetPixel(out, i, j);
                    FUZZ_CHECK(c < gdImageColorsTotal(out), "a pixel of an unallocated entry");
                    if (resample) {
                        if (c != 0) FUZZ_CHECK(colours.inRange(rgbOf(out, c)), "a resampled colour outside the picture's range");
                    } else if (exact && k % 3 == 0) {
                        int u = 0, v = 0;
                        const bool inside = quarterSource(picture, n, k / 3, i, j, u, v);
                        const Rgb expected = inside ? rgbAt(picture, u, v) : rgbOf(out, 0);
                        FUZZ_CHECK(rgbOf(out, c) == expected, "turn by " + std::to_string(k) + " steps: pixel (" +
                                                                  std::to_string(i) + "," + std::to_string(j) + ") is " +
                                                                  describe(rgbOf(out, c)) + ", expected " + describe(expected));
                    } else if (c != 0 && colours.colours.size() < 255) {
                        FUZZ_CHECK(colours.colours.count(rgbOf(out, c)), "a turned pixel of a colour the picture has not");
                    }
                }
            }
        }
    }
}

// A colour that no entry of the picture's palette has.
Rgb unusedColour(gdImagePtr picture) {
    for (int i = 0;; ++i) {
        const Rgb candidate{1 + i % 200, 2 + i / 200, 3};
        bool used = false;
        for (int e = 0; e < gdImageColorsTotal(picture) && !used; ++e) used = rgbOf(picture, e) == candidate;
        if (!used) return candidate;
    }
}

void checkBackground(gdImagePtr picture, const ColourSet& colours) {
    const int sx = gdImageSX(picture), sy = gdImageSY(picture);
    // With every colour of the picture and the map's ground, the map's
    // palette must not overflow for exact comparisons.
    const bool exact = colours.colours.size() < 255;
    const Rgb ground = unusedColour(picture);
    const std::pair<int, int> maps[] = {{40, 30}, {7, 50}, {50, 3}, {1, 1}};
    for (const auto& size : maps) {
        const int width = size.first, height = size.second;
        for (bool tiling : {true, false}) {
            ImagePtr map(gdImageCreate(width, height));
            gdImageColorAllocate(map.get(), std::get<0>(ground), std::get<1>(ground), std::get<2>(ground));
            placeBackground(map.get(), 0, 0, width, height, picture, tiling);
            FUZZ_CHECK(picture->transparent == -1, "the picture keeps a transparent index");
            if (!exact) continue;
            for (int x = 0; x < width; ++x) {
                for (int y = 0; y < height; ++y) {
                    const Rgb got = rgbAt(map.get(), x, y);
                    auto where = [&] {
                        return std::to_string(width) + " x " + std::to_string(height) + " map from a " +
                               std::to_string(sx) + " x " + std::to_string(sy) + " picture" +
                               (tiling ? ", tiled" : "") + ": pixel (" + std::to_string(x) + "," + std::to_string(y) +
                               ") is " + describe(got);
                    };
                    if (tiling)
                        FUZZ_CHECK(got == rgbAt(picture, x % sx, y % sy), where());
                    else
                        FUZZ_CHECK(colours.colours.count(got), where());
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchDir dir("orvex-fuzz-picture");
    const std::string path = dir.file("picture.gif");
    fuzz::writeFile(path, std::string(reinterpret_cast<const char*>(data), size));

    constexpr long SIDE = 512, PIXELS = 1L << 18;
    DiskFiles files;
    Picture picture = loadPicture(files, path, pictureLimits(SIDE, PIXELS));
    if (picture.status != PictureStatus::loaded) {
        FUZZ_CHECK(!picture.image, "a picture that did not load is set");
        return 0;
    }
    gdImagePtr image = picture.image.get();
    FUZZ_CHECK(image, "a loaded picture is not set");
    const int sx = gdImageSX(image), sy = gdImageSY(image);
    FUZZ_CHECK(sx >= 1 && sy >= 1 && sx <= SIDE && sy <= SIDE && static_cast<long>(sx) * sy <= PIXELS,
               "a loaded picture of " + std::to_string(sx) + " x " + std::to_string(sy));
    for (const int alpha : image->alpha) FUZZ_CHECK(alpha == gdAlphaOpaque, "a translucent palette entry");
    checkLoaderLimits(path, sx, sy);

    const ColourSet colours(image);
    checkOctree(image, colours, 1 + static_cast<int>(size % 16));
    checkTurns(image, colours, 0.25 + static_cast<double>(size % 4) / 4);
    checkBackground(image, colours);
    return 0;
}
