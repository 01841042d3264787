#include "quantise/octree.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

namespace {

constexpr int LEAF_LEVEL = 8;

OctreeNode* octreeNewNode(Octree& tree, int level) {
    auto* node = new OctreeNode;
    if (level == LEAF_LEVEL) {
        node->isLeaf = true;
        ++tree.leafCount;
    } else {
        node->nextReducible = tree.reducible[level];
        tree.reducible[level] = node;
    }
    return node;
}

void addToLeaf(OctreeNode& leaf, int red, int green, int blue, std::int64_t count) {
    leaf.pixelCount += count;
    leaf.redSum += red * count;
    leaf.greenSum += green * count;
    leaf.blueSum += blue * count;
}

int childIndex(int red, int green, int blue, int level) {
    const int mask = 128 >> level;
    const int shift = 7 - level;
    return ((red & mask) >> shift) * 4 + ((green & mask) >> shift) * 2 + ((blue & mask) >> shift);
}

void collect(const OctreeNode& node, std::vector<PaletteColor>& palette) {
    if (!node.isLeaf) {
        for (const auto& child : node.child)
            if (child) collect(*child, palette);
        return;
    }
    palette.push_back({static_cast<int>(node.redSum / node.pixelCount), static_cast<int>(node.greenSum / node.pixelCount),
                       static_cast<int>(node.blueSum / node.pixelCount)});
}

}  // namespace

OctreeNode& octreeAddColor(Octree& tree, int red, int green, int blue, std::int64_t count) {
    std::unique_ptr<OctreeNode>* slot = &tree.root;
    for (int level = 0;; ++level) {
        if (!*slot) slot->reset(octreeNewNode(tree, level));
        OctreeNode& node = **slot;
        if (node.isLeaf) {
            addToLeaf(node, red, green, blue, count);
            return node;
        }
        slot = &node.child[childIndex(red, green, blue, level)];
    }
}

void octreeReduce(Octree& tree) {
    int level = LEAF_LEVEL - 1;
    while (level > 0 && !tree.reducible[level]) --level;
    OctreeNode* node = tree.reducible[level];
    tree.reducible[level] = node->nextReducible;
    node->nextReducible = nullptr;

    int merged = 0;
    for (auto& child : node->child) {
        if (!child) continue;
        node->redSum += child->redSum;
        node->greenSum += child->greenSum;
        node->blueSum += child->blueSum;
        node->pixelCount += child->pixelCount;
        child.reset();
        ++merged;
    }
    node->isLeaf = true;
    tree.leafCount -= merged - 1;
}

void octreeAddImage(Octree& tree, gdImagePtr image, int maxColors) {
    // A run of equal pixels down a column is added at once: only its first
    // pixel can make a new leaf, and so start a reduction; the others land in
    // the leaf that then holds their colour, which a reduction would have
    // merged with the same sums. The leaf of each palette entry is
    // remembered until a reduction, the only step that removes leaves.
    // The runs of a strip of columns are found row by row, as gd keeps the
    // pixels, and then added column by column.
    assert(!gdImageTrueColor(image));
    struct Run {
        int index;
        std::int64_t length;
    };
    constexpr int STRIP = 512;
    std::array<std::vector<Run>, STRIP> runs;
    std::array<std::int64_t, STRIP> length{};
    std::array<OctreeNode*, gdMaxColors> leafOf{};
    const int width = gdImageSX(image), height = gdImageSY(image);
    for (int x0 = 0; x0 < width; x0 += STRIP) {
        const int columns = std::min(STRIP, width - x0);
        for (int c = 0; c < columns; ++c) runs[c].clear();
        const unsigned char* above = nullptr;
        for (int y = 0; y < height; ++y) {
            const unsigned char* row = image->pixels[y] + x0;
            if (above && std::memcmp(row, above, static_cast<std::size_t>(columns)) == 0) {
                for (int c = 0; c < columns; ++c) ++length[c];
            } else {
                for (int c = 0; c < columns; ++c) {
                    if (above && row[c] == above[c]) {
                        ++length[c];
                    } else {
                        if (above) runs[c].push_back({above[c], length[c]});
                        length[c] = 1;
                    }
                }
            }
            above = row;
        }
        for (int c = 0; c < columns && above; ++c) runs[c].push_back({above[c], length[c]});
        for (int c = 0; c < columns; ++c) {
            for (const Run& run : runs[c]) {
                const int i = run.index;
                const int red = image->red[i], green = image->green[i], blue = image->blue[i];
                if (leafOf[i]) {
                    addToLeaf(*leafOf[i], red, green, blue, run.length);
                    continue;
                }
                OctreeNode& leaf = octreeAddColor(tree, red, green, blue, run.length);
                if (tree.leafCount > maxColors) {
                    while (tree.leafCount > maxColors) octreeReduce(tree);
                    leafOf.fill(nullptr);
                } else {
                    leafOf[i] = &leaf;
                }
            }
        }
    }
}

std::vector<PaletteColor> octreeCollectPalette(const Octree& tree) {
    std::vector<PaletteColor> palette;
    if (tree.root) collect(*tree.root, palette);
    return palette;
}

int octreeAllocatePalette(const Octree& tree, gdImagePtr image, bool verbose, bool debug, Reporter& reporter) {
    const std::vector<PaletteColor> palette = octreeCollectPalette(tree);
    if (debug) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const PaletteColor& c = palette[i];
            reporter.report("Palette " + std::to_string(i) + " r-" + std::to_string(c.red) + " g-" +
                            std::to_string(c.green) + " b-" + std::to_string(c.blue) + "\n");
        }
        reporter.report("Number colors in oct-tree " + std::to_string(palette.size()) + "\n");
    }
    int allocated = 0;
    for (const PaletteColor& color : palette) {
        if (gdImageColorAllocate(image, color.red, color.green, color.blue) == -1) {
            // With the other reports, on the report stream.
            reporter.report("**** Warning image color palette exhausted\n");
            break;
        }
        ++allocated;
    }
    if (verbose) reporter.report(std::to_string(allocated) + " colors allocated\n");
    return allocated;
}
