#include "imageops/rotate.h"

#include "base/geometry.h"
#include "imageops/palette.h"

#include <array>
#include <cassert>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

// An offset from the output's pivot in polar form, scaled back to the
// icon: the part of the inverse mapping that does not depend on the angle.
struct Polar {
    double rho, theta;
};

Polar polarOf(double dx, double dy, double scale) {
    const double rho = std::sqrt(dx * dx + dy * dy) / scale;
    return {rho, rho > 0.0001 ? std::atan2(dy, dx) : 0.0};
}

// The icon's palette index where an offset lands after the inverse turn by
// angle, or -1 outside the icon.
int sampleAt(gdImagePtr icon, const Polar& p, double angle) {
    const double phi = p.theta - angle;
    const int u = roundToInt(gdImageSX(icon) / 2 + p.rho * std::cos(phi));
    const int v = roundToInt(gdImageSY(icon) / 2 + p.rho * std::sin(phi));
    const bool inside = u >= icon->cx1 && u <= icon->cx2 && v >= icon->cy1 && v <= icon->cy2;
    return inside ? icon->pixels[v][u] : -1;
}

// One output picture with its palette: a colour resolves to the same entry
// every time, as the palette only grows, so each one is remembered, by the
// colour or by the icon entry that gave it.
class TurnedPicture {
public:
    TurnedPicture(int n, bool colorMap) : image_(gdImageCreate(n, n)) {
        const int ground = colorMap ? 0 : 255;
        setTransparentIndex(image_.get(), gdImageColorAllocate(image_.get(), ground, ground, ground));
        ofEntry_.fill(-1);
    }

    void set(int i, int j, int red, int green, int blue) {
        const auto [it, isNew] = resolved_.try_emplace((red << 16) | (green << 8) | blue, 0);
        if (isNew) it->second = resolveColor(image_.get(), red, green, blue);
        image_->pixels[j][i] = static_cast<unsigned char>(it->second);
    }

    // Pixel (i, j) in the colour of the icon's entry c.
    void setEntry(int i, int j, gdImagePtr icon, int c) {
        int& entry = ofEntry_[static_cast<std::size_t>(c)];
        if (entry < 0) entry = resolveColor(image_.get(), icon->red[c], icon->green[c], icon->blue[c]);
        image_->pixels[j][i] = static_cast<unsigned char>(entry);
    }

    ImagePtr release() { return std::move(image_); }

private:
    ImagePtr image_;
    std::unordered_map<int, int> resolved_;
    std::array<int, gdMaxColors> ofEntry_{};
};

}  // namespace

double rotatedIconSide(int width, int height, double scale) {
    const double diagonal = std::sqrt(static_cast<double>(static_cast<long long>(width) * width + static_cast<long long>(height) * height));
    return std::trunc(diagonal * scale + 0.9999);
}

std::vector<ImagePtr> rotateIconAll(gdImagePtr icon, const std::vector<double>& angles, double scale, bool resample,
                                    bool colorMap) {
    const int n = static_cast<int>(rotatedIconSide(gdImageSX(icon), gdImageSY(icon), scale));
    assert(n >= 1);
    std::vector<TurnedPicture> outputs;
    outputs.reserve(angles.size());
    for (std::size_t a = 0; a < angles.size(); ++a) outputs.emplace_back(n, colorMap);

    // Each output pixel is worked out for every angle at once: the polar
    // form of its samples is the same for all of them.
    const int h = n / 2;
    std::array<Polar, 25> samples{};
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (!resample) {
                const Polar p = polarOf(i - h, j - h, scale);
                for (std::size_t a = 0; a < angles.size(); ++a) {
                    const int c = sampleAt(icon, p, angles[a]);
                    if (c >= 0) outputs[a].setEntry(i, j, icon, c);
                    // else it stays the transparent ground
                }
                continue;
            }
            for (int l = 0; l < 5; ++l)
                for (int m = 0; m < 5; ++m)
                    samples[static_cast<std::size_t>(l) * 5 + m] =
                        polarOf(i + 0.2 * l - 0.4 - h, j + 0.2 * m - 0.4 - h, scale);
            for (std::size_t a = 0; a < angles.size(); ++a) {
                int red = 0, green = 0, blue = 0, count = 0;
                for (const Polar& p : samples) {
                    const int c = sampleAt(icon, p, angles[a]);
                    if (c < 0) continue;
                    red += icon->red[c], green += icon->green[c], blue += icon->blue[c];
                    ++count;
                }
                if (count > 0) outputs[a].set(i, j, red / count, green / count, blue / count);
            }
        }
    }
    std::vector<ImagePtr> images;
    images.reserve(outputs.size());
    for (TurnedPicture& output : outputs) images.push_back(output.release());
    return images;
}

ImagePtr rotateIcon(gdImagePtr icon, double angle, double scale, bool resample, bool colorMap) {
    return std::move(rotateIconAll(icon, {angle}, scale, resample, colorMap).front());
}
