#include "imageops/copy.h"
#include "imageops/palette.h"
#include "support/random_picture.h"

#include <gtest/gtest.h>

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

}  // namespace
