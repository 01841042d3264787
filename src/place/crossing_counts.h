// How many obstacles a leader's box meets, at most. A leader runs from its
// object's anchor, so its box has a corner there and lies in one of the
// four quarters round it; for each quarter, a table counts the obstacles by
// how far they begin from the anchor, in steps of a few pixels, and the
// count for a box is one look-up. With at most n obstacles over a box of
// coverage C, the leader part of a score lies between (3C - 9n) / 10 and
// 3C / 10: each obstacle's term floor(3b / 10) is at most 0.9 below 3b / 10.
#pragma once

#include "base/geometry.h"
#include "place/label_scorers.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {

class CrossingCounts {
public:
    // Forgets the tables, for boxes with a corner at anchor reaching at most
    // reachX and reachY pixels from it, and for the obstacles near: those
    // over the boxes, each with its count, kept by the caller while the
    // counts are asked for. The counts are kept in 32 bits, so boxes are
    // counted only while the obstacles near number below 2^31.
    void reset(PixelPoint anchor, int reachX, int reachY, const std::vector<CountedRect>& near);

    // The tables count in steps of this many pixels from the anchor.
    static constexpr int STEP = 4;

    // For a box with a positive area and a corner at the anchor: at least
    // the number of obstacles, each with its count, that share a positive
    // area with it, and at most the number that share one with the box
    // widened away from the anchor to whole steps; nothing for a box beyond
    // the reach. A quarter's table is made the first time a box lies in it.
    std::optional<std::int64_t> count(const Rect& box);

private:
    // Entry (i, j), at j x (stepsX + 1) + i, counts the obstacles of the
    // quarter that begin less than i steps across and j down from the
    // anchor, seen as if the quarter lay right of and below it.
    struct Quarter {
        bool made = false;
        std::vector<std::int32_t> table;
    };

    void make(Quarter& quarter, int sideX, int sideY);

    // The steps that cover a distance of d pixels from the anchor.
    static std::int64_t stepsOf(std::int64_t d) { return (d + STEP - 1) / STEP; }

    PixelPoint anchor_{};
    int reachX_ = 0, reachY_ = 0;
    bool tooMany_ = false;
    const std::vector<CountedRect>* near_ = nullptr;
    std::array<Quarter, 4> quarters_;
};

}  // namespace orvex
