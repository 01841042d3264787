#include "imageops/copy.h"
#include "imageops/palette.h"
#include "support/random_picture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvex;

namespace {

TEST(CopyPicture, GivesWhatGdImageCopyGives) {
    // Icons with and without a transparent index, copied whole or in part,
    // partly or wholly off the map, from regions reaching past the icon, onto
    // maps with and without a clipping rectangle whose palettes have room,
    // get full on the way, or are full already.
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        const int side = 1 + static_cast<int>(random() % 30);
        ImagePtr icon = randomPicture(random, side, side, 1 + static_cast<int>(random() % 40));
        if (round % 3 != 0) setTransparentIndex(icon.get(), static_cast<int>(random() % icon->colorsTotal));
        ImagePtr map = randomPicture(random, 40, 30, 1 + static_cast<int>(random() % 256), round % 2 == 0 ? 0 : 16);
        if (round % 5 == 0) gdImageSetClip(map.get(), 3, 4, 30, 20);
        ImagePtr expected = clonePicture(map.get());
        gdImageSetClip(expected.get(), map->cx1, map->cy1, map->cx2, map->cy2);
        const int x = static_cast<int>(random() % 60) - 20, y = static_cast<int>(random() % 50) - 20;
        const int sourceX = static_cast<int>(random() % 4) - 1, sourceY = static_cast<int>(random() % 4) - 1;
        const int width = static_cast<int>(random() % (side + 2)), height = static_cast<int>(random() % (side + 2));
        gdImageCopy(expected.get(), icon.get(), x, y, sourceX, sourceY, width, height);
        copyPicture(map.get(), icon.get(), x, y, sourceX, sourceY, width, height);
        EXPECT_TRUE(samePicture(map.get(), expected.get())) << round;
    }
}

TEST(CopyPicture, ScaledGivesWhatGdImageCopyResizedGives) {
    // Pictures stretched or shrunk over regions that end inside the map,
    // reach past its sides or lie partly off it, onto maps with and without
    // a clipping rectangle.
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const int sx = 1 + static_cast<int>(random() % 20), sy = 1 + static_cast<int>(random() % 20);
        ImagePtr picture = randomPicture(random, sx, sy, 1 + static_cast<int>(random() % 40));
        ImagePtr map = randomPicture(random, 40, 30, 1 + static_cast<int>(random() % 256), round % 2 == 0 ? 0 : 16);
        if (round % 5 == 0) gdImageSetClip(map.get(), 3, 4, 30, 20);
        ImagePtr expected = clonePicture(map.get());
        gdImageSetClip(expected.get(), map->cx1, map->cy1, map->cx2, map->cy2);
        const int x = static_cast<int>(random() % 50) - 10, y = static_cast<int>(random() % 40) - 10;
        const int width = 1 + static_cast<int>(random() % 45), height = 1 + static_cast<int>(random() % 35);
        const int sourceWidth = 1 + static_cast<int>(random() % sx), sourceHeight = 1 + static_cast<int>(random() % sy);
        gdImageCopyResized(expected.get(), picture.get(), x, y, 0, 0, width, height, sourceWidth, sourceHeight);
        copyPictureScaled(map.get(), picture.get(), x, y, width, height, sourceWidth, sourceHeight);
        EXPECT_TRUE(samePicture(map.get(), expected.get())) << round;
    }
}

TEST(CopyPicture, EntriesResolvedByEarlierCopiesGiveWhatGdGives) {
    // A few icons copied again and again onto one map, each with the
    // entries its earlier copies resolved, while the map's palette fills up
    // and then answers with its closest entries.
    std::mt19937 random(12);
    for (int round = 0; round < 20; ++round) {
        ImagePtr map = randomPicture(random, 60, 40, 200 + static_cast<int>(random() % 40));
        ImagePtr expected = clonePicture(map.get());
        std::vector<ImagePtr> icons;
        std::vector<ResolvedEntries> resolved(3);
        for (int k = 0; k < 3; ++k) {
            icons.push_back(randomPicture(random, 8 + k, 8 + k, 10 + 5 * k, 3 + k));
            if (k != 1) setTransparentIndex(icons.back().get(), 0);
        }
        for (int copy = 0; copy < 30; ++copy) {
            const auto k = static_cast<std::size_t>(random() % 3);
            const int x = static_cast<int>(random() % 70) - 10, y = static_cast<int>(random() % 50) - 10;
            const int side = gdImageSX(icons[k].get());
            gdImageCopy(expected.get(), icons[k].get(), x, y, 0, 0, side, side);
            copyPicture(map.get(), icons[k].get(), x, y, 0, 0, side, side, resolved[k]);
        }
        EXPECT_TRUE(samePicture(map.get(), expected.get())) << round;
    }
}

}  // namespace
