#include "place/coverage_table.h"

#include <algorithm>

namespace orvex {

// The table is made row by row. The row sums hold, for the pixel row at
// hand, the coverage summed from the region's left edge up to each column;
// an obstacle's edge on that row adds (or takes away) a ramp, count x the
// pixels it covers left of the column: rising over its own columns, level
// beyond them. Each table row is the one above plus the row sums.
//
// A row with few edges adds their ramps directly, in loops the compiler
// vectorises; a row with many marks where each ramp's slope starts and
// stops and sums the marks twice along the row, a pass whose cost does not
// grow with the edges.
template <class T>
void CoverageTable::fill(std::vector<T>& table, std::vector<T>& rowSums, std::vector<T>& slopeMarks) {
    // How much more a step of the pass costs than one of the direct loops.
    constexpr std::int64_t PASS_COST = 4;
    const auto stride = static_cast<std::size_t>(stride_);
    const int width = stride_;  // a local, as the stores below could alias the member
    table.resize(stride * static_cast<std::size_t>(rows_));
    rowSums.assign(stride, 0);
    slopeMarks.assign(stride, 0);
    std::fill_n(table.begin(), stride, T{0});
    T* sums = rowSums.data();
    T* marks = slopeMarks.data();
    for (std::size_t j = 1; j < static_cast<std::size_t>(rows_); ++j) {
        const std::uint32_t first = edgeStart_[j - 1], last = edgeStart_[j];
        std::int64_t directCost = 0;
        int from = width;  // the first column any ramp reaches
        for (std::uint32_t e = first; e < last; ++e) {
            directCost += width - edges_[e].left;
            from = std::min(from, edges_[e].left + 1);
        }
        if (directCost <= PASS_COST * (width - from)) {
            for (std::uint32_t e = first; e < last; ++e) {
                const int left = edges_[e].left, right = edges_[e].right;
                const T count = static_cast<T>(edges_[e].count);
                for (int i = left + 1; i <= right; ++i) sums[i] += count * static_cast<T>(i - left);
                const T whole = count * static_cast<T>(right - left);
                for (int i = right + 1; i < width; ++i) sums[i] += whole;
            }
        } else {
            for (std::uint32_t e = first; e < last; ++e) {
                const T count = static_cast<T>(edges_[e].count);
                marks[edges_[e].left + 1] += count;
                marks[edges_[e].right + 1] -= count;
            }
            T slope = 0, ramp = 0;
            for (int i = from; i < width; ++i) {
                slope += marks[i];
                marks[i] = 0;
                ramp += slope;
                sums[i] += ramp;
            }
        }
        T* row = &table[j * stride];
        const T* above = row - stride;
        for (std::size_t i = 0; i < stride; ++i) row[i] = above[i] + sums[i];
    }
}

void CoverageTable::build(const Rect& region, const std::vector<CountedRect>& obstacles, std::int64_t totalCount) {
    x0_ = region.left, y0_ = region.top;
    stride_ = region.right - region.left + 2, rows_ = region.bottom - region.top + 2;
    // Each obstacle's top and bottom edge, in region coordinates, sorted by
    // pixel row: counted first, then placed.
    edgeStart_.assign(static_cast<std::size_t>(rows_) + 1, 0);
    auto rowOf = [&](int y) { return static_cast<std::size_t>(y - y0_); };
    for (const CountedRect& o : obstacles) {
        ++edgeStart_[rowOf(o.rect.top) + 1];
        ++edgeStart_[rowOf(o.rect.bottom) + 1];
    }
    for (std::size_t row = 1; row < edgeStart_.size(); ++row) edgeStart_[row] += edgeStart_[row - 1];
    edges_.resize(edgeStart_.back());
    edgeFill_.assign(edgeStart_.begin(), edgeStart_.end() - 1);
    for (const CountedRect& o : obstacles) {
        const int left = o.rect.left - x0_, right = o.rect.right - x0_;
        edges_[edgeFill_[rowOf(o.rect.top)]++] = {left, right, o.count};
        edges_[edgeFill_[rowOf(o.rect.bottom)]++] = {left, right, -o.count};
    }
    const std::int64_t area = static_cast<std::int64_t>(stride_) * rows_;
    isNarrow_ = totalCount < (std::int64_t{1} << 31) / area;
    if (isNarrow_) fill(narrowTable_, narrowRowSums_, narrowSlopeMarks_);
    else fill(wideTable_, wideRowSums_, wideSlopeMarks_);
}

}  // namespace orvex
