// Giving colour roles their palette entries in the output image.
#pragma once

#include <gd.h>

// A new palette entry for a role colour. Equal colours are not shared. With
// all 256 entries in use the role takes the closest existing entry, so a
// role never holds an index outside the palette.
int allocateRoleColor(gdImagePtr image, int red, int green, int blue);
