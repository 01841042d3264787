// The label and title searches against plain scans of every candidate.
#include "place/label_search.h"
#include "place/title_search.h"

#include <gdfontg.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

using namespace orvex;

namespace {

// An object as the label search sees it.
struct Object {
    PixelPoint anchor;
    int iconHalfWidth;
};

Object objectAt(int px, int py, int halfWidth) { return {{px, py}, halfWidth}; }

PixelPoint place(const Object& o, int w, int h, const ObstacleIndex& obstacles) {
    return placeLabel(o.anchor, o.iconHalfWidth, w, h, obstacles);
}

// Every candidate in order, ring by ring and a degree at a time, scored by
// score(label, leader box): the first of the least score, or the first
// that scores 0.
template <class Score>
PixelPoint plainScan(const Object& o, int w, int h, Score score) {
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    PixelPoint chosen{};
    for (int radius = o.iconHalfWidth; radius < o.iconHalfWidth + 32; ++radius) {
        for (int j = 0; j < 360; ++j) {
            const double theta = j * 0.005555555555555556 * 3.141592653589793;
            const int x = roundToInt(o.anchor.x + radius * std::cos(theta));
            const int y = roundToInt(o.anchor.y + radius * std::sin(theta));
            const int fx = j <= 90 || j > 270 ? x + w : x - w, fy = j <= 180 ? y + h : y - h;
            const Rect label = rectFromCorners(x, y, fx, fy);
            const PixelPoint m = nearestEdgeMidpoint(label, o.anchor.x, o.anchor.y);
            const std::int64_t s = score(label, rectFromCorners(o.anchor.x, o.anchor.y, m.x, m.y));
            if (s == 0) return {label.left, label.top};
            if (s < best) best = s, chosen = {label.left, label.top};
        }
    }
    return chosen;
}

// The score as defined: a sum truncated after each obstacle, in the order
// they were added.
PixelPoint referenceLabelPlace(const Object& o, int w, int h, const ObstacleIndex& obstacles) {
    return plainScan(o, w, h, [&](const Rect& label, const Rect& leader) {
        std::int64_t s = 0;
        for (const Rect& ob : obstacles.all()) {
            s = static_cast<std::int64_t>(std::trunc(static_cast<double>(s + rectOverlapArea(ob, label)) +
                                                     0.3 * static_cast<double>(rectOverlapArea(ob, leader))));
        }
        return s;
    });
}

// The title search for a title of `length` characters in the giant font.
Rect titleOf(std::size_t length, int mapWidth, int mapHeight, const ObstacleIndex& obstacles) {
    const gdFontPtr font = gdFontGetGiant();
    return placeTitle(static_cast<int>(length) * font->w, font->w, font->h, mapWidth, mapHeight, obstacles);
}

Rect referenceTitlePlace(std::size_t length, int mapWidth, int mapHeight, const ObstacleIndex& obstacles) {
    const gdFontPtr font = gdFontGetGiant();
    const int width = static_cast<int>(length) * font->w;
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Rect chosen = rectFromCorners(0, 0, width, font->h);
    for (int y = font->h / 2; y < mapHeight - 1.5 * font->h; y += font->h / 2) {
        for (int x = font->w; x + width + font->w < mapWidth; ++x) {
            const Rect r = rectFromCorners(x, y, x + width, y + font->h);
            std::int64_t score = 0;
            for (const Rect& o : obstacles.all()) score += rectOverlapArea(o, r);
            if (score < best) best = score, chosen = r;
        }
    }
    return chosen;
}

ObstacleIndex randomObstacles(std::mt19937& random, int count, int extent, int maxSide) {
    std::uniform_int_distribution<int> position(-20, extent), side(0, maxSide);
    ObstacleIndex list(extent, extent);
    for (int i = 0; i < count; ++i) {
        const int x = position(random), y = position(random);
        list.add(rectFromCorners(x, y, x + side(random), y + side(random)));
    }
    return list;
}

TEST(PlaceLabel, FirstCandidateOnAnEmptyMap) {
    EXPECT_EQ(place(objectAt(50, 60, 7), 30, 12, {}), (PixelPoint{57, 60}));
}

TEST(PlaceLabel, LeaderAcrossTheOwnIconIsAvoided) {
    // Up to 87 degrees the leader's box crosses the icon; at 88 degrees the
    // leader is a vertical line of no area.
    ObstacleIndex obstacles;
    obstacles.add({90, 90, 110, 110});
    EXPECT_EQ(place(objectAt(100, 100, 10), 60, 12, obstacles), (PixelPoint{100, 110}));
}

TEST(PlaceLabel, MatchesAPlainScanOnRandomObstacles) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 40; ++round) {
        const ObstacleIndex obstacles = randomObstacles(random, 5 + round * 3, 200, 60);
        const Object object = objectAt(100, 100, round % 13);
        const int w = 6 * (1 + round % 11), h = 13;
        EXPECT_EQ(place(object, w, h, obstacles), referenceLabelPlace(object, w, h, obstacles)) << "round " << round;
    }
}

// Maps as the program meets them: an object's own icon, neighbours' icons,
// labels and leaders, piles of identical rectangles, grid bands, obstacles
// far beyond the map, and objects anchored far off it.
TEST(PlaceLabel, OneSearchMatchesAPlainScanOverManyMaps) {
    std::mt19937 random(9);
    std::uniform_int_distribution<int> unit(0, 999);
    LabelSearch search;  // kept from map to map, as for the labels of one run
    for (int round = 0; round < 400; ++round) {
        const bool farOff = round % 10 == 9;
        const int halfWidth = round % 50 == 7 ? 150 : unit(random) % 25;
        const PixelPoint anchor = farOff ? PixelPoint{(1 << 28) - unit(random), -(1 << 27)} : PixelPoint{unit(random) % 400, unit(random) % 300};
        const int w = 6 * (1 + unit(random) % 20), h = 13;
        ObstacleIndex obstacles(400, 300);
        obstacles.add({anchor.x - halfWidth, anchor.y - halfWidth, anchor.x + halfWidth, anchor.y + halfWidth});
        const int count = unit(random) % 40;
        for (int i = 0; i < count; ++i) {
            const int x = anchor.x + unit(random) % 160 - 80, y = anchor.y + unit(random) % 100 - 50;
            switch (unit(random) % 6) {
                case 0: obstacles.add(rectFromCorners(x, y, x + w, y + h)); break;             // a label
                case 1: obstacles.add(rectFromCorners(anchor.x, anchor.y, x, y)); break;       // a leader
                case 2: obstacles.add(rectGrow(rectFromCorners(x, -50, x, 350), 4)); break;    // a grid line
                case 3: obstacles.add({-1 << 28, y, 1 << 28, y + 2}); break;                    // a far band
                default: {                                                                     // a pile
                    const Rect icon{x - 12, y - 12, x + 12, y + 12};
                    for (int k = unit(random) % 30; k >= 0; --k) obstacles.add(icon);
                }
            }
        }
        const Object object{anchor, halfWidth};
        ASSERT_EQ(search.place(anchor, halfWidth, w, h, obstacles), referenceLabelPlace(object, w, h, obstacles))
            << "round " << round;
    }
}

TEST(PlaceLabel, SearchThatPausedDirectSumsGivesWhatAFreshOneGives) {
    // Crowded objects, whose direct sums find nothing, then objects on a
    // clear map, then crowded ones again: a search kept throughout answers
    // as a new search for each object does.
    std::mt19937 random(14);
    std::uniform_int_distribution<int> unit(0, 999);
    LabelSearch kept;
    for (int round = 0; round < 90; ++round) {
        const bool crowded = round < 30 || round >= 60;
        const PixelPoint anchor{100 + unit(random) % 200, 80 + unit(random) % 140};
        const int w = 6 * (3 + unit(random) % 12), h = 13, halfWidth = 4 + unit(random) % 10;
        ObstacleIndex obstacles(400, 300);
        obstacles.add({anchor.x - halfWidth, anchor.y - halfWidth, anchor.x + halfWidth, anchor.y + halfWidth});
        for (int i = crowded ? 12 : 0; i > 0; --i) {
            const int x = anchor.x + unit(random) % 200 - 100, y = anchor.y + unit(random) % 120 - 60;
            obstacles.add(rectFromCorners(x, y, x + 60, y + 25));
        }
        LabelSearch fresh;
        ASSERT_EQ(kept.place(anchor, halfWidth, w, h, obstacles), fresh.place(anchor, halfWidth, w, h, obstacles))
            << "round " << round;
    }
}

TEST(PlaceLabel, ObstaclesBeyondTheReadAreaChangeNothing) {
    // Crowded objects, some with a place asked for; then obstacles round
    // what the search reads, up to its sides and in the same cells, and
    // across the map beside it: the same place again.
    std::mt19937 random(23);
    std::uniform_int_distribution<int> unit(0, 999);
    LabelSearch search;
    for (int round = 0; round < 60; ++round) {
        const PixelPoint anchor{100 + unit(random) % 200, 80 + unit(random) % 140};
        const int w = 6 * (1 + unit(random) % 15), h = 13, halfWidth = unit(random) % 12;
        const std::optional<PixelPoint> preferred =
            round % 3 == 0 ? std::optional<PixelPoint>{{anchor.x + unit(random) % 200 - 100, anchor.y - 30}} : std::nullopt;
        ObstacleIndex obstacles(400, 300);
        obstacles.add({anchor.x - halfWidth, anchor.y - halfWidth, anchor.x + halfWidth, anchor.y + halfWidth});
        for (int i = unit(random) % 60; i > 0; --i) {
            const int x = anchor.x + unit(random) % 300 - 150, y = anchor.y + unit(random) % 160 - 80;
            obstacles.add(rectFromCorners(x, y, x + 6 * (1 + unit(random) % 10), y + 13 + unit(random) % 20));
        }
        const PixelPoint before = search.place(anchor, halfWidth, w, h, obstacles, preferred);
        const Rect area = LabelSearch::readArea(anchor, halfWidth, w, h, preferred);
        for (int i = 0; i < 40; ++i) {
            const int along = unit(random) % 50, depth = 1 + unit(random) % 30;
            switch (i % 4) {
                case 0: obstacles.add({area.left - depth, area.top + along, area.left, area.top + along + depth}); break;
                case 1: obstacles.add({area.right, area.top + along, area.right + depth, area.bottom}); break;
                case 2: obstacles.add({area.left + along, area.top - depth, area.right, area.top}); break;
                default: obstacles.add({-(1 << 20), area.bottom, 1 << 20, area.bottom + depth}); break;
            }
        }
        ASSERT_EQ(search.place(anchor, halfWidth, w, h, obstacles, preferred), before) << "round " << round;
        LabelSearch fresh;
        ASSERT_EQ(fresh.place(anchor, halfWidth, w, h, obstacles, preferred), before) << "round " << round;
    }
}

// The plain scan for obstacles piled in runs of equal rectangles: a score
// is a whole number, so each of a run's copies adds the same amount, and
// the run counts once, times its count.
PixelPoint referenceForPiles(const Object& o, int w, int h, const ObstacleIndex& obstacles) {
    std::vector<std::pair<Rect, std::int64_t>> runs;
    obstacles.visitOverlappingAnyOrder({-(1 << 29), -(1 << 29), 1 << 29, 1 << 29},
                                       [&](const Rect& r, std::int64_t count) { runs.emplace_back(r, count); });
    return plainScan(o, w, h, [&](const Rect& label, const Rect& leader) {
        std::int64_t s = 0;
        for (const auto& [r, count] : runs) {
            const auto leaderPart = static_cast<std::int64_t>(0.3 * static_cast<double>(rectOverlapArea(r, leader)));
            s += count * (rectOverlapArea(r, label) + leaderPart);
        }
        return s;
    });
}

// A pile deep enough that the coverage summed up to some labels' far
// corners passes 2^31 (the sums then need 64 bits), beyond every leader's
// reach, and lighter obstacles round the object that decide where the
// label goes: the search still finds the plain scan's place.
TEST(PlaceLabel, DeepPilesPastThe32BitSums) {
    // Labels of 180 pixels on rings up to 42 pixels out: leaders end at
    // most 42 + 90 pixels right of the anchor, short of the pile.
    ObstacleIndex obstacles(800, 600);
    obstacles.add({0, 0, 800, 600});
    for (int k = 0; k < 400000; ++k) obstacles.add({433, 150, 700, 450});
    for (int k = 0; k < 3; ++k) obstacles.add({180, 280, 240, 320});
    obstacles.add({230, 250, 290, 262});
    const Object object = objectAt(300, 300, 10);
    EXPECT_EQ(place(object, 180, 13, obstacles), referenceForPiles(object, 180, 13, obstacles));
}

TEST(PlaceLabel, TiesGoToTheFirstCandidate) {
    // Four equal obstacles round the object leave every candidate of the
    // first ring the same score; the first of them wins.
    ObstacleIndex obstacles;
    for (const Rect& r : {Rect{0, 0, 200, 90}, Rect{0, 110, 200, 200}, Rect{0, 0, 90, 200}, Rect{110, 0, 200, 200}})
        obstacles.add(r);
    const Object object = objectAt(100, 100, 5);
    EXPECT_EQ(place(object, 30, 13, obstacles), referenceLabelPlace(object, 30, 13, obstacles));
}

TEST(PlaceLabel, PreferredCornerIsTakenOnlyWhereTheLabelOverlapsNothing) {
    // Icon 10 pixels each way and a label above it; free places whatever
    // their leader crosses, a place touching the icon's side, and places
    // over the icon or the label.
    ObstacleIndex obstacles;
    obstacles.add({90, 90, 110, 110});
    obstacles.add({60, 40, 120, 55});
    LabelSearch search;
    const PixelPoint searched = search.place({100, 100}, 10, 30, 12, obstacles);
    for (const PixelPoint free : {PixelPoint{112, 98}, PixelPoint{110, 60}, PixelPoint{60, 78}})
        EXPECT_EQ(search.place({100, 100}, 10, 30, 12, obstacles, free), free);
    for (const PixelPoint taken : {PixelPoint{95, 95}, PixelPoint{100, 50}, PixelPoint{61, 79}})
        EXPECT_EQ(search.place({100, 100}, 10, 30, 12, obstacles, taken), searched);
}

TEST(PlaceTitle, MatchesAPlainScanOnRandomObstacles) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const std::size_t length = round % 9;
        const int width = 60 + round * 5, height = 40 + round % 7 * 10;
        const ObstacleIndex obstacles = randomObstacles(random, 1 + round * 4, width, 70);
        EXPECT_EQ(titleOf(length, width, height, obstacles), referenceTitlePlace(length, width, height, obstacles))
            << "round " << round;
    }
}

TEST(PlaceTitle, EmptyMapTakesTheFirstCandidateAndTooSmallAMapTheCorner) {
    const gdFontPtr font = gdFontGetGiant();
    EXPECT_EQ(titleOf(3, 300, 200, {}), rectFromCorners(font->w, font->h / 2, font->w * 4, font->h / 2 + font->h));
    // No row fits.
    EXPECT_EQ(titleOf(3, 300, font->h, {}), rectFromCorners(0, 0, font->w * 3, font->h));
}

TEST(PlaceTitle, TitleRowsEndHalfALineAboveTheBottomForAnEvenLineHeight) {
    // Line height 10: rows every 5 pixels while y < 40 - 15; the obstacle
    // over rows 0-29 makes the lowest row the best.
    ObstacleIndex obstacles;
    obstacles.add({0, 0, 100, 25});
    EXPECT_EQ(placeTitle(30, 6, 10, 100, 40, obstacles).top, 20);
}

}  // namespace
