#include "imageops/copy.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <vector>

namespace orvex {

namespace {

bool insideClip(gdImagePtr image, int x, int y) {
    return x >= image->cx1 && x <= image->cx2 && y >= image->cy1 && y <= image->cy2;
}

// The entries of `from` resolved in the palette of `to`, each on first use.
class EntryMap {
public:
    EntryMap(gdImagePtr to, gdImagePtr from, ResolvedEntries& mapped) : to_(to), from_(from), mapped_(mapped) {
        assert(to != from && !gdImageTrueColor(to) && !gdImageTrueColor(from));
    }

    // gd stores the index as a byte, like any pixel.
    unsigned char operator()(int c) {
        int& entry = mapped_.index[static_cast<std::size_t>(c)];
        if (entry == -1)
            entry = gdImageColorResolveAlpha(to_, from_->red[c], from_->green[c], from_->blue[c], from_->alpha[c]);
        return static_cast<unsigned char>(entry);
    }

private:
    gdImagePtr to_, from_;
    ResolvedEntries& mapped_;
};

// How many pixels each of `source` pixels becomes when they are stretched
// over `target` pixels, in gd's integer steps: pixel i covers from
// target x i / source to target x (i + 1) / source.
std::vector<int> stretchSteps(int target, int source) {
    const std::int64_t t = target;
    std::vector<int> steps;
    steps.reserve(static_cast<std::size_t>(source));
    for (int i = 0; i < source; ++i) steps.push_back(static_cast<int>(t * (i + 1) / source - t * i / source));
    return steps;
}

}  // namespace

void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height) {
    ResolvedEntries resolved;
    copyPicture(to, from, x, y, sourceX, sourceY, width, height, resolved);
}

void copyPicture(gdImagePtr to, gdImagePtr from, int x, int y, int sourceX, int sourceY, int width, int height,
                 ResolvedEntries& resolved) {
    EntryMap mapped(to, from, resolved);
    const int transparent = gdImageGetTransparent(from);
    for (int j = 0; j < height; ++j) {
        const int v = sourceY + j, toY = y + j;
        for (int i = 0; i < width; ++i) {
            const int u = sourceX + i;
            const int c = insideClip(from, u, v) ? from->pixels[v][u] : 0;
            if (c == transparent) continue;
            const unsigned char entry = mapped(c);
            if (insideClip(to, x + i, toY)) to->pixels[toY][x + i] = entry;
        }
    }
}

void copyPictureScaled(gdImagePtr to, gdImagePtr from, int x, int y, int width, int height, int sourceWidth,
                       int sourceHeight) {
    assert(gdImageGetTransparent(from) == -1 && sourceWidth <= gdImageSX(from) && sourceHeight <= gdImageSY(from));
    ResolvedEntries resolved;
    EntryMap mapped(to, from, resolved);
    const std::vector<int> columns = stretchSteps(width, sourceWidth), rows = stretchSteps(height, sourceHeight);
    // The map row one picture row makes, and its columns inside the
    // clipping rectangle of `to`.
    std::vector<unsigned char> line(static_cast<std::size_t>(width));
    const int first = std::max(0, to->cx1 - x);
    const int last = std::min(width - 1, to->cx2 - x);
    int toY = y;
    for (int j = 0; j < sourceHeight; ++j) {
        if (rows[static_cast<std::size_t>(j)] == 0) continue;
        const unsigned char* in = from->pixels[j];
        std::size_t n = 0;
        for (int i = 0; i < sourceWidth; ++i) {
            const int step = columns[static_cast<std::size_t>(i)];
            if (step == 0) continue;
            const unsigned char entry = mapped(in[i]);
            if (step == 1) line[n++] = entry;
            else for (int k = 0; k < step; ++k) line[n++] = entry;
        }
        for (int k = 0; k < rows[static_cast<std::size_t>(j)]; ++k, ++toY) {
            if (toY < to->cy1 || toY > to->cy2 || first > last) continue;
            std::copy(line.begin() + first, line.begin() + last + 1, to->pixels[toY] + x + first);
        }
    }
}

}  // namespace orvex
