// The map frame: the world extent, the scale and the image size that
// follows from them, and the mappings from map coordinates to pixels.
#pragma once

#include "base/geometry.h"

namespace orvex {

struct MapFrame {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double scale = 0;  // pixels per map unit
    int imageWidth = 0, imageHeight = 0;
};

// The anchor pixel of a game object: truncation after adding 0.5, with the
// row counted up from imageHeight, so (xMin, yMin) is (0, imageHeight), one
// row below the image.
PixelPoint projectAnchor(const MapFrame& frame, double x, double y);

// The pixel of a point of a track or thrust line: rounded, and one row
// higher than the anchor of the same point.
PixelPoint projectPoint(const MapFrame& frame, double x, double y);

}  // namespace orvex
