// The obstacle index against a plain scan of every rectangle.
#include "place/obstacle_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using namespace orvex;

namespace {

std::vector<Rect> overlapping(const std::vector<Rect>& all, const Rect& area) {
    std::vector<Rect> found;
    for (const Rect& r : all)
        if (rectOverlapArea(r, area) > 0) found.push_back(r);
    return found;
}

// Rectangles on and far beyond a map of width x height: small ones, long
// thin ones, huge ones, ones without area, and repeats.
Rect randomRect(std::mt19937& random, int width, int height) {
    std::uniform_int_distribution<int> kind(0, 9), x(-200, width + 200), y(-200, height + 200), side(0, 80);
    const int far = 1 << 28;
    switch (kind(random)) {
        case 0: return rectFromCorners(x(random), y(random), x(random) + far, y(random) + 3);  // to the far right
        case 1: return rectFromCorners(-far, -far, far, far);                                    // over everything
        case 2: return rectFromCorners(x(random) - far / 2, y(random) + far / 4, x(random) - far / 2 + 40, y(random) + far / 4 + 9);
        case 3: {
            const int left = x(random), top = y(random);
            return {left, top, left, top + side(random)};  // no area
        }
        default: {
            const int left = x(random), top = y(random);
            return {left, top, left + side(random), top + side(random)};
        }
    }
}

TEST(ObstacleIndex, VisitsWhatAPlainScanFindsInTheOrderOfAdding) {
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        const int width = round % 5 == 0 ? 65535 : 40 + round * 7, height = round % 7 == 0 ? 1 : 30 + round * 5;
        ObstacleIndex index(width, height);
        std::vector<Rect> all;
        const int count = 1 + round * 3;
        for (int i = 0; i < count; ++i) {
            // Some repeat an earlier one, some the one just before, several times.
            const Rect r = i > 0 && i % 4 == 0 ? all[random() % all.size()] : randomRect(random, width, height);
            for (int k = i % 9 == 0 ? 3 : 1; k > 0; --k) {
                index.add(r);
                all.push_back(r);
            }
        }
        ASSERT_EQ(index.all(), all);
        for (int q = 0; q < 20; ++q) {
            const Rect area = q == 0 ? Rect{-(1 << 30), 10, 1 << 30, 30} : randomRect(random, width, height);
            std::vector<Rect> inOrder, anyOrder;
            index.visitOverlapping(area, [&](const Rect& r) { inOrder.push_back(r); });
            index.visitOverlappingAnyOrder(area, [&](const Rect& r, std::int64_t count) {
                anyOrder.insert(anyOrder.end(), static_cast<std::size_t>(count), r);
            });
            const std::vector<Rect> expected = overlapping(all, area);
            ASSERT_EQ(inOrder, expected) << "round " << round << " query " << q;
            std::vector<Rect> sorted = expected;
            auto byCorners = [](const Rect& a, const Rect& b) {
                return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
            };
            std::sort(sorted.begin(), sorted.end(), byCorners);
            std::sort(anyOrder.begin(), anyOrder.end(), byCorners);
            ASSERT_EQ(anyOrder, sorted) << "round " << round << " query " << q;
        }
    }
}

}  // namespace
