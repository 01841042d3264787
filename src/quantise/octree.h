// The run-wide colour octree. The background picture and every icon add
// their pixels to it; it keeps at most a given number of leaves by merging
// the deepest, most recently made cells, and finally gives one palette
// entry per leaf to the output image.
#pragma once

#include "base/reporter.h"

#include <gd.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvex {

// The leaf budget both pictures and icons are added with: 256 palette
// entries less the twelve colour roles.
constexpr int OCTREE_BUDGET = 244;

struct OctreeNode {
    bool isLeaf = false;
    // 64-bit, so that a large one-coloured picture cannot overflow a sum.
    std::int64_t pixelCount = 0;
    std::int64_t redSum = 0;
    std::int64_t greenSum = 0;
    std::int64_t blueSum = 0;
    std::array<std::unique_ptr<OctreeNode>, 8> child;
    OctreeNode* nextReducible = nullptr;  // next unreduced interior node of the same level
};

struct Octree {
    std::unique_ptr<OctreeNode> root;
    int leafCount = 0;
    // Per level, the unreduced interior nodes, most recently made first.
    std::array<OctreeNode*, 8> reducible{};
};

struct PaletteColor {
    int red, green, blue;
    bool operator==(const PaletteColor&) const = default;
};

// The pixels of a palette image by colour: for each entry that some pixel
// uses, its colour and number of pixels, in the order in which the entries'
// first pixels come when the image is read column by column.
struct ImageColor {
    int red, green, blue;
    std::int64_t count;
};
std::vector<ImageColor> imageColors(gdImagePtr image);

// Adds the pixels of an image, given by imageColors: the same as adding
// every pixel, column by column, and after each pixel reducing the tree
// until it holds at most maxColors (>= 1) leaves.
void octreeAddColors(Octree& tree, const std::vector<ImageColor>& colors, int maxColors);

// Both at once, for an image added once.
void octreeAddImage(Octree& tree, gdImagePtr image, int maxColors);

// Adds count pixels of the given colour; returns the leaf that holds them.
OctreeNode& octreeAddColor(Octree& tree, int red, int green, int blue, std::int64_t count = 1);

// Merges the children of the most recently made node of the deepest level
// that has unreduced nodes.
void octreeReduce(Octree& tree);

// The mean colour of every leaf, depth-first in child order.
std::vector<PaletteColor> octreeCollectPalette(const Octree& tree);

// Allocates the collected colours in image after the entries it holds,
// stopping with a warning when its palette is full. Reports the count with
// verbose and the listing with debug. Returns the number allocated.
int octreeAllocatePalette(const Octree& tree, gdImagePtr image, bool verbose, bool debug, Reporter& reporter);

}  // namespace orvex
