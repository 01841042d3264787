#include "imageops/rotate.h"

#include "base/geometry.h"
#include "imageops/palette.h"

#include <array>
#include <cassert>
#include <cmath>
#include <unordered_map>

namespace orvex {

namespace {

// Where an offset from the output's pivot lands in the icon under the
// inverse turn. The polar form of the offset, turned back by the angle,
// is a linear map of the offset: u = cx + (dx cos a + dy sin a) / scale,
// v = cy + (dy cos a - dx sin a) / scale. Worked out that way it costs two
// products a coordinate; worked out through the polar form, as the turn is
// defined, its roundings differ only in the last bits. So the linear map is
// taken unless a coordinate lies so near a half that those bits could round
// it the other way, or the offset is so near the pivot that the polar form
// takes its angle as 0: there the polar form is worked out.
class InverseTurn {
public:
    InverseTurn(gdImagePtr icon, double angle, double scale)
        : icon_(icon),
          angle_(angle),
          scale_(scale),
          cx_(gdImageSX(icon) / 2),
          cy_(gdImageSY(icon) / 2),
          cosine_(std::cos(angle) / scale),
          sine_(std::sin(angle) / scale),
          // Twice the distance at which the polar form takes the angle as 0.
          nearPivot_(4e-8 * scale * scale) {}

    // The icon's palette index at offset (dx, dy), or -1 outside the icon.
    int sample(double dx, double dy) const {
        const double u = cx_ + dx * cosine_ + dy * sine_;
        const double v = cy_ + dy * cosine_ - dx * sine_;
        // Both coordinates are small (an offset lies at most the icon's
        // diagonal plus 0.4 / scale from the pivot, and a scale makes a side
        // of 0.0001 or more): their whole parts, taken by conversion, are
        // their floors, and away from a half they round as roundToInt does.
        const double au = std::fabs(u), av = std::fabs(v);
        if (au < SMALL && av < SMALL) {
            const int wu = static_cast<int>(au), wv = static_cast<int>(av);
            const double fu = au - wu, fv = av - wv;
            if (std::fabs(fu - 0.5) >= 1e-6 && std::fabs(fv - 0.5) >= 1e-6 && dx * dx + dy * dy > nearPivot_) {
                const int ru = wu + (fu > 0.5 ? 1 : 0), rv = wv + (fv > 0.5 ? 1 : 0);
                return indexAt(u < 0 ? -ru : ru, v < 0 ? -rv : rv);
            }
        }
        return polarSample(dx, dy);
    }

    // True when no offset within 0.4 pixel of (dx, dy) either way maps into
    // the icon: the inverse turn moves points by 1 / scale times their
    // distance, and a point maps in only within half a pixel of the icon.
    bool allOutside(double dx, double dy) const {
        const double u = cx_ + dx * cosine_ + dy * sine_;
        const double v = cy_ + dy * cosine_ - dx * sine_;
        const double reach = 0.5 + SUB_SAMPLE_REACH / scale_ + 1e-6;
        return u < icon_->cx1 - reach || u > icon_->cx2 + reach || v < icon_->cy1 - reach || v > icon_->cy2 + reach;
    }

private:
    // Below this, a coordinate's whole part fits an int with room to round.
    static constexpr double SMALL = 1 << 30;
    // How far a sub-sample lies from its pixel's position at most: 0.4
    // pixel each way, with room for the roundings of its offset.
    static constexpr double SUB_SAMPLE_REACH = 0.5658;

    int indexAt(int u, int v) const {
        const bool inside = u >= icon_->cx1 && u <= icon_->cx2 && v >= icon_->cy1 && v <= icon_->cy2;
        return inside ? icon_->pixels[v][u] : -1;
    }

    int polarSample(double dx, double dy) const {
        const double rho = std::sqrt(dx * dx + dy * dy) / scale_;
        const double phi = (rho > 0.0001 ? std::atan2(dy, dx) : 0.0) - angle_;
        return indexAt(roundToInt(cx_ + rho * std::cos(phi)), roundToInt(cy_ + rho * std::sin(phi)));
    }

    gdImagePtr icon_;
    double angle_, scale_;
    double cx_, cy_;
    double cosine_, sine_;
    double nearPivot_;
};

// The output picture with its palette: a colour resolves to the same entry
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

ImagePtr rotateIcon(gdImagePtr icon, double angle, double scale, bool resample, bool colorMap) {
    const int n = static_cast<int>(rotatedIconSide(gdImageSX(icon), gdImageSY(icon), scale));
    assert(n >= 1);
    TurnedPicture output(n, colorMap);
    const InverseTurn turn(icon, angle, scale);
    const int h = n / 2;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (!resample) {
                const int c = turn.sample(i - h, j - h);
                if (c >= 0) output.setEntry(i, j, icon, c);
                continue;  // else it stays the transparent ground
            }
            // 5 x 5 sub-samples, 0.2 pixel apart round the pixel's position;
            // none of them falls in the icon when the position lies far off.
            if (turn.allOutside(i - h, j - h)) continue;
            int red = 0, green = 0, blue = 0, count = 0;
            for (int l = 0; l < 5; ++l) {
                for (int m = 0; m < 5; ++m) {
                    const int c = turn.sample(i + 0.2 * l - 0.4 - h, j + 0.2 * m - 0.4 - h);
                    if (c < 0) continue;
                    red += icon->red[c], green += icon->green[c], blue += icon->blue[c];
                    ++count;
                }
            }
            if (count > 0) output.set(i, j, red / count, green / count, blue / count);
        }
    }
    return output.release();
}

}  // namespace orvex
