#include "imageops/image.h"
#include "quantise/octree.h"
#include "support/recording_reporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <tuple>
#include <vector>

using namespace orvex;

namespace {

using Colors = std::vector<PaletteColor>;

Colors paletteAfterAdding(const Colors& pixels, int budget) {
    Octree tree;
    for (const PaletteColor& c : pixels) {
        octreeAddColor(tree, c.red, c.green, c.blue);
        while (tree.leafCount > budget) octreeReduce(tree);
    }
    return octreeCollectPalette(tree);
}

TEST(Octree, PureColoursComeOutInChildOrder) {
    const Colors palette = paletteAfterAdding({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}}, 244);
    EXPECT_EQ(palette, (Colors{{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}}));
}

TEST(Octree, BudgetOfOneMergesNeighboursAndDropsTheFraction) {
    EXPECT_EQ(paletteAfterAdding({{0, 0, 0}, {0, 0, 1}}, 1), (Colors{{0, 0, 0}}));
}

TEST(Octree, ReductionTakesTheNewestNodeOfTheDeepestLevel) {
    EXPECT_EQ(paletteAfterAdding({{0, 0, 0}, {0, 0, 1}, {2, 0, 0}, {2, 0, 1}}, 3),
              (Colors{{0, 0, 0}, {0, 0, 1}, {2, 0, 0}}));
    EXPECT_EQ(paletteAfterAdding({{2, 0, 0}, {2, 0, 1}, {0, 0, 0}, {0, 0, 1}}, 3),
              (Colors{{0, 0, 0}, {2, 0, 0}, {2, 0, 1}}));
}

TEST(Octree, MergedMeanTruncates) {
    Octree tree;
    for (int i = 0; i < 3; ++i) octreeAddColor(tree, 255, 255, 255);
    octreeAddColor(tree, 254, 254, 254);
    while (tree.leafCount > 1) octreeReduce(tree);
    EXPECT_EQ(octreeCollectPalette(tree), (Colors{{254, 254, 254}}));
    // A colour arriving after its cell was reduced joins that leaf.
    octreeAddColor(tree, 254, 255, 254);
    EXPECT_EQ(tree.leafCount, 1);
}

TEST(Octree, PictureWithinBudgetIsReproducedExactlyAndSharedColoursAddUp) {
    ImagePtr picture(gdImageCreate(20, 12));
    Colors expected;
    for (int i = 0; i < 240; ++i) {
        const PaletteColor c{i, (i * 7) % 256, 255 - i};
        gdImageSetPixel(picture.get(), i % 20, i / 20, gdImageColorAllocate(picture.get(), c.red, c.green, c.blue));
        expected.push_back(c);
    }
    Octree tree;
    octreeAddImage(tree, picture.get(), OCTREE_BUDGET);
    octreeAddImage(tree, picture.get(), OCTREE_BUDGET);
    EXPECT_EQ(tree.leafCount, 240);
    Colors palette = octreeCollectPalette(tree);
    auto byValue = [](const PaletteColor& a, const PaletteColor& b) {
        return std::tie(a.red, a.green, a.blue) < std::tie(b.red, b.green, b.blue);
    };
    std::sort(palette.begin(), palette.end(), byValue);
    std::sort(expected.begin(), expected.end(), byValue);
    EXPECT_EQ(palette, expected);
}

TEST(Octree, LargeOneColouredPictureDoesNotOverflow) {
    // 9000 x 1000 white pixels overflow a 32-bit sum of 255s.
    ImagePtr picture(gdImageCreate(9000, 1000));
    gdImageColorAllocate(picture.get(), 255, 255, 255);
    Octree tree;
    octreeAddImage(tree, picture.get(), OCTREE_BUDGET);
    EXPECT_EQ(octreeCollectPalette(tree), (Colors{{255, 255, 255}}));
}

TEST(Octree, FullPaletteAllocatesNothingAndWarnsOnce) {
    Octree tree;
    octreeAddColor(tree, 1, 2, 3);
    octreeAddColor(tree, 4, 5, 6);
    ImagePtr image(gdImageCreate(4, 4));
    for (int i = 0; i < gdMaxColors; ++i) gdImageColorAllocate(image.get(), i, 0, 0);
    RecordingReporter reporter;
    EXPECT_EQ(octreeAllocatePalette(tree, image.get(), true, false, reporter), 0);
    EXPECT_EQ(reporter.reported,
              "**** Warning image color palette exhausted\n0 colors allocated\n");
}

TEST(Octree, DebugListsThePaletteAndItsSize) {
    Octree tree;
    octreeAddColor(tree, 0, 0, 255);
    octreeAddColor(tree, 0, 0, 0);
    ImagePtr image(gdImageCreate(4, 4));
    gdImageColorAllocate(image.get(), 9, 9, 9);
    RecordingReporter reporter;
    EXPECT_EQ(octreeAllocatePalette(tree, image.get(), true, true, reporter), 2);
    EXPECT_EQ(reporter.reported,
              "Palette 0 r-0 g-0 b-0\nPalette 1 r-0 g-0 b-255\nNumber colors in oct-tree 2\n2 colors allocated\n");
    EXPECT_EQ(image->blue[2], 255);  // after the entry that was there
}

// The tree the pixels make added one at a time, column by column, after
// the colours already in `seed`.
std::vector<PaletteColor> pixelByPixel(const std::vector<PaletteColor>& seed, gdImagePtr image, int budget) {
    Octree tree;
    for (const PaletteColor& c : seed) octreeAddColor(tree, c.red, c.green, c.blue);
    for (int x = 0; x < gdImageSX(image); ++x)
        for (int y = 0; y < gdImageSY(image); ++y) {
            const int c = gdImageGetPixel(image, x, y);
            octreeAddColor(tree, image->red[c], image->green[c], image->blue[c]);
            while (tree.leafCount > budget) octreeReduce(tree);
        }
    return octreeCollectPalette(tree);
}

TEST(Octree, AddImageEqualsAddingPixelByPixel) {
    // Random pictures over and under the budget, some entries sharing a
    // colour, some first met low in an early column, with runs along rows
    // and rows that repeat the one above, added to a tree that already
    // holds colours.
    std::mt19937 random(7);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    struct Shape {
        int width, height, colours;
        bool runs, repeats;
    };
    for (const Shape& shape : {Shape{600, 3, 256, false, false}, {7, 50, 256, false, false}, {40, 40, 30, false, false},
                               {1, 90, 200, false, false}, {50, 40, 256, true, false}, {30, 60, 256, true, true},
                               {45, 45, 100, false, true}}) {
        const int width = shape.width, height = shape.height, colours = shape.colours;
        ImagePtr picture(gdImageCreate(width, height));
        for (int i = 0; i < colours; ++i) {
            const int shade = below(64) * 4;
            gdImageColorAllocate(picture.get(), shade, below(256), i % 3 == 0 ? 7 : shade);
        }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture->pixels[y][x] = static_cast<unsigned char>(
                    x > 0 && shape.runs && below(2) == 0 ? picture->pixels[y][x - 1] : below(colours));
        for (int y = 1; y < height; ++y)
            if (shape.repeats && below(3) == 0) std::copy_n(picture->pixels[y - 1], width, picture->pixels[y]);
        const std::vector<PaletteColor> seed{{0, 0, 0}, {255, 255, 255}, {128, 64, 32}};
        for (int budget : {OCTREE_BUDGET, 16, 1}) {
            Octree tree;
            for (const PaletteColor& c : seed) octreeAddColor(tree, c.red, c.green, c.blue);
            octreeAddImage(tree, picture.get(), budget);
            EXPECT_LE(tree.leafCount, budget);
            EXPECT_EQ(octreeCollectPalette(tree), pixelByPixel(seed, picture.get(), budget)) << width << " " << budget;
        }
    }
}

TEST(Octree, BudgetOfOneReducesTheRoot) {
    Octree tree;
    octreeAddColor(tree, 0, 0, 0);
    octreeAddColor(tree, 255, 255, 255);
    while (tree.leafCount > 1) octreeReduce(tree);
    EXPECT_EQ(octreeCollectPalette(tree), (std::vector<PaletteColor>{{127, 127, 127}}));
}

}  // namespace
