#include "imageops/copy.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <vector>

namespace orvex {

namespace {

// An image's clipping rectangle.
struct Clip {
    int x1, y1, x2, y2;
    bool rows(int y) const { return y >= y1 && y <= y2; }
    bool columns(int x) const { return x >= x1 && x <= x2; }
};

Clip clipOf(gdImagePtr image) { return {image->cx1, image->cy1, image->cx2, image->cy2}; }

// The entries of `from` resolved in the palette of `to`, each on first use.
class EntryMap {
public:
    EntryMap(gdImagePtr to, gdImagePtr from, ResolvedEntries& mapped) : to_(to), from_(from), mapped_(mapped) {
        assert(to != from && !gdImageTrueColor(to) && !gdImageTrueColor(from));
    }

    // gd stores the index as a byte, like any pixel.
    unsigned char operator()(int c) {
        const auto at = static_cast<std::size_t>(c);
        if (mapped_.pending[at]) {
            mapped_.index[at] = static_cast<unsigned char>(
                gdImageColorResolveAlpha(to_, from_->red[c], from_->green[c], from_->blue[c], from_->alpha[c]));
            mapped_.pending[at] = 0;
        }
        return mapped_.index[at];
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
    // The clipping rectangles held apart from the images, which every
    // pixel written could otherwise change as far as the compiler knows.
    const Clip source = clipOf(from), target = clipOf(to);
    if (transparent >= 0) resolved.pending[static_cast<std::size_t>(transparent)] = 0;
    // A row read and written wholly inside the clipping rectangles is
    // copied through the known entries in one sweep; where it met an entry
    // still to be resolved, it is copied again pixel by pixel, resolving in
    // reading order, which writes every pixel the sweep wrote.
    const bool inside = width > 0 && source.columns(sourceX) && source.columns(sourceX + width - 1) &&
                        target.columns(x) && target.columns(x + width - 1);
    for (int j = 0; j < height; ++j) {
        const int v = sourceY + j, toY = y + j;
        const unsigned char* in = source.rows(v) ? from->pixels[v] : nullptr;
        unsigned char* out = target.rows(toY) ? to->pixels[toY] : nullptr;
        if (inside && in && out) {
            const unsigned char* row = in + sourceX;
            unsigned char* at = out + x;
            unsigned char met = 0;
            for (int i = 0; i < width; ++i) {
                const unsigned char c = row[i];
                met |= resolved.pending[c];
                at[i] = c == transparent ? at[i] : resolved.index[c];
            }
            if (!met) continue;
        }
        for (int i = 0; i < width; ++i) {
            const int u = sourceX + i, toX = x + i;
            const int c = in && source.columns(u) ? in[u] : 0;
            if (c == transparent) continue;
            const unsigned char e = mapped(c);
            if (out && target.columns(toX)) out[toX] = e;
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
