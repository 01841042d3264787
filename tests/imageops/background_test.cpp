#include "imageops/background.h"
#include "imageops/image.h"
#include "support/random_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace orvex;

namespace {

// A picture whose pixel (x, y) has the colour (x % 256, y % 256, 0) would
// need too many entries; instead each quadrant of the picture has its own
// colour, so where the copy lands shows which region was taken.
ImagePtr quadrants(int width, int height, int splitX, int splitY) {
    ImagePtr picture(gdImageCreate(width, height));
    const int colors[4] = {gdImageColorAllocate(picture.get(), 10, 0, 0), gdImageColorAllocate(picture.get(), 20, 0, 0),
                           gdImageColorAllocate(picture.get(), 30, 0, 0), gdImageColorAllocate(picture.get(), 40, 0, 0)};
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            gdImageSetPixel(picture.get(), x, y, colors[(x >= splitX) + 2 * (y >= splitY)]);
    return picture;
}

int redAt(gdImagePtr image, int x, int y) { return image->red[gdImageGetPixel(image, x, y)]; }

TEST(PlaceBackground, CropsToTheMapsAspectFromTheTopLeft) {
    // 400 x 400 onto 800 x 600: the top 400 x 300 is used; the split at row
    // 299 lands at the bottom row, the one at row 300 would be cut off.
    ImagePtr tall = quadrants(400, 400, 200, 299);
    ImagePtr map(gdImageCreate(800, 600));
    gdImageColorAllocate(map.get(), 0, 0, 0);
    placeBackground(map.get(), 0, 0, 800, 600, tall.get(), false);
    EXPECT_EQ(redAt(map.get(), 0, 0), 10);
    EXPECT_EQ(redAt(map.get(), 799, 0), 20);
    EXPECT_EQ(redAt(map.get(), 0, 599), 30);

    // 1000 x 300 onto 800 x 600: the left 400 x 300 is used.
    ImagePtr wide = quadrants(1000, 300, 399, 150);
    placeBackground(map.get(), 0, 0, 800, 600, wide.get(), false);
    EXPECT_EQ(redAt(map.get(), 797, 0), 10);
    EXPECT_EQ(redAt(map.get(), 799, 0), 20);
    EXPECT_EQ(redAt(map.get(), 0, 599), 30);
}

TEST(PlaceBackground, APictureFarFromTheMapsShapeStillCoversIt) {
    // Onto 50 x 3 the crop of a 2 x 60 picture would be 0 rows high, onto
    // 7 x 50 that of a 2 x 2 picture 0 columns wide: one is kept.
    const struct {
        int pictureWidth, pictureHeight, mapWidth, mapHeight;
    } cases[] = {{2, 60, 50, 3}, {2, 2, 7, 50}};
    for (const auto& c : cases) {
        ImagePtr picture = quadrants(c.pictureWidth, c.pictureHeight, 1, 1);
        ImagePtr map(gdImageCreate(c.mapWidth, c.mapHeight));
        gdImageColorAllocate(map.get(), 0, 0, 0);
        placeBackground(map.get(), 0, 0, c.mapWidth, c.mapHeight, picture.get(), false);
        for (int x = 0; x < c.mapWidth; ++x)
            for (int y = 0; y < c.mapHeight; ++y)
                ASSERT_GT(redAt(map.get(), x, y), 0) << c.mapWidth << " x " << c.mapHeight << " at " << x << "," << y;
    }
}

TEST(PlaceBackground, TilesFromTheCornerAndCopiesTheTransparentColour) {
    ImagePtr tile = quadrants(64, 64, 63, 63);
    gdImageColorTransparent(tile.get(), 0);
    ImagePtr map(gdImageCreate(640, 480));
    gdImageColorAllocate(map.get(), 0, 0, 0);
    placeBackground(map.get(), 0, 0, 640, 480, tile.get(), true);
    EXPECT_EQ(tile->transparent, -1);
    for (int x = 0; x < 640; x += 64) {
        EXPECT_EQ(redAt(map.get(), x, 0), 10);
        EXPECT_EQ(redAt(map.get(), x + 63, 447), 40);
        EXPECT_EQ(redAt(map.get(), x + 63, 479), 20);
    }
}

TEST(PlaceBackground, BackgroundCropWidthIsRounded) {
    // 9 x 3 onto a 50 x 20 map (ratio 2.5): 7.5 columns round to 8, so
    // column 7 shows at the map's right edge.
    ImagePtr picture(gdImageCreate(9, 3));
    gdImageColorAllocate(picture.get(), 10, 0, 0);
    const int seventh = gdImageColorAllocate(picture.get(), 70, 0, 0);
    gdImageLine(picture.get(), 7, 0, 7, 2, seventh);
    ImagePtr map(gdImageCreate(50, 20));
    gdImageColorAllocate(map.get(), 0, 0, 0);
    placeBackground(map.get(), 0, 0, 50, 20, picture.get(), false);
    EXPECT_EQ(redAt(map.get(), 49, 0), 70);
}

TEST(PlaceBackground, CropRoundingPastThePictureKeepsItsRows) {
    // 5 x 5 onto 10 x 11: the map's proportions give 5 columns exactly, and
    // 5.5 rows, which round past the picture's 5; so for 3 x 3 onto 10 x 12.
    // The whole picture is stretched over the map.
    std::mt19937 random(12);
    const struct {
        int side, mapWidth, mapHeight;
    } cases[] = {{5, 10, 11}, {3, 10, 12}};
    for (const auto& c : cases) {
        ImagePtr picture = randomPicture(random, c.side, c.side, 6);
        ImagePtr map(gdImageCreate(c.mapWidth, c.mapHeight));
        gdImageColorAllocate(map.get(), 0, 0, 0);
        ImagePtr expected = clonePicture(map.get());
        gdImageCopyResized(expected.get(), picture.get(), 0, 0, 0, 0, c.mapWidth, c.mapHeight, c.side, c.side);
        placeBackground(map.get(), 0, 0, c.mapWidth, c.mapHeight, picture.get(), false);
        EXPECT_TRUE(samePicture(map.get(), expected.get())) << c.side;
    }
}

TEST(PlaceBackground, TallBackgroundIsCroppedToTheMapsProportions) {
    // 400 x 400 onto 800 x 600: only rows 0-299 are used.
    ImagePtr picture(gdImageCreate(400, 400));
    gdImageColorAllocate(picture.get(), 10, 0, 0);
    const int below = gdImageColorAllocate(picture.get(), 40, 0, 0);
    gdImageFilledRectangle(picture.get(), 0, 300, 399, 399, below);
    ImagePtr map(gdImageCreate(800, 600));
    gdImageColorAllocate(map.get(), 0, 0, 0);
    placeBackground(map.get(), 0, 0, 800, 600, picture.get(), false);
    int shown = 0;
    for (int x = 0; x < 800; x += 7)
        for (int y = 0; y < 600; ++y) shown += redAt(map.get(), x, y) == 40;
    EXPECT_EQ(shown, 0);
}

TEST(PlaceBackground, GivesWhatGdsOwnCopiesGive) {
    // Pictures scaled up, down and not at all (the map's proportions, so
    // that nothing is cropped) and tiled, onto maps whose palettes have room,
    // get full on the way, or are full already, so that colours are found,
    // added and matched to the closest as gd does in the same order.
    std::mt19937 random(3);
    for (int round = 0; round < 60; ++round) {
        const int sx = 1 + static_cast<int>(random() % 40), sy = 1 + static_cast<int>(random() % 40);
        const int scale = static_cast<int>(random() % 3);
        const int mapWidth = scale == 0 ? sx : scale == 1 ? 3 * sx : std::max(1, sx / 2);
        const int mapHeight = scale == 0 ? sy : scale == 1 ? 3 * sy : std::max(1, sy / 2);
        const bool tiling = round % 4 == 0;
        if (!tiling && scale == 2 && (sx % 2 != 0 || sy % 2 != 0)) continue;  // would be cropped
        ImagePtr picture = randomPicture(random, sx, sy, 1 + static_cast<int>(random() % 256));
        // Half the maps have colours the pictures lack, so that a full
        // palette matches the closest.
        ImagePtr map = randomPicture(random, tiling ? 3 * sx + 5 : mapWidth, tiling ? 2 * sy + 3 : mapHeight,
                                     1 + static_cast<int>(random() % 256), round % 2 == 0 ? 0 : 16);
        const int w = gdImageSX(map.get()), h = gdImageSY(map.get());
        ImagePtr expected = clonePicture(map.get());
        if (tiling) {
            for (int y = 0; y <= h / sy; ++y)
                for (int x = 0; x <= w / sx; ++x) gdImageCopy(expected.get(), picture.get(), x * sx, y * sy, 0, 0, sx, sy);
        } else {
            gdImageCopyResized(expected.get(), picture.get(), 0, 0, 0, 0, w, h, sx, sy);
        }
        placeBackground(map.get(), 0, 0, w, h, picture.get(), tiling);
        EXPECT_TRUE(samePicture(map.get(), expected.get())) << round;
    }
}

}  // namespace
