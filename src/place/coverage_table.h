// Coverage sums over a region: the number of obstacles over each pixel,
// summed over any rectangle inside the region in four look-ups.
#pragma once

#include "base/geometry.h"
#include "place/prefix_sums.h"

#include <cstdint>
#include <vector>

namespace orvex {

// A summed-area table of per-pixel coverage counts, kept from one region to
// the next, so that its memory is reused. The sums are kept in 32 bits when
// the region's whole coverage stays below 2^31, which halves the table's
// memory traffic.
class CoverageTable {
public:
    // Fills the table for the pixels of region (right and bottom sides
    // excluded). rowCounts(y, out) writes the counts of the region's pixel
    // row y, from its left edge, into out, an array of int32_t or int64_t
    // as the table keeps; total bounds the sum of every count of the region
    // from above.
    template <class RowCounts>
    void build(const Rect& region, std::int64_t total, RowCounts rowCounts) {
        x0_ = region.left, y0_ = region.top;
        stride_ = region.right - region.left + 1, rows_ = region.bottom - region.top + 1;
        isNarrow_ = total < (std::int64_t{1} << 31);
        if (isNarrow_) fill(narrow_, rowCounts);
        else fill(wide_, rowCounts);
    }

    // The coverage summed over the pixels of r (right and bottom sides
    // excluded), which lies inside the region.
    std::int64_t sum(const Rect& r) const { return isNarrow_ ? sumOf(narrow_, r) : sumOf(wide_, r); }

private:
    template <class T, class RowCounts>
    void fill(std::vector<T>& table, RowCounts& rowCounts) {
        const auto stride = static_cast<std::size_t>(stride_);
        table.resize(stride * static_cast<std::size_t>(rows_));
        std::fill_n(table.begin(), stride, T{0});
        for (std::size_t j = 1; j < static_cast<std::size_t>(rows_); ++j) {
            T* row = &table[j * stride];
            row[0] = 0;
            rowCounts(y0_ + static_cast<int>(j) - 1, row + 1);
            sumRow(row, row - stride, stride);
        }
    }

    // Entry (i, j) holds the sum over the pixels left of x0 + i and above
    // y0 + j, so the first row and column stay 0.
    template <class T>
    std::int64_t sumOf(const std::vector<T>& table, const Rect& r) const {
        auto at = [&](int x, int y) -> std::int64_t {
            return table[static_cast<std::size_t>(y - y0_) * static_cast<std::size_t>(stride_) +
                         static_cast<std::size_t>(x - x0_)];
        };
        return at(r.right, r.bottom) - at(r.left, r.bottom) - at(r.right, r.top) + at(r.left, r.top);
    }

    int x0_ = 0, y0_ = 0, stride_ = 0, rows_ = 0;
    bool isNarrow_ = true;
    std::vector<std::int32_t> narrow_;
    std::vector<std::int64_t> wide_;
};

}  // namespace orvex
