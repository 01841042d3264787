#include "quantise/octree.h"

#include <algorithm>
#include <cassert>
#include <string>

namespace orvex {

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

std::vector<ImageColor> imageColors(gdImagePtr image) {
    assert(!gdImageTrueColor(image));
    const int width = gdImageSX(image), height = gdImageSY(image);
    std::array<std::int64_t, gdMaxColors> count{};
    // Each entry's first pixel in column order: the leftmost, and of those
    // the topmost, which the rows taken from the top find first.
    std::array<int, gdMaxColors> firstX{};
    std::array<int, gdMaxColors> firstY{};
    firstX.fill(width);
    // A row equal to the one above holds no first pixel and adds that
    // row's counts again, found once as runs of one entry.
    struct Run {
        int index, length;
    };
    std::vector<Run> runs;  // of the row above, once needed
    bool haveRuns = false;
    const unsigned char* above = nullptr;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = image->pixels[y];
        if (above && std::equal(row, row + width, above)) {
            if (!haveRuns) {
                runs.clear();
                for (int x = 0; x < width;) {
                    const int start = x;
                    while (++x < width && row[x] == row[start]) {}
                    runs.push_back({row[start], x - start});
                }
                haveRuns = true;
            }
            for (const Run& run : runs) count[static_cast<std::size_t>(run.index)] += run.length;
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int i = row[x];
            ++count[static_cast<std::size_t>(i)];
            if (x < firstX[static_cast<std::size_t>(i)]) firstX[i] = x, firstY[i] = y;
        }
        above = row;
        haveRuns = false;
    }
    std::vector<int> used;
    for (int i = 0; i < gdMaxColors; ++i)
        if (count[static_cast<std::size_t>(i)] > 0) used.push_back(i);
    std::sort(used.begin(), used.end(), [&](int a, int b) {
        return firstX[a] != firstX[b] ? firstX[a] < firstX[b] : firstY[a] < firstY[b];
    });
    std::vector<ImageColor> colors;
    colors.reserve(used.size());
    for (const int i : used) colors.push_back({image->red[i], image->green[i], image->blue[i], count[static_cast<std::size_t>(i)]});
    return colors;
}

void octreeAddColors(Octree& tree, const std::vector<ImageColor>& colors, int maxColors) {
    // The tree changes shape only when a pixel's colour has no leaf on its
    // path, and that can happen only at the first pixel of a palette entry:
    // from then on a leaf lies on the entry's path, since a reduction only
    // turns the parent of leaves into a leaf. And wherever a pixel's sums
    // were added, they end in the leaf on its colour's path at the end. So
    // adding each entry's pixels together, where its first pixel comes in
    // column order, makes the same tree as adding them one by one.
    for (const ImageColor& c : colors) {
        octreeAddColor(tree, c.red, c.green, c.blue, c.count);
        while (tree.leafCount > maxColors) octreeReduce(tree);
    }
}

void octreeAddImage(Octree& tree, gdImagePtr image, int maxColors) {
    octreeAddColors(tree, imageColors(image), maxColors);
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
            const std::size_t left = palette.size() - static_cast<std::size_t>(allocated);
            reporter.warnWithReports(
                "**** Warning image color palette exhausted\n",
                {Finding::Severity::warning, Finding::Origin::commandLine, "", 0,
                 "the map's 256 palette entries are used up: " + std::to_string(left) +
                     " colours of the pictures take the nearest entry",
                 "fewer colour file entries leave more room for the pictures' colours"});
            break;
        }
        ++allocated;
    }
    if (verbose) reporter.report(std::to_string(allocated) + " colors allocated\n");
    return allocated;
}

}  // namespace orvex
