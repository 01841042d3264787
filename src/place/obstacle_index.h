// The obstacles: the rectangles already covered by drawing, which the label
// and title searches try to keep clear of. Rectangles are stored unchanged,
// in the order they were added, and found through square cells, so that a
// search near one place looks only at the rectangles near it: a grid of
// cells over the map, cells made as needed beyond it, and one list of the
// few rectangles too large for cells. The same rectangle added several
// times in a row, as the icons of objects on one spot are, is listed once
// with its count.
#pragma once

#include "base/geometry.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvex {

class ObstacleIndex {
public:
    // An index for a map of mapWidth x mapHeight pixels; rectangles may lie
    // anywhere.
    ObstacleIndex(int mapWidth, int mapHeight);
    // An index with no grid, for a handful of rectangles.
    ObstacleIndex() : ObstacleIndex(0, 0) {}

    void add(const Rect& r);

    // Calls visit(rect) for every rectangle that overlaps area (shares a
    // positive area with it), in the order they were added. Not reentrant:
    // visit must not query the index.
    template <class Visit>
    void visitOverlapping(const Rect& area, Visit visit) const {
        collect(area);
        std::sort(found_.begin(), found_.end(), [](const Run& a, const Run& b) { return a.first < b.first; });
        for (const Run& run : found_)
            for (std::uint32_t k = 0; k < run.count; ++k) visit(entries_[run.first]);
    }

    // The same in no particular order, for callers whose result does not
    // depend on it: visit(rect, count) for count equal rectangles added in
    // a row.
    template <class Visit>
    void visitOverlappingAnyOrder(const Rect& area, Visit visit) const {
        collect(area);
        for (const Run& run : found_) visit(entries_[run.first], static_cast<std::int64_t>(run.count));
    }

    // Every rectangle, in the order they were added.
    const std::vector<Rect>& all() const { return entries_; }

private:
    // The rectangles first .. first + count - 1, all the same.
    struct Run {
        std::uint32_t first, count;
    };

    struct CellRange {
        std::int64_t firstColumn, lastColumn, firstRow, lastRow;
        std::int64_t count() const { return (lastColumn - firstColumn + 1) * (lastRow - firstRow + 1); }
    };

    // The cells holding the pixels of r (right and bottom excluded); r must
    // have a positive area.
    static CellRange cellRange(const Rect& r);
    bool inGrid(std::int64_t column, std::int64_t row) const {
        return column >= 0 && column < columns_ && row >= 0 && row < rows_;
    }
    static std::uint64_t cellKey(std::int64_t column, std::int64_t row) {
        return (static_cast<std::uint64_t>(column) << 32) ^ static_cast<std::uint32_t>(row);
    }
    // Lists id, whose rectangle is r, in a cell's list.
    void append(std::vector<Run>& list, std::uint32_t id, const Rect& r) const;
    void collectFromCell(const std::vector<Run>& runs, const Rect& area) const;
    // Fills found_ with the ids of the rectangles overlapping area, each
    // once, in no particular order.
    void collect(const Rect& area) const;

    int columns_, rows_;
    std::vector<Rect> entries_;
    std::vector<std::vector<Run>> grid_;                        // cells over the map
    std::unordered_map<std::uint64_t, std::vector<Run>> outer_;  // cells beyond it
    std::vector<Run> large_;                                   // too large for cells
    mutable std::vector<Run> found_;
    // A rectangle over several cells is met once in each: the number of the
    // visit that last met it keeps it from being taken twice. Equal
    // rectangles added in a row cover the same cells, so their runs are the
    // same in each, and the run's first rectangle stands for all.
    mutable std::vector<std::uint32_t> lastVisit_;
    mutable std::uint32_t visits_ = 0;
};

}  // namespace orvex
