// How a label candidate's score is worked out.
//
// The score is defined by a running sum truncated after each obstacle, in
// the order the obstacles were added:
//     s = trunc(s + a + 0.3 x b)
// with a and b the obstacle's overlap with the label and with the leader's
// box. While the sums stay below 2^49, trunc(0.3 x b) in doubles equals
// floor(3b / 10), and trunc(c + p) = c + trunc(p) for a whole c. The score
// is then the plain sum of the per-obstacle terms a + floor(3b / 10), which
// can be added in any order, identical obstacles as count x term: the area
// part A, the sum of the a terms, is the coverage summed over the label,
// and the leader part P the sum of the floor(3b / 10) terms. Three scorers
// work it out: in list order, as defined, where the sums could reach 2^49;
// by direct sums over the obstacles near the object, while they are few;
// and from the coverage of the map, where they are many.
#pragma once

#include "base/geometry.h"
#include "place/coverage_table.h"
#include "place/obstacle_index.h"

#include <cstdint>
#include <vector>

namespace orvex {

// Below this, the reordered sums equal the score in list order.
constexpr std::int64_t EXACT_SUM_LIMIT = std::int64_t{1} << 49;

// A rectangle that stands for `count` identical obstacles.
struct CountedRect {
    Rect rect;
    std::int64_t count;
};

// The score in list order, as defined, or any value not below `limit` once
// the score reaches it: no term is negative, so the score only grows.
std::int64_t orderedScore(const Rect& label, const Rect& leader, const std::vector<Rect>& obstacles,
                          std::int64_t limit);

// Direct sums over the obstacles near an object: each distinct one once,
// with its count.
class DirectScorer {
public:
    // Takes the obstacles over region, cut to it.
    void gather(const Rect& region, const ObstacleIndex& obstacles);
    // Merges the equal ones gathered, for the sums below.
    void merge();

    const std::vector<CountedRect>& near() const { return near_; }  // as gathered
    std::int64_t count() const { return count_; }  // with their counts

    // Once merged: how many distinct ones there are, and A and P of a label
    // and leader box inside the region, or any value not below limit once
    // they reach it.
    std::int64_t size() const { return static_cast<std::int64_t>(distinct_.size()); }
    std::int64_t areaPart(const Rect& label, std::int64_t limit) const;
    std::int64_t leaderPart(const Rect& leader, std::int64_t limit) const;

private:
    std::vector<CountedRect> near_, distinct_;
    std::vector<std::int32_t> slotOf_;  // open addressing: an index into distinct_, or -1
    std::int64_t count_ = 0;
};

// The coverage of the region, from the map's coverage of the obstacles:
// A in four look-ups, and bounds of P.
class CoverageScorer {
public:
    // The table over region.
    void build(const Rect& region, const ObstacleIndex& obstacles) { obstacles.coverageTable(region, table_); }

    // The coverage summed over r, which lies inside the region; over a
    // leader box, C, with floor(3C / 10) >= P, and P = 0 when C < 4 (no
    // obstacle then covers 4 of its pixels, and 0.3 x 3 truncates to 0).
    std::int64_t sum(const Rect& r) const { return table_.sum(r); }
    std::int64_t leastSum(const Rect& r, int across, int down) const { return table_.leastSum(r, across, down); }

    // P of a leader box, exactly, from the obstacles over it.
    static std::int64_t leaderPart(const Rect& leader, const ObstacleIndex& obstacles);

private:
    CoverageTable table_;
};

}  // namespace orvex
