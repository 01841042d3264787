#include "place/coverage_table.h"

#include <gtest/gtest.h>

#include <random>

using namespace orvex;

namespace {

// The coverage summed over r, obstacle by obstacle.
std::int64_t plainSum(const std::vector<CountedRect>& obstacles, const Rect& r) {
    std::int64_t s = 0;
    for (const CountedRect& o : obstacles) s += o.count * rectOverlapArea(o.rect, r);
    return s;
}

TEST(CoverageTable, SumsWhatThePlainOverlapsSum) {
    // Random regions, some far from the origin, with obstacles inside them:
    // empty ones, ones along an edge or over the whole region, a few or
    // hundreds starting on the same rows, and counts small enough for 32-bit
    // sums or so large that they need 64 bits. One table is reused
    // throughout, from larger regions to smaller ones.
    std::mt19937 random(11);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    CoverageTable table;
    for (int round = 0; round < 200; ++round) {
        const int x0 = round % 5 == 4 ? (1 << 28) : below(100) - 50, y0 = below(100) - 50;
        const Rect region{x0, y0, x0 + 1 + below(90), y0 + 1 + below(60)};
        const int width = region.right - region.left, height = region.bottom - region.top;
        const bool huge = round % 3 == 2;
        std::vector<CountedRect> obstacles;
        std::int64_t total = 0;
        const bool crowded = round % 4 == 1;
        for (int k = crowded ? 300 : below(30); k >= 0; --k) {
            const int left = region.left + below(width + 1);
            const int top = crowded ? region.top + (height + 1) * below(4) / 4 : region.top + below(height + 1);
            Rect rect{left, top, left + below(region.right - left + 1), top + below(region.bottom - top + 1)};
            if (k % 7 == 0) rect = region;
            const std::int64_t count = huge ? (std::int64_t{1} << 31) + below(1000) : 1 + below(4);
            obstacles.push_back({rect, count});
            total += count;
        }
        table.build(region, obstacles, total);
        for (int q = 0; q < 200; ++q) {
            const int left = region.left + below(width + 1), top = region.top + below(height + 1);
            const Rect r{left, top, left + below(region.right - left + 1), top + below(region.bottom - top + 1)};
            ASSERT_EQ(table.sum(r), plainSum(obstacles, r)) << round;
        }
    }
}

}  // namespace
