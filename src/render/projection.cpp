#include "render/projection.h"

#include <algorithm>

namespace {

double clampOffset(double v) { return std::clamp(v, -MAX_PIXEL_OFFSET, MAX_PIXEL_OFFSET); }

}  // namespace

PixelPoint projectAnchor(const RunSettings& s, double x, double y) {
    return {static_cast<int>(std::trunc(clampOffset((x - s.xMin) * s.scale + 0.5))),
            s.imageHeight - static_cast<int>(std::trunc(clampOffset((y - s.yMin) * s.scale + 0.5)))};
}

PixelPoint projectPoint(const RunSettings& s, double x, double y) {
    return {roundToInt(clampOffset((x - s.xMin) * s.scale)),
            s.imageHeight - roundToInt(clampOffset((y - s.yMin) * s.scale)) - 1};
}
