#include "place/obstacle_index.h"

namespace {

int cellOf(int coordinate, int shift, int cellCount) {
    return std::clamp(coordinate >> shift, 0, cellCount - 1);
}

}  // namespace

ObstacleIndex::ObstacleIndex(int mapWidth, int mapHeight)
    : columns_(std::max(1, (mapWidth >> CELL_SHIFT) + 1)),
      rows_(std::max(1, (mapHeight >> CELL_SHIFT) + 1)),
      cells_(static_cast<std::size_t>(columns_) * rows_) {}

ObstacleIndex::CellRange ObstacleIndex::cellRange(const Rect& r) const {
    return {cellOf(r.left, CELL_SHIFT, columns_), cellOf(r.right - 1, CELL_SHIFT, columns_),
            cellOf(r.top, CELL_SHIFT, rows_), cellOf(r.bottom - 1, CELL_SHIFT, rows_)};
}

void ObstacleIndex::add(const Rect& r) {
    const auto id = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(r);
    // A rectangle without area overlaps nothing: it is only listed.
    if (r.right <= r.left || r.bottom <= r.top) return;
    const CellRange cells = cellRange(r);
    for (int row = cells.firstRow; row <= cells.lastRow; ++row)
        for (int column = cells.firstColumn; column <= cells.lastColumn; ++column)
            cells_[static_cast<std::size_t>(row) * columns_ + column].push_back(id);
}
