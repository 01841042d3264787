// Copying one palette image into another as gd's palette copies do, pixel
// for pixel, without a gd call per pixel. Each entry of `from` is resolved
// in the palette of `to` (exact, else new, else closest) when it is first
// met in reading order, and pixels outside the clipping rectangle of `to`
// stay as they are. The images differ and are both palette images.
#pragma once

#include <gd.h>

namespace orvex {

// As gdImageCopy: the width x height region of `from` whose top-left is
// (sourceX, sourceY) onto `to` at (x, y). Entries are resolved even for a
// pixel that then falls outside the clipping rectangle of `to`; pixels of
// the transparent index of `from` are left out, and a pixel outside the
// clipping rectangle of `from` reads as index 0.
void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height);

// As gdImageCopyResized: the top-left sourceWidth x sourceHeight region of
// `from`, which lies inside it and has no transparent index, stretched over
// width x height pixels of `to` at (x, y) in gd's integer steps.
void copyPictureScaled(gdImagePtr to, gdImagePtr from, int x, int y, int width, int height, int sourceWidth,
                       int sourceHeight);

}  // namespace orvex
