#include "imageops/rotate.h"
#include "base/geometry.h"
#include "imageops/palette.h"
#include "support/random_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace orvex;

namespace {

// A black icon with one red pixel right of the pivot.
ImagePtr iconWithFeature(int width, int height, int dx) {
    ImagePtr icon(gdImageCreate(width, height));
    gdImageColorAllocate(icon.get(), 0, 0, 0);
    const int red = gdImageColorAllocate(icon.get(), 255, 0, 0);
    gdImageSetPixel(icon.get(), width / 2 + dx, height / 2, red);
    return icon;
}

bool isRed(gdImagePtr image, int x, int y) {
    const int c = gdImageGetPixel(image, x, y);
    return image->red[c] == 255 && image->green[c] == 0;
}

TEST(RotateIcon, SideIsTheScaledDiagonalRoundedUp) {
    ImagePtr a(gdImageCreate(32, 32)), b(gdImageCreate(20, 10));
    gdImageColorAllocate(a.get(), 0, 0, 0);
    gdImageColorAllocate(b.get(), 0, 0, 0);
    EXPECT_EQ(gdImageSX(rotateIcon(a.get(), 0, 1.0, false, true).get()), 46);
    EXPECT_EQ(gdImageSY(rotateIcon(b.get(), 0, 0.5, false, true).get()), 12);
    EXPECT_EQ(rotatedIconSide(3, 4, 2.0), 10);  // exactly whole: not rounded up
}

TEST(RotateIcon, AngleZeroCopiesPixelsAroundThePivot) {
    ImagePtr icon(gdImageCreate(5, 3));
    gdImageColorAllocate(icon.get(), 0, 0, 0);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 3; ++y) gdImageSetPixel(icon.get(), x, y, gdImageColorAllocate(icon.get(), 10 * x + 1, y, 7));
    ImagePtr out = rotateIcon(icon.get(), 0, 1.0, false, true);
    const int h = gdImageSX(out.get()) / 2;
    ASSERT_EQ(gdImageSX(out.get()), 6);
    EXPECT_EQ(out->transparent, 0);
    for (int x = 0; x < 5; ++x) {
        for (int y = 0; y < 3; ++y) {
            const int c = gdImageGetPixel(out.get(), h + x - 2, h + y - 1);
            EXPECT_EQ(out->red[c], 10 * x + 1);
            EXPECT_EQ(out->green[c], y);
        }
    }
    EXPECT_EQ(gdImageGetPixel(out.get(), 0, 0), 0);
    EXPECT_EQ(out->alpha[0], gdAlphaOpaque);
}

TEST(RotateIcon, TurnsClockwiseOnTheImage) {
    ImagePtr icon = iconWithFeature(9, 9, 2);
    ImagePtr quarter = rotateIcon(icon.get(), 3 * 0.5235987755982988, 1.0, false, true);
    ImagePtr half = rotateIcon(icon.get(), 6 * 0.5235987755982988, 1.0, false, true);
    const int h = gdImageSX(quarter.get()) / 2;
    EXPECT_TRUE(isRed(quarter.get(), h, h + 2));
    EXPECT_TRUE(isRed(half.get(), h - 2, h));
}

TEST(RotateIcon, GroundColouredPixelsBecomeTransparent) {
    ImagePtr icon(gdImageCreate(4, 4));
    gdImageColorAllocate(icon.get(), 255, 255, 255);  // white icon; bitonal ground is white
    ImagePtr out = rotateIcon(icon.get(), 0.3, 1.0, false, false);
    EXPECT_EQ(gdImageColorsTotal(out.get()), 1);
    EXPECT_EQ(out->red[0], 255);
    EXPECT_EQ(out->transparent, 0);
}

TEST(RotateIcon, ResampledRimTakesOnlyItsInsideSamples) {
    ImagePtr icon(gdImageCreate(4, 4));
    gdImageColorAllocate(icon.get(), 200, 100, 50);
    ImagePtr out = rotateIcon(icon.get(), 0, 1.0, true, true);
    // Every pixel with any inside sample is the icon's colour, never a mix
    // with the ground.
    for (int x = 0; x < gdImageSX(out.get()); ++x) {
        for (int y = 0; y < gdImageSY(out.get()); ++y) {
            const int c = gdImageGetPixel(out.get(), x, y);
            if (c != 0) {
                EXPECT_EQ(out->red[c], 200);
            }
        }
    }
    EXPECT_EQ(gdImageColorsTotal(out.get()), 2);
}

TEST(RotateIcon, ResampledMeanFloorsTheSums) {
    // Two columns, 0 and 101 in red: a pixel on the boundary averages them.
    ImagePtr icon(gdImageCreate(2, 1));
    gdImageColorAllocate(icon.get(), 0, 0, 0);
    gdImageSetPixel(icon.get(), 1, 0, gdImageColorAllocate(icon.get(), 101, 0, 0));
    ImagePtr out = rotateIcon(icon.get(), 0, 4.0, true, true);
    bool sawMix = false;
    for (int x = 0; x < gdImageSX(out.get()); ++x) {
        for (int y = 0; y < gdImageSY(out.get()); ++y) {
            const int r = out->red[gdImageGetPixel(out.get(), x, y)];
            sawMix = sawMix || (r > 0 && r < 101);
        }
    }
    EXPECT_TRUE(sawMix);
}

// The turn as defined: each sample's offset taken to polar form and turned
// back by the angle, one gd call per pixel.
ImagePtr plainTurn(gdImagePtr icon, double angle, double scale, bool resample, bool colorMap) {
    const int n = static_cast<int>(rotatedIconSide(gdImageSX(icon), gdImageSY(icon), scale));
    ImagePtr out(gdImageCreate(n, n));
    const int ground = colorMap ? 0 : 255;
    setTransparentIndex(out.get(), gdImageColorAllocate(out.get(), ground, ground, ground));
    auto sample = [&](double dx, double dy) {
        const double rho = std::sqrt(dx * dx + dy * dy) / scale;
        const double phi = (rho > 0.0001 ? std::atan2(dy, dx) : 0.0) - angle;
        const int u = roundToInt(gdImageSX(icon) / 2 + rho * std::cos(phi));
        const int v = roundToInt(gdImageSY(icon) / 2 + rho * std::sin(phi));
        return gdImageBoundsSafe(icon, u, v) ? gdImageGetPixel(icon, u, v) : -1;
    };
    const int h = n / 2;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            int red = 0, green = 0, blue = 0, count = 0;
            for (int l = 0; l < (resample ? 5 : 1); ++l) {
                for (int m = 0; m < (resample ? 5 : 1); ++m) {
                    const int c = resample ? sample(i + 0.2 * l - 0.4 - h, j + 0.2 * m - 0.4 - h) : sample(i - h, j - h);
                    if (c < 0) continue;
                    red += icon->red[c], green += icon->green[c], blue += icon->blue[c];
                    ++count;
                }
            }
            if (count > 0) gdImageSetPixel(out.get(), i, j, resolveColor(out.get(), red / count, green / count, blue / count));
        }
    }
    return out;
}

TEST(RotateIcon, MatchesThePolarTurnOnRandomIcons) {
    std::mt19937 random(20261207);
    // Scales that put many samples exactly on halves, and others.
    const double scales[] = {1.0, 0.5, 2.0, 1.5, 0.25, 3.0, 0.7, 1.3};
    for (int round = 0; round < 120; ++round) {
        const int width = 1 + static_cast<int>(random() % 17), height = 1 + static_cast<int>(random() % 17);
        ImagePtr icon = randomPicture(random, width, height, 1 + static_cast<int>(random() % 6));
        const double scale = round % 3 == 0 ? 0.2 + (random() % 1000) / 300.0 : scales[round % 8];
        const double angle = round % 4 == 0 ? (random() % 100000) / 10000.0 : (round % 12) * STEP_ANGLE;
        const bool resample = round % 2 == 1, colorMap = round % 5 != 0;
        ImagePtr fast = rotateIcon(icon.get(), angle, scale, resample, colorMap);
        ImagePtr plain = plainTurn(icon.get(), angle, scale, resample, colorMap);
        EXPECT_TRUE(samePicture(fast.get(), plain.get()))
            << width << " x " << height << " at " << angle << ", scale " << scale << (resample ? ", resampled" : "");
    }
}

TEST(RotatedIconSide, TurnedSideIsNotRoundedUpWithin0001OfAWholeNumber) {
    EXPECT_EQ(rotatedIconSide(3, 4, 2.00001), 10);  // 10.00005
    EXPECT_EQ(rotatedIconSide(3, 4, 2.0001), 11);   // 10.0005
}

}  // namespace
