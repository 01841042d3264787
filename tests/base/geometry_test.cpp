#include "base/geometry.h"
#include "base/map_frame.h"

#include <gtest/gtest.h>

#include <random>

using namespace orvex;

namespace {

MapFrame mapOf(double xMin, double yMin, double scale, int width, int height) {
    MapFrame s;
    s.xMin = xMin, s.yMin = yMin, s.scale = scale;
    s.imageWidth = width, s.imageHeight = height;
    return s;
}

TEST(RoundToInt, HalvesGoAwayFromZero) {
    EXPECT_EQ(roundToInt(2.5), 3);
    EXPECT_EQ(roundToInt(-2.5), -3);
    EXPECT_EQ(roundToInt(2.4999), 2);
    EXPECT_EQ(roundToInt(-0.4), 0);
}

TEST(Projection, AnchorTruncatesAndCountsRowsFromTheImageHeight) {
    const MapFrame s = mapOf(0, 0, 2, 200, 100);
    EXPECT_EQ(projectAnchor(s, 10, 10), (PixelPoint{20, 80}));
    EXPECT_EQ(projectAnchor(s, 0, 50), (PixelPoint{0, 0}));
    EXPECT_EQ(projectAnchor(s, 100, 0), (PixelPoint{200, 100}));
    EXPECT_EQ(projectAnchor(s, 10.25, 0).x, 21);

    const MapFrame unit = mapOf(0, 0, 1, 10, 10);
    EXPECT_EQ(projectAnchor(unit, -1, 0).x, 0);
    EXPECT_EQ(projectAnchor(unit, -2, 0).x, -1);
    EXPECT_EQ(projectAnchor(mapOf(0, 0, 10, 10, 10), -0.07, 0).x, 0);
}

TEST(Projection, PointRoundsAndSitsOneRowHigher) {
    const MapFrame s = mapOf(0, 0, 2, 200, 100);
    EXPECT_EQ(projectPoint(s, 0, 0), (PixelPoint{0, 99}));
    EXPECT_EQ(projectPoint(s, 100, 50), (PixelPoint{200, -1}));
    EXPECT_EQ(projectPoint(s, -0.75, 0).x, -2);
}

// From an origin off zero, at exact halves and below the map's lower and
// left edges: anchors truncate after adding a half (so -0.5 becomes 0),
// points round halves away from zero and sit a row higher.
TEST(Projection, HalvesAndEdgesFromAnOriginOffZero) {
    const MapFrame f = mapOf(-7.5, 3.25, 2, 200, 100);
    const struct {
        double x, y;
        PixelPoint anchor, point;
    } cases[] = {
        {-7.5, 3.25, {0, 100}, {0, 99}},    {-7.25, 3.5, {1, 99}, {1, 98}},   {-7.75, 3.0, {0, 100}, {-1, 100}},
        {-8.0, 2.75, {0, 100}, {-1, 100}},  {-8.5, 2.25, {-1, 101}, {-2, 101}}, {92.5, 53.25, {200, 0}, {200, -1}},
        {92.25, 53.0, {200, 0}, {200, -1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(projectAnchor(f, c.x, c.y), c.anchor) << c.x << ", " << c.y;
        EXPECT_EQ(projectPoint(f, c.x, c.y), c.point) << c.x << ", " << c.y;
    }
}

TEST(Projection, FarPointsAreClampedWithoutOverflow) {
    const MapFrame s = mapOf(0, 0, 1000, 200, 100);
    const PixelPoint far = projectAnchor(s, 3e38, -3e38);
    EXPECT_EQ(far.x, 1 << 28);
    EXPECT_EQ(far.y, 100 + (1 << 28));
    EXPECT_EQ(projectPoint(s, -3e38, 0).x, -(1 << 28));
}

TEST(Rects, OverlapCountsOnlySharedArea) {
    const Rect a{0, 0, 10, 5};
    EXPECT_EQ(rectOverlapArea(a, a), 50);
    EXPECT_EQ(rectOverlapArea(a, {10, 0, 20, 5}), 0);
    EXPECT_EQ(rectOverlapArea(a, {5, 2, 20, 20}), 15);
    const Rect huge{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};
    EXPECT_EQ(rectOverlapArea(huge, huge), (1LL << 29) * (1LL << 29));
}

TEST(Rects, CornersGrowAndAxisParallel) {
    EXPECT_EQ(rectFromCorners(5, 9, 1, 2), (Rect{1, 2, 5, 9}));
    EXPECT_EQ(rectGrow({1, 2, 5, 9}, 4), (Rect{-3, -2, 9, 13}));
    EXPECT_TRUE(isAxisParallel(3, 3, 3, 3));
    EXPECT_TRUE(isAxisParallel(0, 4, 9, 4));
    EXPECT_FALSE(isAxisParallel(0, 0, 1, 1));
}

TEST(Rects, NearestEdgeMidpointPrefersEarlierSidesOnTies) {
    const Rect r{0, 0, 10, 10};
    EXPECT_EQ(nearestEdgeMidpoint(r, 5, 5), (PixelPoint{0, 5}));
    EXPECT_EQ(nearestEdgeMidpoint(r, 5, 30), (PixelPoint{5, 10}));
    EXPECT_EQ(nearestEdgeMidpoint(r, 30, 5), (PixelPoint{10, 5}));
    EXPECT_EQ(nearestEdgeMidpoint(r, 5, -30), (PixelPoint{5, 0}));
    // Distances are truncated before comparing: 29.41 to the left and 29.07
    // to the bottom tie at 29, and the left side stays.
    EXPECT_EQ(nearestEdgeMidpoint(r, -17, 29), (PixelPoint{0, 5}));
}

TEST(Rects, NearestEdgeMidpointComparesTruncatedDistances) {
    // Against the distances worked out side by side: small and far
    // rectangles, points inside, on and beyond them, and coordinates past
    // 2^25, where the squares no longer stay small.
    std::mt19937 random(9);
    auto coordinate = [&](int spread) { return static_cast<int>(random() % (2U * spread + 1)) - spread; };
    for (int round = 0; round < 20000; ++round) {
        const int spread = round % 4 == 3 ? (1 << 29) : round % 4 == 2 ? 3000 : 40;
        const int left = coordinate(spread), top = coordinate(spread);
        const Rect r{left, top, left + static_cast<int>(random() % 60), top + static_cast<int>(random() % 60)};
        const int x = coordinate(spread), y = coordinate(spread);
        const PixelPoint sides[4] = {{r.left, r.top + (r.bottom - r.top) / 2}, {r.left + (r.right - r.left) / 2, r.bottom},
                                     {r.right, r.top + (r.bottom - r.top) / 2}, {r.left + (r.right - r.left) / 2, r.top}};
        PixelPoint expected = sides[0];
        for (const PixelPoint& c : sides)
            if (pointDistance(c.x, c.y, x, y) < pointDistance(expected.x, expected.y, x, y)) expected = c;
        ASSERT_EQ(nearestEdgeMidpoint(r, x, y), expected) << round;
    }
}

}  // namespace
