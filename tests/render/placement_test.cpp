// The label and title searches against plain scans of every candidate.
#include "render/labels.h"
#include "render/title_legend.h"

#include <gdfontg.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

GameObject objectAt(int px, int py, int halfWidth) {
    GameObject object;
    object.px = px, object.py = py, object.iconHalfWidth = halfWidth;
    return object;
}

PixelPoint referenceLabelPlace(const GameObject& o, int w, int h, const ObstacleList& obstacles) {
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    PixelPoint chosen{};
    for (int radius = o.iconHalfWidth; radius < o.iconHalfWidth + 32; ++radius) {
        for (int j = 0; j < 360; ++j) {
            const double theta = j * 0.005555555555555556 * 3.141592653589793;
            const int x = roundToInt(o.px + radius * std::cos(theta));
            const int y = roundToInt(o.py + radius * std::sin(theta));
            int fx, fy;
            if (j <= 90) fx = x + w, fy = y + h;
            else if (j <= 180) fx = x - w, fy = y + h;
            else if (j <= 270) fx = x - w, fy = y - h;
            else fx = x + w, fy = y - h;
            const Rect label = rectFromCorners(x, y, fx, fy);
            const PixelPoint m = nearestEdgeMidpoint(label, o.px, o.py);
            const Rect leader = rectFromCorners(o.px, o.py, m.x, m.y);
            std::int64_t s = 0;
            for (int k = 0; k < obstacleCount(obstacles); ++k) {
                const Rect ob = obstacleGet(obstacles, k);
                s = static_cast<std::int64_t>(std::trunc(static_cast<double>(s + rectOverlapArea(ob, label)) +
                                                         0.3 * static_cast<double>(rectOverlapArea(ob, leader))));
            }
            if (s == 0) return {label.left, label.top};
            if (s < best) best = s, chosen = {label.left, label.top};
        }
    }
    return chosen;
}

Rect referenceTitlePlace(const RunSettings& s, const ObstacleList& obstacles) {
    const gdFontPtr font = gdFontGetGiant();
    const int width = static_cast<int>(s.title.size()) * font->w;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Rect chosen = rectFromCorners(0, 0, width, font->h);
    for (int y = font->h / 2; y < s.imageHeight - 1.5 * font->h; y += font->h / 2) {
        for (int x = font->w; x + width + font->w < s.imageWidth; ++x) {
            const Rect r = rectFromCorners(x, y, x + width, y + font->h);
            std::int64_t score = 0;
            for (const Rect& o : obstacles.entries) score += rectOverlapArea(o, r);
            if (score < best) best = score, chosen = r;
        }
    }
    return chosen;
}

ObstacleList randomObstacles(std::mt19937& random, int count, int extent, int maxSide) {
    std::uniform_int_distribution<int> position(-20, extent), side(0, maxSide);
    ObstacleList list;
    for (int i = 0; i < count; ++i) {
        const int x = position(random), y = position(random);
        obstacleAdd(list, rectFromCorners(x, y, x + side(random), y + side(random)));
    }
    return list;
}

TEST(PlaceLabel, FirstCandidateOnAnEmptyMap) {
    EXPECT_EQ(placeLabel(objectAt(50, 60, 7), 30, 12, {}), (PixelPoint{57, 60}));
}

TEST(PlaceLabel, LeaderAcrossTheOwnIconIsAvoided) {
    // Up to 87 degrees the leader's box crosses the icon; at 88 degrees the
    // leader is a vertical line of no area.
    ObstacleList obstacles;
    obstacleAdd(obstacles, {90, 90, 110, 110});
    EXPECT_EQ(placeLabel(objectAt(100, 100, 10), 60, 12, obstacles), (PixelPoint{100, 110}));
}

TEST(PlaceLabel, MatchesAPlainScanOnRandomObstacles) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 40; ++round) {
        const ObstacleList obstacles = randomObstacles(random, 5 + round * 3, 200, 60);
        const GameObject object = objectAt(100, 100, round % 13);
        const int w = 6 * (1 + round % 11), h = 13;
        EXPECT_EQ(placeLabel(object, w, h, obstacles), referenceLabelPlace(object, w, h, obstacles)) << "round " << round;
    }
}

TEST(TitlePlace, MatchesAPlainScanOnRandomObstacles) {
    std::mt19937 random(7);
    RunSettings settings;
    for (int round = 0; round < 60; ++round) {
        settings.title = std::string(round % 9, 'T');
        settings.imageWidth = 60 + round * 5, settings.imageHeight = 40 + round % 7 * 10;
        const ObstacleList obstacles = randomObstacles(random, 1 + round * 4, settings.imageWidth, 70);
        EXPECT_EQ(titlePlace(settings, obstacles), referenceTitlePlace(settings, obstacles)) << "round " << round;
    }
}

TEST(TitlePlace, EmptyMapTakesTheFirstCandidateAndTooSmallAMapTheCorner) {
    const gdFontPtr font = gdFontGetGiant();
    RunSettings settings;
    settings.imageWidth = 300, settings.imageHeight = 200;
    settings.title = "Bay";
    EXPECT_EQ(titlePlace(settings, {}), rectFromCorners(font->w, font->h / 2, font->w * 4, font->h / 2 + font->h));
    settings.imageHeight = font->h;  // no row fits
    EXPECT_EQ(titlePlace(settings, {}), rectFromCorners(0, 0, font->w * 3, font->h));
}

}  // namespace
