// The coverage of the whole map: how many obstacles lie over each pixel,
// kept in square tiles. A tile is made the first time a search needs it,
// from the obstacles over it then, and every obstacle added afterwards
// updates the tiles it reaches; tiles no search needs are never made.
#pragma once

#include "base/geometry.h"
#include "place/coverage_table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace orvex {

class CoverageMap {
public:
    static constexpr int TILE_SHIFT = 6;  // tiles of 64 x 64 pixels
    static constexpr int TILE = 1 << TILE_SHIFT;

    // Adds an obstacle to the tiles made so far.
    void add(const Rect& r);

    // Makes every tile the pixels of region (right and bottom sides
    // excluded) lie in that is not made yet, each from the obstacles over
    // it, visited by obstaclesOver(tileRect, add) with add(rect, count).
    template <class ObstaclesOver>
    void makeTiles(const Rect& region, ObstaclesOver obstaclesOver) {
        for (std::int64_t ty = tileOf(region.top); ty <= tileOf(region.bottom - 1); ++ty) {
            for (std::int64_t tx = tileOf(region.left); tx <= tileOf(region.right - 1); ++tx) {
                std::unique_ptr<Tile>& tile = tiles_[key(tx, ty)];
                if (tile) continue;
                tile = std::make_unique<Tile>();
                const Rect area = tileRect(tx, ty);
                marks_.fill(0);
                obstaclesOver(area, [&](const Rect& o, std::int64_t count) { mark(area, o, count); });
                settle(*tile);
            }
        }
    }

    // The summed-area table of the coverage over the pixels of region (right
    // and bottom sides excluded), whose tiles are all made; total is at
    // least the coverage summed over the region.
    void table(const Rect& region, std::int64_t total, CoverageTable& table) const;

private:
    struct Tile {
        std::array<std::int32_t, std::size_t{TILE} * TILE> counts{};
    };

    // Where the pixel (x, y) of a tile lies in its counts, and the mark at
    // its corner in marks_.
    static std::size_t countAt(int x, int y) { return static_cast<std::size_t>(y) * TILE + static_cast<std::size_t>(x); }
    static std::size_t markAt(int x, int y) { return static_cast<std::size_t>(y) * (TILE + 1) + static_cast<std::size_t>(x); }
    static std::int64_t tileOf(int v) { return static_cast<std::int64_t>(v) >> TILE_SHIFT; }
    static std::uint64_t key(std::int64_t tx, std::int64_t ty) {
        return (static_cast<std::uint64_t>(tx) << 32) ^ static_cast<std::uint32_t>(ty);
    }
    static Rect tileRect(std::int64_t tx, std::int64_t ty) {
        const int left = static_cast<int>(tx * TILE), top = static_cast<int>(ty * TILE);
        return {left, top, left + TILE, top + TILE};
    }
    // A tile being made: the corners' marks of its obstacles, a 2D
    // difference of its counts, (TILE + 1) to a side.
    void mark(const Rect& area, const Rect& o, std::int64_t count);
    void settle(Tile& tile) const;
    const Tile* find(std::int64_t tx, std::int64_t ty) const {
        const auto it = tiles_.find(key(tx, ty));
        return it == tiles_.end() ? nullptr : it->second.get();
    }

    std::unordered_map<std::uint64_t, std::unique_ptr<Tile>> tiles_;
    std::array<std::int64_t, std::size_t{TILE + 1} * (TILE + 1)> marks_{};
};

}  // namespace orvex
