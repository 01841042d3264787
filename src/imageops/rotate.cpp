#include "imageops/rotate.h"

#include "imageops/palette.h"
#include "base/geometry.h"

#include <cassert>
#include <cmath>
#include <unordered_map>

namespace {

// Maps an offset from the output's pivot back into the icon (the inverse
// turn). Returns the icon's palette index there, or -1 outside the icon.
class InverseMapping {
public:
    InverseMapping(gdImagePtr icon, double angle, double scale)
        : icon_(icon), angle_(angle), scale_(scale), cx_(gdImageSX(icon) / 2), cy_(gdImageSY(icon) / 2) {}

    int sample(double dx, double dy) const {
        const double rho = std::sqrt(dx * dx + dy * dy) / scale_;
        const double theta = rho > 0.0001 ? std::atan2(dy, dx) : 0.0;
        const double phi = theta - angle_;
        const int u = roundToInt(cx_ + rho * std::cos(phi));
        const int v = roundToInt(cy_ + rho * std::sin(phi));
        return gdImageBoundsSafe(icon_, u, v) ? gdImageGetPixel(icon_, u, v) : -1;
    }

private:
    gdImagePtr icon_;
    double angle_, scale_;
    int cx_, cy_;
};

}  // namespace

double rotatedIconSide(int width, int height, double scale) {
    const double diagonal = std::sqrt(static_cast<double>(static_cast<long long>(width) * width + static_cast<long long>(height) * height));
    return std::trunc(diagonal * scale + 0.9999);
}

ImagePtr rotateIcon(gdImagePtr icon, double angle, double scale, bool resample, bool colorMap) {
    const int n = static_cast<int>(rotatedIconSide(gdImageSX(icon), gdImageSY(icon), scale));
    assert(n >= 1);
    ImagePtr output(gdImageCreate(n, n));
    gdImagePtr out = output.get();
    const int ground = colorMap ? 0 : 255;
    setTransparentIndex(out, gdImageColorAllocate(out, ground, ground, ground));

    // A colour resolves to the same entry every time, as the palette only
    // grows: remember each one.
    std::unordered_map<int, int> resolved;
    auto indexOf = [&](int red, int green, int blue) {
        const auto [it, isNew] = resolved.try_emplace((red << 16) | (green << 8) | blue, 0);
        if (isNew) it->second = resolveColor(out, red, green, blue);
        return it->second;
    };

    const InverseMapping mapping(icon, angle, scale);
    const int h = n / 2;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            int red = 0, green = 0, blue = 0;
            if (!resample) {
                const int c = mapping.sample(i - h, j - h);
                if (c < 0) continue;  // stays the transparent ground
                red = icon->red[c], green = icon->green[c], blue = icon->blue[c];
            } else {
                int count = 0;
                for (int l = 0; l < 5; ++l) {
                    for (int m = 0; m < 5; ++m) {
                        const int c = mapping.sample(i + 0.2 * l - 0.4 - h, j + 0.2 * m - 0.4 - h);
                        if (c < 0) continue;
                        red += icon->red[c], green += icon->green[c], blue += icon->blue[c];
                        ++count;
                    }
                }
                if (count == 0) continue;
                red /= count, green /= count, blue /= count;
            }
            gdImageSetPixel(out, i, j, indexOf(red, green, blue));
        }
    }
    return output;
}
