#include "base/map_frame.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

double clampOffset(double v) { return std::clamp(v, -MAX_PIXEL_OFFSET, MAX_PIXEL_OFFSET); }

}  // namespace

PixelPoint projectAnchor(const MapFrame& f, double x, double y) {
    return {static_cast<int>(std::trunc(clampOffset((x - f.xMin) * f.scale + 0.5))),
            f.imageHeight - static_cast<int>(std::trunc(clampOffset((y - f.yMin) * f.scale + 0.5)))};
}

PixelPoint projectPoint(const MapFrame& f, double x, double y) {
    return {roundToInt(clampOffset((x - f.xMin) * f.scale)),
            f.imageHeight - roundToInt(clampOffset((y - f.yMin) * f.scale)) - 1};
}

}  // namespace orvex
