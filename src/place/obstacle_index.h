// The obstacles: the rectangles already covered by drawing, which the label
// and title searches try to keep clear of. Rectangles are stored unchanged,
// in the order they were added, and found through a grid of square cells
// over the map, so that a search near one place looks only at the
// rectangles near it.
#pragma once

#include "base/geometry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class ObstacleIndex {
public:
    // An index for a map of mapWidth x mapHeight pixels. Rectangles may lie
    // anywhere: those beyond the map are kept in its border cells.
    ObstacleIndex(int mapWidth, int mapHeight);
    // An index of one cell, for a handful of rectangles.
    ObstacleIndex() : ObstacleIndex(0, 0) {}

    void add(const Rect& r);

    int size() const { return static_cast<int>(entries_.size()); }

    // Calls visit(rect) for every rectangle that overlaps area (shares a
    // positive area with it), in the order they were added. Not reentrant:
    // visit must not query the index.
    template <class Visit>
    void visitOverlapping(const Rect& area, Visit visit) const {
        if (area.right <= area.left || area.bottom <= area.top) return;
        found_.clear();
        const CellRange cells = cellRange(area);
        for (int row = cells.firstRow; row <= cells.lastRow; ++row)
            for (int column = cells.firstColumn; column <= cells.lastColumn; ++column)
                for (std::uint32_t id : cells_[static_cast<std::size_t>(row) * columns_ + column])
                    if (rectOverlapArea(entries_[id], area) > 0) found_.push_back(id);
        // A rectangle over several cells is found once in each of them.
        std::sort(found_.begin(), found_.end());
        found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
        for (std::uint32_t id : found_) visit(entries_[id]);
    }

    // Every rectangle, in the order they were added.
    const std::vector<Rect>& all() const { return entries_; }

private:
    static constexpr int CELL_SHIFT = 5;  // cells of 32 x 32 pixels

    struct CellRange {
        int firstColumn, lastColumn, firstRow, lastRow;
    };

    // The cells holding the pixels of r (right and bottom excluded),
    // clamped to the grid. r must have a positive area.
    CellRange cellRange(const Rect& r) const;

    int columns_, rows_;
    std::vector<Rect> entries_;
    std::vector<std::vector<std::uint32_t>> cells_;  // ids of the rectangles over each cell
    mutable std::vector<std::uint32_t> found_;
};
