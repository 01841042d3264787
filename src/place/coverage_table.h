// Coverage sums over a region: the number of obstacles over each pixel,
// summed over any rectangle inside the region in four look-ups.
#pragma once

#include "base/geometry.h"

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
    // excluded). rowCounts(y, take) hands the counts of the region's pixel
    // row y to take(counts, n), from its left edge on, in pieces of n
    // consecutive counts (uint16_t or int32_t); total bounds the sum of
    // every count of the region from above.
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
    // Each row is summed as its counts come, in one pass: the running sum
    // along the row plus the entry above.
    template <class T, class RowCounts>
    void fill(std::vector<T>& table, RowCounts& rowCounts) {
        const auto stride = static_cast<std::size_t>(stride_);
        table.resize(stride * static_cast<std::size_t>(rows_));
        std::fill_n(table.begin(), stride, T{0});
        for (std::size_t j = 1; j < static_cast<std::size_t>(rows_); ++j) {
            T* row = &table[j * stride];
            const T* above = row - stride;
            row[0] = 0;
            T run = 0;
            std::size_t at = 1;
            rowCounts(y0_ + static_cast<int>(j) - 1, [&](const auto* counts, int n) {
                run = sumPiece(row + at, above + at, counts, n, run);
                at += static_cast<std::size_t>(n);
            });
        }
    }

    // Writes out[c] = up[c] + run + counts[0] + ... + counts[c] for c below
    // n, and returns the last running sum. Kept out of line, so that the
    // running sum stays in a register.
    template <class T, class Count>
    [[gnu::noinline]] static T sumPiece(T* out, const T* up, const Count* counts, int n, T run) {
        for (int c = 0; c < n; ++c) out[c] = up[c] + (run += counts[c]);
        return run;
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
