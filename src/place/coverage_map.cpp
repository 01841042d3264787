#include "place/coverage_map.h"

#include <algorithm>
#include <utility>

namespace orvex {

CoverageMap::CoverageMap(const CoverageMap& other) {
    for (const auto& [k, tile] : other.tiles_) tiles_.emplace(k, std::make_unique<Tile>(*tile));
}

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

void CoverageMap::Tile::makeRoomForOneMore() {
    if (!counts8.empty() && peak == UINT8_MAX) {
        counts16.assign(counts8.begin(), counts8.end());
        counts8 = {};
    } else if (!counts16.empty() && peak == UINT16_MAX) {
        counts32.assign(counts16.begin(), counts16.end());
        counts16 = {};
    }
}

void CoverageMap::settle(Tile& tile) {
    // The counts summed from the marks, which are cleared as they are read
    // (the marks past the tile's last row and column are never read, and
    // may hold anything).
    std::vector<std::int64_t>& counts = settled_;
    counts.resize(TILE_PIXELS);
    std::array<std::int64_t, WIDTH> above{};
    std::int64_t peak = 0;
    for (int y = 0; y < HEIGHT; ++y) {
        std::int64_t run = 0;
        for (int x = 0; x < WIDTH; ++x) {
            run += std::exchange(marks_[markAt(x, y)], 0);
            above[static_cast<std::size_t>(x)] += run;
            counts[countAt(x, y)] = above[static_cast<std::size_t>(x)];
            peak = std::max(peak, above[static_cast<std::size_t>(x)]);
        }
    }
    tile.peak = peak;
    if (peak <= UINT8_MAX) tile.counts8.assign(counts.begin(), counts.end());
    else if (peak <= UINT16_MAX) tile.counts16.assign(counts.begin(), counts.end());
    else tile.counts32.assign(counts.begin(), counts.end());
}

void CoverageMap::add(const Rect& r) {
    if (tiles_.empty() || r.right <= r.left || r.bottom <= r.top) return;
    // An obstacle far larger than the tiles made is added to each of them;
    // otherwise each tile it reaches is looked up.
    const std::int64_t reached = (columnOf(r.right - 1) - columnOf(r.left) + 1) * (rowOf(r.bottom - 1) - rowOf(r.top) + 1);
    auto addTo = [&](std::int64_t tx, std::int64_t ty, Tile& tile) {
        const Rect area = tileRect(tx, ty);
        const int left = std::max(r.left, area.left) - area.left, right = std::min(r.right, area.right) - area.left;
        const int top = std::max(r.top, area.top) - area.top, bottom = std::min(r.bottom, area.bottom) - area.top;
        if (right <= left || bottom <= top) return;
        tile.makeRoomForOneMore();
        Tile::visit(tile, [&](auto* counts) {
            std::int64_t peak = tile.peak;
            for (int y = top; y < bottom; ++y) {
                auto* row = counts + countAt(0, y);
                for (int x = left; x < right; ++x) peak = std::max<std::int64_t>(peak, ++row[x]);
            }
            tile.peak = peak;
        });
    };
    if (reached > static_cast<std::int64_t>(tiles_.size())) {
        for (auto& [k, tile] : tiles_) {
            const auto tx = static_cast<std::int64_t>(static_cast<std::int32_t>(k >> 32));
            const auto ty = static_cast<std::int64_t>(static_cast<std::int32_t>(k & 0xffffffffu));
            addTo(tx, ty, *tile);
        }
        return;
    }
    for (std::int64_t ty = rowOf(r.top); ty <= rowOf(r.bottom - 1); ++ty)
        for (std::int64_t tx = columnOf(r.left); tx <= columnOf(r.right - 1); ++tx)
            if (const auto it = tiles_.find(key(tx, ty)); it != tiles_.end()) addTo(tx, ty, *it->second);
}

void CoverageMap::table(const Rect& region, CoverageTable& table) const {
    // The region's tiles, looked up once, row of tiles by row; no count of
    // a tile is above its peak, which bounds the region's sum.
    const std::int64_t firstColumn = columnOf(region.left), firstRow = rowOf(region.top);
    const auto columns = static_cast<std::size_t>(columnOf(region.right - 1) - firstColumn + 1);
    std::vector<const Tile*>& tiles = regionTiles_;
    tiles.clear();
    std::int64_t total = 0;
    for (std::int64_t ty = firstRow; ty <= rowOf(region.bottom - 1); ++ty) {
        for (std::int64_t tx = firstColumn; tx < firstColumn + static_cast<std::int64_t>(columns); ++tx) {
            tiles.push_back(find(tx, ty));
            total += tiles.back()->peak * rectOverlapArea(tileRect(tx, ty), region);
        }
    }
    table.build(region, total, [&](int y, auto take) {
        const std::int64_t ty = rowOf(y);
        const Tile* const* band = tiles.data() + static_cast<std::size_t>(ty - firstRow) * columns;
        const int row = y - static_cast<int>(ty * HEIGHT);
        for (int x = region.left; x < region.right;) {
            const std::int64_t tx = columnOf(x);
            const Tile* tile = band[tx - firstColumn];
            const int from = x - static_cast<int>(tx * WIDTH);
            const int count = std::min(WIDTH - from, region.right - x);
            Tile::visit(*tile, [&](const auto* counts) { take(counts + countAt(from, row), count); });
            x += count;
        }
    });
}

}  // namespace orvex
