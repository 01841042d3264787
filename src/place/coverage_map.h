// The coverage of the whole map: how many obstacles lie over each pixel,
// kept in tiles, each in the fewest bits (8, 16 or 32) that hold its
// counts. A tile is made the first time a search needs it, from the
// obstacles over it then, and every obstacle added afterwards updates the
// tiles it reaches; tiles no search needs are never made.
#pragma once

#include "base/geometry.h"
#include "place/coverage_table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace orvex {

class CoverageMap {
public:
    // Tiles of 256 x 16 pixels: wide, so that a search's rows cross few
    // of them, and each row of a tile is read in one run.
    static constexpr int WIDTH_SHIFT = 8, HEIGHT_SHIFT = 4;
    static constexpr int WIDTH = 1 << WIDTH_SHIFT, HEIGHT = 1 << HEIGHT_SHIFT;

    CoverageMap() = default;
    // A copy has tiles of its own.
    CoverageMap(const CoverageMap& other);
    CoverageMap& operator=(const CoverageMap&) = delete;
    CoverageMap(CoverageMap&&) = default;
    CoverageMap& operator=(CoverageMap&&) = default;
    ~CoverageMap() = default;

    // Adds an obstacle to the tiles made so far.
    void add(const Rect& r);

    // Makes every tile the pixels of region (right and bottom sides
    // excluded) lie in that is not made yet, each from the obstacles over
    // it, visited by obstaclesOver(tileRect, add) with add(rect, count).
    template <class ObstaclesOver>
    void makeTiles(const Rect& region, ObstaclesOver obstaclesOver) {
        for (std::int64_t ty = rowOf(region.top); ty <= rowOf(region.bottom - 1); ++ty) {
            for (std::int64_t tx = columnOf(region.left); tx <= columnOf(region.right - 1); ++tx) {
                std::unique_ptr<Tile>& tile = tiles_[key(tx, ty)];
                if (tile) continue;
                tile = std::make_unique<Tile>();
                const Rect area = tileRect(tx, ty);
                obstaclesOver(area, [&](const Rect& o, std::int64_t count) { mark(area, o, count); });
                settle(*tile);
            }
        }
    }

    // The summed-area table of the coverage over the pixels of region (right
    // and bottom sides excluded), whose tiles are all made.
    void table(const Rect& region, CoverageTable& table) const;

private:
    static constexpr std::size_t TILE_PIXELS = std::size_t{WIDTH} * HEIGHT;
    struct Tile {
        // The counts, in one of the three, the narrowest that holds peak,
        // the highest count.
        std::vector<std::uint8_t> counts8;
        std::vector<std::uint16_t> counts16;
        std::vector<std::int32_t> counts32;
        std::int64_t peak = 0;

        // Calls f(counts) with the counts of tile, a Tile or a const Tile.
        template <class SomeTile, class F>
        static void visit(SomeTile& tile, F f) {
            if (!tile.counts8.empty()) f(tile.counts8.data());
            else if (!tile.counts16.empty()) f(tile.counts16.data());
            else f(tile.counts32.data());
        }
        // Keeps the counts in bits that hold a count one above peak.
        void makeRoomForOneMore();
    };

    // Where the pixel (x, y) of a tile lies in its counts, and the mark at
    // its corner in marks_.
    static std::size_t countAt(int x, int y) { return static_cast<std::size_t>(y) * WIDTH + static_cast<std::size_t>(x); }
    static std::size_t markAt(int x, int y) { return static_cast<std::size_t>(y) * (WIDTH + 1) + static_cast<std::size_t>(x); }
    static std::int64_t columnOf(int x) { return static_cast<std::int64_t>(x) >> WIDTH_SHIFT; }
    static std::int64_t rowOf(int y) { return static_cast<std::int64_t>(y) >> HEIGHT_SHIFT; }
    static std::uint64_t key(std::int64_t tx, std::int64_t ty) {
        return (static_cast<std::uint64_t>(tx) << 32) ^ static_cast<std::uint32_t>(ty);
    }
    static Rect tileRect(std::int64_t tx, std::int64_t ty) {
        const int left = static_cast<int>(tx * WIDTH), top = static_cast<int>(ty * HEIGHT);
        return {left, top, left + WIDTH, top + HEIGHT};
    }
    // A tile being made: the corners' marks of its obstacles, a 2D
    // difference of its counts, one more each way than the tile; all 0
    // between tiles, but for the last row and column.
    void mark(const Rect& area, const Rect& o, std::int64_t count);
    void settle(Tile& tile);
    const Tile* find(std::int64_t tx, std::int64_t ty) const {
        const auto it = tiles_.find(key(tx, ty));
        return it == tiles_.end() ? nullptr : it->second.get();
    }

    std::unordered_map<std::uint64_t, std::unique_ptr<Tile>> tiles_;
    mutable std::vector<const Tile*> regionTiles_;  // working memory of table()
    std::array<std::int64_t, std::size_t{WIDTH + 1} * (HEIGHT + 1)> marks_{};
    std::vector<std::int64_t> settled_;  // working memory of settle()
};

}  // namespace orvex
