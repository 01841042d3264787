// Palette helpers shared by everything that puts colours into gd images.
//
// Every palette entry of every image the program makes or loads stays
// opaque: transparency is marked by the transparent index alone, so that
// gd's exact and closest colour searches match on red, green and blue only.
#pragma once

#include <gd.h>

namespace orvex {

// The index that stands for (red, green, blue) in image: an entry with
// exactly that colour (the lowest one), else a new entry, else, with the
// palette full, the closest entry.
int resolveColor(gdImagePtr image, int red, int green, int blue);

// A new entry for (red, green, blue), even when an equal colour exists; with
// all 256 entries in use, the closest entry, so that the result is always an
// index within the palette.
int allocateColorOrClosest(gdImagePtr image, int red, int green, int blue);

// Marks every palette entry of image opaque.
void makePaletteOpaque(gdImagePtr image);

// Sets the transparent index (-1 for none) and keeps the entries opaque.
void setTransparentIndex(gdImagePtr image, int index);

}  // namespace orvex
