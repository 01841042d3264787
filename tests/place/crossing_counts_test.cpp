// Obstacles counted over leader boxes, against counting them one by one
// over the box and over the box widened to whole steps:
// boxes in all four quarters round the anchor, asked in any order, with
// obstacles that reach the anchor's own row and column, lie across it or
// beyond the reach.
#include "place/crossing_counts.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace orvex;

namespace {

std::int64_t plainCount(const std::vector<CountedRect>& near, const Rect& box) {
    std::int64_t n = 0;
    for (const CountedRect& o : near)
        if (rectOverlapArea(o.rect, box) > 0) n += o.count;
    return n;
}

TEST(CrossingCounts, CountWhatOverlapsEachBox) {
    std::mt19937 random(31);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    CrossingCounts counts;
    for (int round = 0; round < 200; ++round) {
        const PixelPoint anchor{below(200) - 100, below(200) - 100};
        const int reachX = 1 + below(40), reachY = 1 + below(40);
        std::vector<CountedRect> near;
        for (int k = below(30); k >= 0; --k) {
            // Obstacles that may start on the anchor's row or column.
            const int x = anchor.x + below(2 * reachX + 10) - reachX - 5, y = anchor.y + below(2 * reachY + 10) - reachY - 5;
            const Rect r{x, y, x + 1 + below(reachX), y + 1 + below(reachY)};
            near.push_back({r, 1 + below(3)});
        }
        counts.reset(anchor, reachX, reachY, near);
        for (int q = 0; q < 40; ++q) {
            const int across = 1 + below(reachX), down = 1 + below(reachY);
            const int sideX = below(2) == 0 ? 1 : -1, sideY = below(2) == 0 ? 1 : -1;
            const Rect box = rectFromCorners(anchor.x, anchor.y, anchor.x + sideX * across, anchor.y + sideY * down);
            const std::optional<std::int64_t> n = counts.count(box);
            ASSERT_TRUE(n) << "round " << round;
            const int wideAcross = (across + CrossingCounts::STEP - 1) / CrossingCounts::STEP * CrossingCounts::STEP;
            const int wideDown = (down + CrossingCounts::STEP - 1) / CrossingCounts::STEP * CrossingCounts::STEP;
            const Rect widened =
                rectFromCorners(anchor.x, anchor.y, anchor.x + sideX * wideAcross, anchor.y + sideY * wideDown);
            ASSERT_GE(*n, plainCount(near, box)) << "round " << round;
            ASSERT_LE(*n, plainCount(near, widened)) << "round " << round;
        }
        // Beyond the reach, nothing.
        EXPECT_FALSE(counts.count(rectFromCorners(anchor.x, anchor.y, anchor.x + reachX + 1, anchor.y + 1)));
    }
}

}  // namespace
