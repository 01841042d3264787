// Random palette pictures for comparing the program's pixel copies with gd's.
#pragma once

#include "imageops/image.h"

#include <random>

namespace orvex {

// A width x height palette image of random pixels over `colours` random
// entries, some of them repeated, their red a multiple of 32 plus `shift`.
inline ImagePtr randomPicture(std::mt19937& random, int width, int height, int colours, int shift = 0) {
    ImagePtr image(gdImageCreate(width, height));
    for (int i = 0; i < colours; ++i) {
        const int red = static_cast<int>(random() % 8) * 32 + shift;
        gdImageColorAllocate(image.get(), red, static_cast<int>(random() % 4) * 80, 255 - red);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            gdImageSetPixel(image.get(), x, y, static_cast<int>(random() % static_cast<unsigned>(colours)));
    return image;
}

// A copy of image: the same palette, entry for entry, and the same pixels.
inline ImagePtr clonePicture(gdImagePtr image) {
    ImagePtr copy(gdImageCreate(gdImageSX(image), gdImageSY(image)));
    for (int i = 0; i < image->colorsTotal; ++i)
        gdImageColorAllocate(copy.get(), image->red[i], image->green[i], image->blue[i]);
    for (int y = 0; y < gdImageSY(image); ++y)
        for (int x = 0; x < gdImageSX(image); ++x) copy->pixels[y][x] = image->pixels[y][x];
    return copy;
}

// Whether two palette images have the same palette and pixels.
inline bool samePicture(gdImagePtr a, gdImagePtr b) {
    if (gdImageSX(a) != gdImageSX(b) || gdImageSY(a) != gdImageSY(b) || a->colorsTotal != b->colorsTotal) return false;
    for (int i = 0; i < a->colorsTotal; ++i)
        if (a->red[i] != b->red[i] || a->green[i] != b->green[i] || a->blue[i] != b->blue[i]) return false;
    for (int y = 0; y < gdImageSY(a); ++y)
        for (int x = 0; x < gdImageSX(a); ++x)
            if (a->pixels[y][x] != b->pixels[y][x]) return false;
    return true;
}

}  // namespace orvex
