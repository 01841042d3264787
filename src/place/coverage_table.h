// Coverage sums over a region: the number of obstacles over each pixel,
// summed over any rectangle inside the region in four look-ups.
#pragma once

#include "base/geometry.h"

#include <cstdint>
#include <vector>

namespace orvex {

// A rectangle that stands for `count` identical obstacles.
struct CountedRect {
    Rect rect;
    std::int64_t count;
};

// Kept from one region to the next, so that its memory is reused. The sums
// are kept in 32 bits when the obstacles cannot reach 2^31 over the whole
// region, which halves the table's memory traffic.
class CoverageTable {
public:
    // Fills the table for region from obstacles that lie inside it,
    // totalCount of them with their counts.
    void build(const Rect& region, const std::vector<CountedRect>& obstacles, std::int64_t totalCount);

    // The coverage summed over the pixels of r (right and bottom sides
    // excluded), which lies inside the region.
    std::int64_t sum(const Rect& r) const { return isNarrow_ ? sumOf(narrowTable_, r) : sumOf(wideTable_, r); }

private:
    // Where an obstacle starts (count) or stops (-count) covering the
    // pixels from left to right, at a pixel row of the region.
    struct Edge {
        int left, right;
        std::int64_t count;
    };

    template <class T>
    void fill(std::vector<T>& table, std::vector<T>& rowSums, std::vector<T>& slopeMarks);

    // Entry (i, j) holds the sum over the pixels left of x0 + i and above
    // y0 + j, so the first row and column stay 0.
    template <class T>
    std::int64_t sumOf(const std::vector<T>& table, const Rect& r) const {
        auto at = [&](int x, int y) -> std::int64_t {
            return table[static_cast<std::size_t>(y - y0_) * stride_ + static_cast<std::size_t>(x - x0_)];
        };
        return at(r.right, r.bottom) - at(r.left, r.bottom) - at(r.right, r.top) + at(r.left, r.top);
    }

    int x0_ = 0, y0_ = 0, stride_ = 0, rows_ = 0;
    bool isNarrow_ = true;
    std::vector<Edge> edges_;               // by pixel row, from edgeStart_[row]
    std::vector<std::uint32_t> edgeStart_, edgeFill_;
    std::vector<std::int32_t> narrowTable_, narrowRowSums_, narrowSlopeMarks_;
    std::vector<std::int64_t> wideTable_, wideRowSums_, wideSlopeMarks_;
};

}  // namespace orvex
