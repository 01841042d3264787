// The map's coverage, kept in tiles made as searches need them and updated
// as obstacles are added, against the overlaps summed obstacle by obstacle.
#include "place/obstacle_index.h"

#include <gtest/gtest.h>

#include <random>

using namespace orvex;

namespace {

std::int64_t plainSum(const ObstacleIndex& obstacles, const Rect& r) {
    std::int64_t s = 0;
    for (const Rect& o : obstacles.all()) s += rectOverlapArea(o, r);
    return s;
}

// The least plain sum over r moved by up to across - 1 right and down - 1
// down, of the moves inside region.
std::int64_t plainLeast(const ObstacleIndex& obstacles, const Rect& region, const Rect& r, int across, int down) {
    std::int64_t least = INT64_MAX;
    for (int j = 0; j < down; ++j) {
        for (int i = 0; i < across; ++i) {
            const Rect moved{r.left + i, r.top + j, r.right + i, r.bottom + j};
            if (moved.left >= region.left && moved.top >= region.top && moved.right <= region.right &&
                moved.bottom <= region.bottom)
                least = std::min(least, plainSum(obstacles, moved));
        }
    }
    return least;
}

TEST(CoverageTable, SumsWhatThePlainOverlapsSumAsObstaclesAreAdded) {
    // Obstacles added in batches, with tables over regions taken between
    // them, so that tiles are made at one time and updated later: regions
    // near the origin, far from it and across tile borders; obstacles from
    // single pixels to larger than many tiles, tall and wide ones, some
    // added twice in a row, some without area.
    std::mt19937 random(11);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    CoverageTable table;
    for (int map = 0; map < 30; ++map) {
        const int x0 = map % 5 == 4 ? (1 << 28) : below(400) - 200, y0 = below(400) - 200;
        ObstacleIndex obstacles(map % 3 == 0 ? 0 : 300, 200);
        for (int batch = 0; batch < 6; ++batch) {
            for (int k = below(map % 4 == 1 ? 200 : 20); k >= 0; --k) {
                const int left = x0 + below(300) - 50, top = y0 + below(200) - 50;
                const int kind = below(10);
                const int width = kind == 0 ? 600 + below(300) : kind == 1 ? 2 + below(6) : below(120);
                const int height = kind == 2 ? 500 + below(300) : kind == 1 ? 300 : below(80);
                const Rect r{left, top, left + width, top + height};
                obstacles.add(r);
                if (kind == 3) obstacles.add(r);
            }
            for (int q = 0; q < 5; ++q) {
                const int left = x0 + below(300) - 100, top = y0 + below(200) - 100;
                const Rect region{left, top, left + 1 + below(250), top + 1 + below(150)};
                obstacles.coverageTable(region, table);
                for (int s = 0; s < 40; ++s) {
                    const int l = region.left + below(region.right - region.left + 1);
                    const int t = region.top + below(region.bottom - region.top + 1);
                    const Rect r{l, t, l + below(region.right - l + 1), t + below(region.bottom - t + 1)};
                    ASSERT_EQ(table.sum(r), plainSum(obstacles, r)) << "map " << map << ", batch " << batch;
                }
                // The least over moves, some of them or all past the
                // region's sides.
                for (int s = 0; s < 10; ++s) {
                    const int l = region.left + below(region.right - region.left + 9) - 6;
                    const int t = region.top + below(region.bottom - region.top + 7) - 4;
                    const Rect r{l, t, l + below(30), t + below(15)};
                    const int across = 1 + below(11), down = 1 + below(6);
                    ASSERT_EQ(table.leastSum(r, across, down), plainLeast(obstacles, region, r, across, down))
                        << "map " << map << ", batch " << batch;
                }
            }
        }
    }
}

TEST(CoverageTable, CountsPastEightAndSixteenBits) {
    // A pile over a tile made before it grew past 65535, and piles of 300
    // and of 70000 over tiles first made after; the pixels beside them stay
    // at their counts.
    ObstacleIndex obstacles(600, 100);
    CoverageTable table;
    const Rect early{10, 5, 20, 9}, middle{300, 20, 310, 30}, late{580, 40, 584, 60}, region{0, 0, 600, 100};
    obstacles.add({0, 0, 600, 100});
    obstacles.coverageTable({0, 0, 100, 100}, table);
    for (int k = 0; k < 140000; ++k) obstacles.add(k % 2 == 0 ? early : late);
    for (int k = 0; k < 300; ++k) obstacles.add(middle);
    obstacles.add({15, 0, 16, 100});
    obstacles.coverageTable(region, table);
    for (const Rect& r : {early, middle, late, Rect{5, 0, 30, 12}, Rect{295, 15, 320, 35}, Rect{575, 30, 590, 70},
                          Rect{100, 0, 300, 100}, region})
        EXPECT_EQ(table.sum(r), plainSum(obstacles, r));
    EXPECT_EQ(table.leastSum({8, 3, 18, 7}, 5, 3), plainLeast(obstacles, region, {8, 3, 18, 7}, 5, 3));
}

TEST(CoverageTable, CopyKeepsTilesOfItsOwn) {
    // Tiles made before the copy, then different obstacles added to each.
    ObstacleIndex original(600, 100);
    CoverageTable table;
    const Rect region{0, 0, 600, 100};
    original.add({10, 10, 300, 60});
    original.coverageTable(region, table);
    ObstacleIndex copy = original;
    original.add({0, 0, 50, 50});
    copy.add({500, 20, 600, 90});
    copy.add({500, 20, 600, 90});
    for (const ObstacleIndex* index : {&original, &copy}) {
        index->coverageTable(region, table);
        for (const Rect& r : {Rect{0, 0, 100, 100}, Rect{450, 0, 600, 100}, region})
            EXPECT_EQ(table.sum(r), plainSum(*index, r));
    }
}

TEST(CoverageTable, LeastSumPast32Bits) {
    // A pile whose sums pass 2^31, with a step in it.
    ObstacleIndex obstacles(400, 200);
    CoverageTable table;
    for (int k = 0; k < 110000; ++k) obstacles.add({100, 50, 300, 150});
    obstacles.add({150, 60, 151, 140});
    const Rect region{90, 40, 320, 170};
    obstacles.coverageTable(region, table);
    for (const Rect& r : {Rect{100, 50, 300, 150}, Rect{145, 55, 250, 140}, Rect{95, 45, 290, 145}})
        EXPECT_EQ(table.leastSum(r, 9, 4), plainLeast(obstacles, region, r, 9, 4));
}

}  // namespace
