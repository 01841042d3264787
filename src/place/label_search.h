// The search for a label's place beside its object.
#pragma once

#include "base/geometry.h"
#include "place/obstacle_index.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

// The top-left corner for a label of width x height pixels beside an
// object anchored at `anchor` whose icon reaches iconHalfWidth pixels from
// it: of 32 rings of 360 candidates round the anchor, innermost ring and
// smallest angle first, the first that overlaps no obstacle, else the first
// with the lowest score. A candidate scores the overlap of its rectangle
// with each obstacle plus 0.3 times that of its leader's bounding box,
// truncated after each obstacle in the order they were added.
PixelPoint placeLabel(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles);

// The same search, keeping its working memory from one label to the next.
class LabelSearch {
public:
    PixelPoint place(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles);

private:
    // An obstacle cut to the search region, and how many identical ones
    // there are.
    struct Counted {
        Rect rect;
        std::int64_t count;
    };

    // Where a candidate's anchor point lies from the object's anchor, for
    // the candidates of one icon half-width in order.
    struct CandidateOffset {
        std::int16_t dx, dy;
        bool exact;   // near a half: computed from the object's position
        bool repeat;  // the same rectangle as the candidate before it
    };
    const std::vector<CandidateOffset>& candidateOffsets(int iconHalfWidth);

    std::unordered_map<int, std::vector<CandidateOffset>> offsets_;
    std::vector<Rect> near_;
    std::vector<Counted> distinct_;
    std::vector<std::int64_t> table_;

};
