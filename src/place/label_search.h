// The search for a label's place beside its object.
#pragma once

#include "base/geometry.h"
#include "place/coverage_table.h"
#include "place/obstacle_index.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
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

// The same search, keeping its working memory from one label to the next.
// A preferred corner, when given, is taken as it is if the label overlaps no
// obstacle there (its leader is not looked at); otherwise the search runs as
// usual.
class LabelSearch {
public:
    PixelPoint place(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles,
                     std::optional<PixelPoint> preferred = std::nullopt);

private:
    // A candidate of one ring whose rectangle differs from the one before it
    // (the same rectangle has the same score, which cannot beat the one
    // before): its angle in degrees, and where its anchor point lies from
    // the object's anchor.
    struct Candidate {
        std::int16_t angle, dx, dy;
        bool exact;  // near a half: computed from the object's position
    };
    // Neighbouring candidates [first, last) of one ring whose labels extend
    // the same way, with the range of their offsets; a bounded group holds no
    // candidate computed from the object's position.
    struct CandidateGroup {
        std::int16_t first, last;
        std::int16_t dxMin, dxMax, dyMin, dyMax;
        std::int8_t sideX, sideY;
        bool bounded;
    };
    // The candidates on the ring of one radius, by angle, and their groups:
    // the same for every icon half-width whose rings include it.
    struct Ring {
        std::vector<Candidate> list;
        std::vector<CandidateGroup> groups;
    };
    const Ring& ring(int radius);

    // The obstacles listed by 32-pixel cells of the search region. A visit
    // takes each obstacle in the one cell where its overlap with the visited
    // rectangle begins, so each counts once.
    class CellLists {
    public:
        void build(const Rect& region, const std::vector<CountedRect>& obstacles);

        // Calls take(obstacle) for each obstacle that overlaps r, which lies
        // in the region, until take returns false.
        template <class Take>
        void visit(const Rect& r, const std::vector<CountedRect>& obstacles, Take take) const {
            if (r.right <= r.left || r.bottom <= r.top) return;
            for (int row = rowOf(r.top); row <= rowOf(r.bottom - 1); ++row) {
                for (int column = columnOf(r.left); column <= columnOf(r.right - 1); ++column) {
                    const std::size_t cell = static_cast<std::size_t>(row) * columns_ + column;
                    for (std::uint32_t k = start_[cell]; k < start_[cell + 1]; ++k) {
                        const CountedRect& o = obstacles[ids_[k]];
                        if (rectOverlapArea(o.rect, r) == 0 || columnOf(std::max(o.rect.left, r.left)) != column ||
                            rowOf(std::max(o.rect.top, r.top)) != row)
                            continue;
                        if (!take(o)) return;
                    }
                }
            }
        }

        // At least the number of obstacles that overlap r, which lies in
        // the region: the length of the lists of the cells under r.
        std::int64_t countAtMost(const Rect& r) const {
            if (r.right <= r.left || r.bottom <= r.top) return 0;
            std::int64_t n = 0;
            for (int row = rowOf(r.top); row <= rowOf(r.bottom - 1); ++row) {
                const std::size_t first = static_cast<std::size_t>(row) * columns_;
                n += start_[first + columnOf(r.right - 1) + 1] - start_[first + columnOf(r.left)];
            }
            return n;
        }

    private:
        static constexpr int CELL_SHIFT = 5;
        int columnOf(int x) const { return (x - x0_) >> CELL_SHIFT; }
        int rowOf(int y) const { return (y - y0_) >> CELL_SHIFT; }

        // The cells an obstacle covers, inclusive.
        struct CellRange {
            int left, right, top, bottom;
        };

        int x0_ = 0, y0_ = 0, columns_ = 0, rows_ = 0;
        std::vector<CellRange> cells_;
        std::vector<std::uint32_t> start_, fill_, ids_;
    };

    // Where each candidate's leader box lies from the anchor, for the icon
    // half-width and label size of the label before, worked out as
    // candidates need it; a slot of an older generation is not known.
    struct LeaderSlot {
        std::int16_t left, top, right, bottom;
        std::uint32_t generation;
    };
    // Keeps the slots when the size is the one before, else forgets them.
    void useLeaderSize(int iconHalfWidth, int width, int height);

    static std::size_t hashOf(const Rect& r) {
        std::uint64_t h = static_cast<std::uint32_t>(r.left);
        for (int v : {r.top, r.right, r.bottom}) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(v);
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    // Gathers near_, cut to region, into distinct_.
    void countDistinct(const Rect& region);

    std::unordered_map<int, Ring> rings_;
    std::vector<std::int32_t> slotOf_;  // open addressing: an index into distinct_, or -1
    std::vector<LeaderSlot> leaders_;
    std::array<int, 3> leaderSize_{-1, -1, -1};
    std::uint32_t leaderGeneration_ = 1;
    std::vector<CountedRect> heavy_, light_;
    CellLists lightCells_;
    std::vector<CountedRect> near_;  // the obstacles over the region, equal ones added in a row counted
    std::vector<CountedRect> distinct_;
    CoverageTable coverage_;
};

}  // namespace orvex
