// Copying one palette image into another as gd's palette copies do, pixel
// for pixel, without a gd call per pixel. Each entry of `from` is resolved
// in the palette of `to` (exact, else new, else closest) when it is first
// met in reading order, and pixels outside the clipping rectangle of `to`
// stay as they are. The images differ and are both palette images.
#pragma once

#include <gd.h>

#include <array>

namespace orvex {

// The entries of one picture as resolved in the palette of the image it is
// copied onto, kept from one copy to the next. A resolution stays right
// while that image's palette only grows, as it does while a map is drawn:
// an entry once found or added keeps its index, and a full palette keeps
// its closest entries.
struct ResolvedEntries {
    ResolvedEntries() { pending.fill(1); }
    std::array<unsigned char, gdMaxColors> index{};
    // 1 for an entry to be resolved when it is first drawn; never for the
    // picture's transparent index, which is not drawn.
    std::array<unsigned char, gdMaxColors> pending{};
};

// As gdImageCopy: the width x height region of `from` whose top-left is
// (sourceX, sourceY) onto `to` at (x, y). Entries are resolved even for a
// pixel that then falls outside the clipping rectangle of `to`; pixels of
// the transparent index of `from` are left out, and a pixel outside the
// clipping rectangle of `from` reads as index 0.
void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height);

// The same, for a picture copied often: its entries resolved by earlier
// copies onto `to` are taken from `resolved`, and those it resolves are
// added there.
void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height,
                 ResolvedEntries& resolved);

// As gdImageCopyResized: the top-left sourceWidth x sourceHeight region of
// `from`, which lies inside it and has no transparent index, stretched over
// width x height pixels of `to` at (x, y) in gd's integer steps.
void copyPictureScaled(gdImagePtr to, gdImagePtr from, int x, int y, int width, int height, int sourceWidth,
                       int sourceHeight);

}  // namespace orvex
