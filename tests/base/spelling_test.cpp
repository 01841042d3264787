// The near-miss search behind "did you mean": distances with insertions,
// deletions, substitutions and neighbour swaps, case folded, and the first
// nearest name within the allowed edits.
#include "base/spelling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvex;

TEST(Spelling, EditDistanceCountsEachKindOfEditOnce) {
    struct Case {
        const char *a, *b;
        int distance;
    };
    const Case cases[] = {
        {"", "", 0},          {"abc", "", 3},           {"", "ab", 2},        {"destroyr", "destroyer", 1},
        {"kitten", "sitting", 3}, {"Ship", "sHIP", 0},  {"ab", "ba", 1},      {"abc", "acb", 1},
        {"abcd", "badc", 2},  {"ca", "abc", 3},         {"a", "b", 1},        {"frigate", "frigates", 1},
        {"xab", "xba", 1},    {"abx", "bax", 1},        {"abcdef", "fedcba", 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(editDistance(c.a, c.b), c.distance) << c.a << " / " << c.b;
        EXPECT_EQ(editDistance(c.b, c.a), c.distance) << c.b << " / " << c.a;
    }
}

TEST(Spelling, NearestNameIsTheFirstAtTheLeastDistanceWithinTheLimit) {
    const std::vector<std::string> names{"destroyer", "cruiser", "carrier", "courier"};
    EXPECT_EQ(nearestName("destroyr", names, 2), "destroyer");
    EXPECT_EQ(nearestName("carier", names, 2), "carrier");      // carrier before courier, both one and two away
    EXPECT_EQ(nearestName("courrier", names, 1), "courier");
    EXPECT_EQ(nearestName("curier", names, 1), "courier");       // the only one a single edit away
    EXPECT_EQ(nearestName("cruser", names, 1), "cruiser");
    EXPECT_EQ(nearestName("cruserr", names, 1), "");            // two edits, one allowed
    EXPECT_EQ(nearestName("cruserr", names, 2), "cruiser");
    EXPECT_EQ(nearestName("anything", {}, 5), "");
    EXPECT_EQ(nearestName("cxrrier", {"carrier", "currier"}, 1), "carrier");  // a tie: the first
}
