#include "place/crossing_counts.h"

#include <algorithm>
#include <utility>

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
    marked_ = false;
}

std::optional<std::int64_t> CrossingCounts::count(const Rect& box) {
    const int sideX = box.left == anchor_.x ? 1 : -1, sideY = box.top == anchor_.y ? 1 : -1;
    const std::int64_t across = std::int64_t{box.right} - box.left, down = std::int64_t{box.bottom} - box.top;
    if (across > reachX_ || down > reachY_) return std::nullopt;
    const std::size_t q = (sideX > 0 ? 0U : 1U) + (sideY > 0 ? 0U : 2U);
    if (tooMany_) return std::nullopt;
    if (!quarters_[q].made) make(q);
    return quarters_[q].table[static_cast<std::size_t>(stepsOf(down) * (stepsOf(reachX_) + 1) + stepsOf(across))];
}

void CrossingCounts::mark() {
    marked_ = true;
    for (std::vector<Mark>& marks : marks_) marks.clear();
    // Each obstacle reaching into a quarter, turned so that the quarter lies
    // right of and below the anchor, is marked there at the step where it
    // begins (from the anchor on), one entry past it.
    for (const CountedRect& o : *near_) {
        const std::array<Span, 2> across{spanFrom(o.rect.left, o.rect.right, anchor_.x, 1),
                                         spanFrom(o.rect.left, o.rect.right, anchor_.x, -1)};
        const std::array<Span, 2> down{spanFrom(o.rect.top, o.rect.bottom, anchor_.y, 1),
                                       spanFrom(o.rect.top, o.rect.bottom, anchor_.y, -1)};
        for (std::size_t y = 0; y < 2; ++y) {
            if (down[y].far <= 0 || down[y].near >= reachY_) continue;
            const auto j = static_cast<std::int32_t>(std::max<std::int64_t>(down[y].near, 0) / STEP) + 1;
            for (std::size_t x = 0; x < 2; ++x) {
                if (across[x].far <= 0 || across[x].near >= reachX_) continue;
                const auto i = static_cast<std::int32_t>(std::max<std::int64_t>(across[x].near, 0) / STEP) + 1;
                marks_[x + 2 * y].push_back({j, i, static_cast<std::int32_t>(o.count)});
            }
        }
    }
}

template <class Key>
void CrossingCounts::sortBy(const std::vector<Mark>& marks, std::vector<Mark>& sorted, std::size_t keys, Key key) {
    first_.assign(keys + 1, 0);
    for (const Mark& m : marks) ++first_[static_cast<std::size_t>(key(m)) + 1];
    for (std::size_t k = 1; k <= keys; ++k) first_[k] += first_[k - 1];
    sorted.resize(marks.size());
    std::vector<std::size_t>& next = next_;
    next.assign(first_.begin(), first_.end() - 1);
    for (const Mark& m : marks) sorted[next[static_cast<std::size_t>(key(m))]++] = m;
}

void CrossingCounts::make(std::size_t q) {
    if (!marked_) mark();
    Quarter& quarter = quarters_[q];
    quarter.made = true;
    const auto stride = static_cast<std::size_t>(stepsOf(reachX_)) + 1;
    const auto rows = static_cast<std::size_t>(stepsOf(reachY_)) + 1;
    // The quarter's marks by row, and by column within a row: sorted by
    // column, then stably by row, counting each.
    sortBy(marks_[q], byColumn_, stride, [](const Mark& m) { return m.column; });
    sortBy(byColumn_, byRow_, rows, [](const Mark& m) { return m.row; });
    quarter.table.resize(stride * rows);
    std::int32_t* t = quarter.table.data();
    std::fill_n(t, stride, 0);
    // Entry (i, j) counts the marks up to column i and row j: the entry
    // above plus the marks of row j up to column i, so that between two
    // marks of a row, the row is the one above with one sum added.
    for (std::size_t j = 1; j < rows; ++j) {
        const Mark* const first = byRow_.data() + first_[j];
        const Mark* const last = byRow_.data() + first_[j + 1];
        std::int32_t* row = t + j * stride;
        const std::int32_t* above = row - stride;
        std::int32_t run = 0;
        std::size_t from = 0;
        for (const Mark* m = first; m != last; ++m) {
            const auto to = static_cast<std::size_t>(m->column);
            for (std::size_t i = from; i < to; ++i) row[i] = above[i] + run;
            run += m->count;
            from = to;
        }
        for (std::size_t i = from; i < stride; ++i) row[i] = above[i] + run;
    }
}

}  // namespace orvex
