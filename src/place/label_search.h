// The search for a label's place beside its object.
#pragma once

#include "base/geometry.h"
#include "base/pause_after_misses.h"
#include "place/candidate_rings.h"
#include "place/crossing_counts.h"
#include "place/label_scorers.h"
#include "place/obstacle_index.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {

// The top-left corner for a label of width x height pixels beside an
// object anchored at `anchor` whose icon reaches iconHalfWidth pixels from
// it: of 32 rings of 360 candidates round the anchor, innermost ring and
// smallest angle first, the first that overlaps no obstacle, else the first
// with the lowest score. A candidate scores the overlap of its rectangle
// with each obstacle plus 0.3 times that of its leader's bounding box,
// truncated after each obstacle in the order they were added.
//
// Preconditions, checked (std::invalid_argument): width, height and
// iconHalfWidth are 0 or more, and iconHalfWidth + 32 + the larger of width
// and height is below MAX_LABEL_REACH, as the search keeps its offsets from
// the anchor in 16 bits; the anchor lies within 2^28 pixels of the map.
PixelPoint placeLabel(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles);

// The farthest a label or its leader may reach from its object's anchor.
constexpr int MAX_LABEL_REACH = 32000;

// The same search, keeping its working memory from one label to the next,
// and how its direct sums have fared, which chooses only how the answer is
// worked out.
// A preferred corner, when given, is taken as it is if the label overlaps no
// obstacle there (its leader is not looked at); otherwise the search runs as
// usual.
class LabelSearch {
public:
    PixelPoint place(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles,
                     std::optional<PixelPoint> preferred = std::nullopt);

    // A box outside which obstacles, however many are added, leave the
    // answer of a search with these arguments as it is. For arguments that
    // place takes.
    static Rect readArea(PixelPoint anchor, int iconHalfWidth, int width, int height,
                         std::optional<PixelPoint> preferred);

    // Whether the last search went as far as the coverage, the costly way.
    bool lastWasCostly() const { return lastWasCostly_; }

private:
    // A candidate that may win: its place k = ring x 360 + angle, its label
    // and leader box, its area part and the lower bound of its score.
    struct Seen {
        int k;
        Rect label, leader;
        std::int64_t area, low;  // A, and the score's lower bound
    };
    // The best candidate so far: the lowest score, of equal ones the first.
    struct Best {
        std::int64_t score = INT64_MAX;
        int k = INT32_MAX;
        PixelPoint corner{};
        bool beatenBy(std::int64_t s, int at) const { return s < score || (s == score && at < k); }
    };
    // A block of candidates by the least score they can have, and its core's
    // coverage, the least area part.
    struct BlockAt {
        std::int64_t least, core;
        std::int32_t band, index;
    };

    // How many blocks of least bound are looked at first.
    static constexpr std::size_t LEAST_FIRST = 16;

    class Walk;
    // The region round the object that holds every candidate and its
    // leader.
    static Rect regionOf(PixelPoint anchor, int iconHalfWidth, int width, int height);
    // The scorers' searches: in list order, as defined; by direct sums from
    // the first candidate until the candidates of score 0 are found or their
    // work passes `share`, giving where they stopped (nothing when they
    // went to the end); and by the coverage, from `at` on.
    PixelPoint inListOrder(const Walk& walk, const Rect& region, const ObstacleIndex& obstacles);
    std::optional<int> byDirectSums(const Walk& walk, Best& best, std::int64_t share);
    PixelPoint byCoverage(const Walk& walk, int seen, Best& best, const ObstacleIndex& obstacles);

    CandidateRings rings_;
    LeaderBoxes leaders_;
    DirectScorer direct_;
    CoverageScorer coverage_;
    CrossingCounts crossings_;
    std::vector<Seen> maybe_;
    std::vector<BlockAt> order_;
    // Whether direct sums are worth trying for an object with few obstacles
    // near: after four objects in a row whose direct sums gave no answer,
    // for one object in 16.
    PauseAfterMisses<4, 16> directSums_;
    bool lastWasCostly_ = false;
};

}  // namespace orvex
