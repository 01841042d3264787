#include "place/coverage_map.h"

#include <algorithm>

namespace orvex {

void CoverageMap::mark(const Rect& area, const Rect& o, std::int64_t count) {
    // The obstacle's pixels within the tile, in tile coordinates.
    const int left = std::max(o.left, area.left) - area.left, right = std::min(o.right, area.right) - area.left;
    const int top = std::max(o.top, area.top) - area.top, bottom = std::min(o.bottom, area.bottom) - area.top;
    if (right <= left || bottom <= top) return;
    marks_[markAt(left, top)] += count;
    marks_[markAt(right, top)] -= count;
    marks_[markAt(left, bottom)] -= count;
    marks_[markAt(right, bottom)] += count;
}

void CoverageMap::settle(Tile& tile) const {
    std::array<std::int64_t, TILE> above{};
    for (int y = 0; y < TILE; ++y) {
        std::int64_t run = 0;
        for (int x = 0; x < TILE; ++x) {
            run += marks_[markAt(x, y)];
            above[static_cast<std::size_t>(x)] += run;
            tile.counts[countAt(x, y)] = static_cast<std::int32_t>(above[static_cast<std::size_t>(x)]);
        }
    }
}

void CoverageMap::add(const Rect& r) {
    if (tiles_.empty() || r.right <= r.left || r.bottom <= r.top) return;
    // An obstacle far larger than the tiles made is added to each of them;
    // otherwise each tile it reaches is looked up.
    const std::int64_t reached = (tileOf(r.right - 1) - tileOf(r.left) + 1) * (tileOf(r.bottom - 1) - tileOf(r.top) + 1);
    auto addTo = [&](std::int64_t tx, std::int64_t ty, Tile& tile) {
        const Rect area = tileRect(tx, ty);
        const int left = std::max(r.left, area.left) - area.left, right = std::min(r.right, area.right) - area.left;
        const int top = std::max(r.top, area.top) - area.top, bottom = std::min(r.bottom, area.bottom) - area.top;
        if (right <= left || bottom <= top) return;
        for (int y = top; y < bottom; ++y) {
            std::int32_t* row = &tile.counts[countAt(0, y)];
            for (int x = left; x < right; ++x) ++row[x];
        }
    };
    if (reached > static_cast<std::int64_t>(tiles_.size())) {
        for (auto& [k, tile] : tiles_) {
            const auto tx = static_cast<std::int64_t>(static_cast<std::int32_t>(k >> 32));
            const auto ty = static_cast<std::int64_t>(static_cast<std::int32_t>(k & 0xffffffffu));
            addTo(tx, ty, *tile);
        }
        return;
    }
    for (std::int64_t ty = tileOf(r.top); ty <= tileOf(r.bottom - 1); ++ty)
        for (std::int64_t tx = tileOf(r.left); tx <= tileOf(r.right - 1); ++tx)
            if (const auto it = tiles_.find(key(tx, ty)); it != tiles_.end()) addTo(tx, ty, *it->second);
}

void CoverageMap::table(const Rect& region, std::int64_t total, CoverageTable& table) const {
    table.build(region, total, [&](int y, auto* out) {
        const std::int64_t ty = tileOf(y);
        const int row = y - static_cast<int>(ty * TILE);
        for (int x = region.left; x < region.right;) {
            const std::int64_t tx = tileOf(x);
            const Tile* tile = find(tx, ty);
            const int from = x - static_cast<int>(tx * TILE);
            const int count = std::min(TILE - from, region.right - x);
            std::copy_n(&tile->counts[countAt(from, row)], count, out + (x - region.left));
            x += count;
        }
    });
}

}  // namespace orvex
