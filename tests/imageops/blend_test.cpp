#include "imageops/blend.h"
#include "imageops/image.h"

#include <gtest/gtest.h>

using namespace orvex;

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb colorAt(gdImagePtr image, int x, int y) {
    const int c = gdImageGetPixel(image, x, y);
    return {image->red[c], image->green[c], image->blue[c]};
}

ImagePtr filled(int width, int height, Rgb color) {
    ImagePtr image(gdImageCreate(width, height));
    gdImageColorAllocate(image.get(), color.r, color.g, color.b);
    return image;
}

int countColor(gdImagePtr image, Rgb color) {
    int count = 0;
    for (int x = 0; x < gdImageSX(image); ++x)
        for (int y = 0; y < gdImageSY(image); ++y) count += colorAt(image, x, y) == color;
    return count;
}

TEST(Fade, DarkensByPercentTruncating) {
    ImagePtr image = filled(4, 4, {200, 100, 55});
    fadeRect(image.get(), 0, 0, 0, 0, 25);
    fadeRect(image.get(), 1, 1, 1, 1, 50);
    fadeRect(image.get(), 2, 2, 2, 2, 100);
    EXPECT_EQ(colorAt(image.get(), 0, 0), (Rgb{150, 75, 41}));
    EXPECT_EQ(colorAt(image.get(), 1, 1), (Rgb{100, 50, 27}));
    EXPECT_EQ(colorAt(image.get(), 2, 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(countColor(image.get(), {200, 100, 55}), 13);
}

TEST(Fade, RectangleIsInclusiveAndEmptyWhenReversed) {
    ImagePtr image = filled(10, 10, {100, 100, 100});
    fadeRect(image.get(), 2, 3, 4, 7, 50);
    EXPECT_EQ(countColor(image.get(), {50, 50, 50}), 15);
    fadeRect(image.get(), 5, 5, 4, 7, 50);
    EXPECT_EQ(countColor(image.get(), {50, 50, 50}), 15);
}

TEST(Fade, DiscCoversThePixelsWithinItsRadius) {
    // The lattice points within each radius: 1, 5, 13, 29, 49, 81, then
    // r = 10 and r = 12.
    for (auto [radius, pixels] : {std::pair{0, 1}, {1, 5}, {2, 13}, {3, 29}, {4, 49}, {5, 81}, {10, 317}, {12, 441}}) {
        ImagePtr image = filled(25, 25, {100, 100, 100});
        fadeDisc(image.get(), 12, 12, radius, 50);
        EXPECT_EQ(countColor(image.get(), {50, 50, 50}), pixels) << "radius " << radius;
        // Its rim: the pixels r away along the axes, none at the corners.
        EXPECT_EQ(gdImageGetPixel(image.get(), 12 + radius, 12), gdImageGetPixel(image.get(), 12, 12));
        if (radius > 0) {
            EXPECT_NE(gdImageGetPixel(image.get(), 12 + radius, 12 + radius), gdImageGetPixel(image.get(), 12, 12));
        }
    }
}

TEST(Fade, NewColoursAreAddedColumnByColumn) {
    ImagePtr image = filled(2, 2, {100, 100, 100});
    gdImageSetPixel(image.get(), 0, 1, gdImageColorAllocate(image.get(), 200, 200, 200));
    gdImageSetPixel(image.get(), 1, 0, gdImageColorAllocate(image.get(), 40, 40, 40));
    fadeRect(image.get(), 0, 0, 1, 1, 50);
    // (0,0), then (0,1), then (1,0): 50, 100 (already entry 0), 20.
    EXPECT_EQ((Rgb{image->red[3], image->green[3], image->blue[3]}), (Rgb{50, 50, 50}));
    EXPECT_EQ(gdImageGetPixel(image.get(), 0, 1), 0);
    EXPECT_EQ((Rgb{image->red[4], image->green[4], image->blue[4]}), (Rgb{20, 20, 20}));

    // A column that starts above the image meets the outside first, so the
    // darkened ground comes before the darkened pixel below it.
    ImagePtr above = filled(2, 2, {100, 100, 100});
    gdImageSetPixel(above.get(), 0, 0, gdImageColorAllocate(above.get(), 60, 60, 60));
    fadeRect(above.get(), 0, -2, 0, 0, 50);
    EXPECT_EQ((Rgb{above->red[2], above->green[2], above->blue[2]}), (Rgb{50, 50, 50}));
    EXPECT_EQ((Rgb{above->red[3], above->green[3], above->blue[3]}), (Rgb{30, 30, 30}));
}

TEST(Fade, OutsideTheImageDrawsNothingButResolvesTheDarkenedGround) {
    ImagePtr image = filled(4, 4, {100, 100, 100});
    fadeRect(image.get(), 10, 10, 1000000, 1000000, 50);
    EXPECT_EQ(gdImageColorsTotal(image.get()), 2);
    EXPECT_EQ(countColor(image.get(), {100, 100, 100}), 16);
    fadeDisc(image.get(), -3, -3, 2, 25);
    EXPECT_EQ(gdImageColorsTotal(image.get()), 3);

    // A rectangle reaching past the image changes only the pixels inside.
    ImagePtr other = filled(4, 4, {100, 100, 100});
    fadeRect(other.get(), -5, 2, 10, 10, 50);
    EXPECT_EQ(countColor(other.get(), {50, 50, 50}), 8);
}

// Shapes that miss the image by one pixel, on each side, change no pixel
// and still resolve the darkened ground.
TEST(Fade, ShapesJustPastOneSideDrawNothing) {
    struct Shape {
        bool disc;
        int a, b, c, d;  // a rectangle's corners, or a disc's centre and radius
    };
    const Shape shapes[] = {
        {false, -1, 0, -1, 3}, {false, 4, 0, 4, 3}, {false, 0, -1, 3, -1}, {false, 0, 4, 3, 4},
        {true, -2, 1, 1, 0},   {true, 5, 2, 1, 0},  {true, 1, -2, 1, 0},   {true, 2, 5, 1, 0},
    };
    for (const Shape& shape : shapes) {
        ImagePtr image = filled(4, 4, {100, 100, 100});
        if (shape.disc) fadeDisc(image.get(), shape.a, shape.b, shape.c, 50);
        else fadeRect(image.get(), shape.a, shape.b, shape.c, shape.d, 50);
        EXPECT_EQ(countColor(image.get(), {100, 100, 100}), 16) << shape.a << "," << shape.b;
        EXPECT_EQ(gdImageColorsTotal(image.get()), 2) << shape.a << "," << shape.b;
    }
}

TEST(Fade, FullPaletteFallsBackToTheClosestEntry) {
    ImagePtr image = filled(2, 2, {200, 200, 200});
    for (int i = 1; i < gdMaxColors; ++i) gdImageColorAllocate(image.get(), i % 2 ? 255 : 98, 0, 0);
    fadeRect(image.get(), 0, 0, 0, 0, 50);
    EXPECT_EQ(colorAt(image.get(), 0, 0), (Rgb{98, 0, 0}));
}

TEST(ReplaceColor, SwapExchangesAndComparesByValue) {
    ImagePtr image(gdImageCreate(3, 1));
    const int black = gdImageColorAllocate(image.get(), 0, 0, 0);
    const int white = gdImageColorAllocate(image.get(), 255, 255, 255);
    const int blackAgain = gdImageColorAllocate(image.get(), 0, 0, 0);
    const int red = gdImageColorAllocate(image.get(), 255, 0, 0);
    gdImageSetPixel(image.get(), 0, 0, white);
    gdImageSetPixel(image.get(), 1, 0, blackAgain);
    gdImageSetPixel(image.get(), 2, 0, red);

    replaceColor(image.get(), black, white, true);
    EXPECT_EQ(gdImageGetPixel(image.get(), 0, 0), black);
    EXPECT_EQ(gdImageGetPixel(image.get(), 1, 0), white);
    EXPECT_EQ(gdImageGetPixel(image.get(), 2, 0), red);

    replaceColor(image.get(), white, red, false);
    EXPECT_EQ(gdImageGetPixel(image.get(), 0, 0), black);
    EXPECT_EQ(gdImageGetPixel(image.get(), 1, 0), red);
}

TEST(ReplaceColor, PixelsOutsideTheClippingRectangleStay) {
    // As gd reads and writes them: only within the clipping rectangle.
    ImagePtr image = filled(6, 4, {0, 0, 0});
    const int white = gdImageColorAllocate(image.get(), 255, 255, 255);
    gdImageSetClip(image.get(), 1, 1, 3, 2);
    replaceColor(image.get(), 0, white, false);
    EXPECT_EQ(countColor(image.get(), {255, 255, 255}), 6);
    EXPECT_EQ(gdImageGetPixel(image.get(), 1, 1), white);
    EXPECT_EQ(gdImageGetPixel(image.get(), 0, 0), 0);
    EXPECT_EQ(gdImageGetPixel(image.get(), 4, 2), 0);
}

}  // namespace
