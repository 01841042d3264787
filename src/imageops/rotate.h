// Turning and scaling an icon into a square picture on a transparent ground.
#pragma once

#include "imageops/image.h"

namespace orvex {

// The side of rotateIcon's result: the icon's diagonal times scale, rounded
// up unless less than 0.0001 above a whole number. Computed in double so
// that absurd scales can be judged before an image is made.
double rotatedIconSide(int width, int height, double scale);

// A new n x n image (n = rotatedIconSide, at least 1) showing icon turned
// clockwise on the image by angle radians about its centre and scaled by
// scale. Entry 0 is the transparent ground: black, or white when colorMap is
// off. Each pixel takes the colour of the one icon pixel it maps to, or with
// resample the mean of up to 25 sub-samples that fall inside the icon.
// The icon is only read.
ImagePtr rotateIcon(gdImagePtr icon, double angle, double scale, bool resample, bool colorMap);

}  // namespace orvex
