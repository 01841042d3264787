#include "place/obstacle_index.h"

namespace orvex {

namespace {

constexpr int CELL_SHIFT = 5;  // cells of 32 x 32 pixels

// A rectangle over more cells than this, up or across, is kept by strips of
// cells; over more both ways, in the list of large ones.
constexpr std::int64_t MAX_CELLS_ACROSS = 8;

bool hasArea(const Rect& r) { return r.right > r.left && r.bottom > r.top; }

}  // namespace

ObstacleIndex::ObstacleIndex(int mapWidth, int mapHeight)
    : columns_(std::max(0, (mapWidth >> CELL_SHIFT) + 1)),
      rows_(std::max(0, (mapHeight >> CELL_SHIFT) + 1)),
      grid_(static_cast<std::size_t>(columns_) * rows_),
      columnStrips_(columns_),
      rowStrips_(rows_) {}

ObstacleIndex::CellRange ObstacleIndex::cellRange(const Rect& r) {
    return {r.left >> CELL_SHIFT, (r.right - 1) >> CELL_SHIFT, r.top >> CELL_SHIFT, (r.bottom - 1) >> CELL_SHIFT};
}

void ObstacleIndex::add(const Rect& r) {
    coverage_.add(r);
    const auto id = static_cast<std::uint32_t>(entries_.size());
    const bool again = lastRun_ != UINT32_MAX && entries_.back() == r;
    entries_.push_back(r);
    runLength_.push_back(0);
    // The same rectangle again joins the run of the one before, whose cells
    // it has.
    if (again) {
        ++runLength_[lastRun_];
        return;
    }
    lastRun_ = UINT32_MAX;
    // A rectangle without area overlaps nothing: it is only listed.
    if (!hasArea(r)) return;
    lastRun_ = id;
    runLength_[id] = 1;
    const CellRange cells = cellRange(r);
    const bool tall = cells.lastRow - cells.firstRow >= MAX_CELLS_ACROSS;
    const bool wide = cells.lastColumn - cells.firstColumn >= MAX_CELLS_ACROSS;
    if (tall && wide) {
        large_.push_back(id);
        return;
    }
    if (tall) {
        for (std::int64_t column = cells.firstColumn; column <= cells.lastColumn; ++column) columnStrips_.add(column, id);
        return;
    }
    if (wide) {
        for (std::int64_t row = cells.firstRow; row <= cells.lastRow; ++row) rowStrips_.add(row, id);
        return;
    }
    for (std::int64_t row = cells.firstRow; row <= cells.lastRow; ++row) {
        for (std::int64_t column = cells.firstColumn; column <= cells.lastColumn; ++column) {
            if (inGrid(column, row)) grid_[static_cast<std::size_t>(row * columns_ + column)].push_back(id);
            else outer_[cellKey(column, row)].push_back(id);
        }
    }
}

std::int64_t ObstacleIndex::runsAround(const Rect& area) const {
    if (!hasArea(area)) return 0;
    std::int64_t runs = 0;
    forListsOver(area, [&](const std::vector<std::uint32_t>& list) { runs += static_cast<std::int64_t>(list.size()); });
    return runs;
}

void ObstacleIndex::collectFromCell(const std::vector<std::uint32_t>& runs, const Rect& area) const {
    // Without a branch on what each run holds, which a crowded map makes
    // hard to foretell: every run is written after those found, and the
    // count grows only by those to keep.
    if (found_.size() < foundCount_ + runs.size()) found_.resize(std::max(2 * found_.size(), foundCount_ + runs.size()));
    Run* const out = found_.data() + foundCount_;
    std::size_t n = 0;
    for (const std::uint32_t first : runs) {
        if (lastVisit_[first] == visits_) continue;
        lastVisit_[first] = visits_;
        const Rect& r = entries_[first];
        const bool overlaps = (r.left < area.right) & (r.right > area.left) & (r.top < area.bottom) & (r.bottom > area.top);
        out[n] = {first, runLength_[first]};
        n += static_cast<std::size_t>(overlaps);
    }
    foundCount_ += n;
}

void ObstacleIndex::collect(const Rect& area) const {
    foundCount_ = 0;
    if (!hasArea(area)) return;
    lastVisit_.resize(entries_.size(), 0);
    // cppcheck-suppress knownConditionTrueFalse ; the count wraps after 2^32 visits
    if (++visits_ == 0) {  // the count wrapped: forget every earlier visit
        std::fill(lastVisit_.begin(), lastVisit_.end(), 0);
        visits_ = 1;
    }
    forListsOver(area, [&](const std::vector<std::uint32_t>& list) { collectFromCell(list, area); });
}

}  // namespace orvex
