#include "place/crossing_counts.h"

#include "place/prefix_sums.h"

#include <algorithm>

namespace orvex {

namespace {

// Where an obstacle begins and ends along one axis, counted from the anchor
// towards the quarter's side (side 1 or -1).
struct Span {
    std::int64_t near, far;
};

Span spanFrom(int low, int high, int anchor, int side) {
    if (side > 0) return {std::int64_t{low} - anchor, std::int64_t{high} - anchor};
    return {std::int64_t{anchor} - high, std::int64_t{anchor} - low};
}

}  // namespace

void CrossingCounts::reset(PixelPoint anchor, int reachX, int reachY, const std::vector<CountedRect>& near) {
    anchor_ = anchor, reachX_ = reachX, reachY_ = reachY, near_ = &near;
    std::int64_t total = 0;
    for (const CountedRect& o : near) total += o.count;
    tooMany_ = total > INT32_MAX;
    for (Quarter& quarter : quarters_) quarter.made = false;
}

std::optional<std::int64_t> CrossingCounts::count(const Rect& box) {
    const int sideX = box.left == anchor_.x ? 1 : -1, sideY = box.top == anchor_.y ? 1 : -1;
    const std::int64_t across = std::int64_t{box.right} - box.left, down = std::int64_t{box.bottom} - box.top;
    if (across > reachX_ || down > reachY_) return std::nullopt;
    Quarter& quarter = quarters_[(sideX > 0 ? 0U : 1U) + (sideY > 0 ? 0U : 2U)];
    if (tooMany_) return std::nullopt;
    if (!quarter.made) make(quarter, sideX, sideY);
    return quarter.table[static_cast<std::size_t>(stepsOf(down) * (stepsOf(reachX_) + 1) + stepsOf(across))];
}

void CrossingCounts::make(Quarter& quarter, int sideX, int sideY) {
    quarter.made = true;
    const auto stride = static_cast<std::size_t>(stepsOf(reachX_)) + 1;
    const auto rows = static_cast<std::size_t>(stepsOf(reachY_)) + 1;
    quarter.table.assign(stride * rows, 0);
    // Each obstacle reaching into the quarter, turned so that the quarter
    // lies right of and below the anchor, is marked at the step where it
    // begins (from the anchor on); summing the marks up and across then
    // counts those that begin before each entry.
    for (const CountedRect& o : *near_) {
        const Span across = spanFrom(o.rect.left, o.rect.right, anchor_.x, sideX);
        const Span down = spanFrom(o.rect.top, o.rect.bottom, anchor_.y, sideY);
        if (across.far <= 0 || down.far <= 0 || across.near >= reachX_ || down.near >= reachY_) continue;
        const auto i = static_cast<std::size_t>(std::max<std::int64_t>(across.near, 0) / STEP) + 1;
        const auto j = static_cast<std::size_t>(std::max<std::int64_t>(down.near, 0) / STEP) + 1;
        quarter.table[j * stride + i] += static_cast<std::int32_t>(o.count);
    }
    std::int32_t* t = quarter.table.data();
    for (std::size_t j = 1; j < rows; ++j) sumRow(t + j * stride, t + (j - 1) * stride, stride);
}

}  // namespace orvex
