// Copying one palette image into another as gdImageCopy does, pixel for
// pixel, without a gd call per pixel.
#pragma once

#include <gd.h>

// Copies the width x height region of `from` whose top-left is
// (sourceX, sourceY) onto `to` at (x, y). Each entry of `from` is resolved
// in the palette of `to` (exact, else new, else closest) when it is first
// met in reading order, even for a pixel that then falls outside the
// clipping rectangle of `to`, where nothing is written; pixels of the
// transparent index of `from` are left out, and a pixel outside the
// clipping rectangle of `from` reads as index 0. The images differ and are
// both palette images.
void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height);
