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
#include "place/coverage_map.h"
#include "place/coverage_table.h"

#include <algorithm>
#include <cstdint>
#include <span>
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
    // A copy holds the same rectangles, with coverage tiles of its own.
    ObstacleIndex(const ObstacleIndex&) = default;
    ObstacleIndex& operator=(const ObstacleIndex&) = delete;
    ObstacleIndex(ObstacleIndex&&) = default;
    ObstacleIndex& operator=(ObstacleIndex&&) = default;
    ~ObstacleIndex() = default;

    void add(const Rect& r);

    // Calls visit(rect) for every rectangle that overlaps area (shares a
    // positive area with it), in the order they were added. Not reentrant:
    // visit must not query the index.
    template <class Visit>
    void visitOverlapping(const Rect& area, Visit visit) const {
        collect(area);
        const auto found = foundRuns();
        std::sort(found.begin(), found.end(), [](const Run& a, const Run& b) { return a.first < b.first; });
        for (const Run& run : found)
            for (std::uint32_t k = 0; k < run.count; ++k) visit(entries_[run.first]);
    }

    // The same in no particular order, for callers whose result does not
    // depend on it: visit(rect, count) for count equal rectangles added in
    // a row.
    template <class Visit>
    void visitOverlappingAnyOrder(const Rect& area, Visit visit) const {
        collect(area);
        for (const Run& run : foundRuns()) visit(entries_[run.first], static_cast<std::int64_t>(run.count));
    }

    // Every rectangle, in the order they were added.
    const std::vector<Rect>& all() const { return entries_; }

    // The summed-area table of the obstacles' coverage over the pixels of
    // region (right and bottom sides excluded): how many obstacles lie over
    // each pixel, summed.
    void coverageTable(const Rect& region, CoverageTable& table) const {
        coverage_.makeTiles(region, [this](const Rect& area, auto add) { visitOverlappingAnyOrder(area, add); });
        coverage_.table(region, table);
    }

    // At least as many as the runs of equal rectangles that overlap area
    // (some counted more than once): a cheap measure of how crowded it is.
    std::int64_t runsAround(const Rect& area) const;

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
    // Adds the runs of a cell's list that overlap area and were not met
    // before in this visit.
    void collectFromCell(const std::vector<std::uint32_t>& runs, const Rect& area) const;
    // Finds the runs of the rectangles overlapping area, each once, in no
    // particular order.
    void collect(const Rect& area) const;
    std::span<Run> foundRuns() const { return {found_.data(), foundCount_}; }

    // Calls f(list) for every list that may hold a rectangle overlapping
    // area, which has a positive area: the large ones, the strips and the
    // cells it reaches. Cells and strips beyond the map are looked up one by
    // one for a small area, or all gone through when that is fewer.
    template <class F>
    void forListsOver(const Rect& area, F f) const {
        f(large_);
        const CellRange cells = cellRange(area);
        columnStrips_.forRange(cells.firstColumn, cells.lastColumn, f);
        rowStrips_.forRange(cells.firstRow, cells.lastRow, f);
        const std::int64_t firstColumn = std::max<std::int64_t>(cells.firstColumn, 0);
        const std::int64_t lastColumn = std::min<std::int64_t>(cells.lastColumn, columns_ - 1);
        for (std::int64_t row = std::max<std::int64_t>(cells.firstRow, 0);
             row <= std::min<std::int64_t>(cells.lastRow, rows_ - 1); ++row)
            for (std::int64_t column = firstColumn; column <= lastColumn; ++column)
                f(grid_[static_cast<std::size_t>(row * columns_ + column)]);
        if (outer_.empty()) return;
        if (cells.count() > static_cast<std::int64_t>(outer_.size())) {
            for (const auto& [key, list] : outer_) f(list);
            return;
        }
        for (std::int64_t row = cells.firstRow; row <= cells.lastRow; ++row) {
            for (std::int64_t column = cells.firstColumn; column <= cells.lastColumn; ++column) {
                if (inGrid(column, row)) continue;
                if (const auto cell = outer_.find(cellKey(column, row)); cell != outer_.end()) f(cell->second);
            }
        }
    }

    int columns_, rows_;
    std::vector<Rect> entries_;
    // A cell lists the runs that reach into it by their first rectangle;
    // how many equal rectangles each run holds is kept once, so that one
    // more rectangle equal to the one added just before costs no cell.
    std::vector<std::uint32_t> runLength_;  // by the run's first rectangle; 0 for the others
    std::uint32_t lastRun_ = UINT32_MAX;   // the run the last rectangle added went into, if it has area
    std::vector<std::vector<std::uint32_t>> grid_;                        // cells over the map
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> outer_;  // cells beyond it
    // Rectangles tall over many cells, as grid lines are, are listed once by
    // each column of cells they reach, and wide ones by each row: a search
    // meets them once, and adding one costs its width or height alone.
    class Strips {
    public:
        explicit Strips(std::int64_t inside) : inside_(static_cast<std::size_t>(std::max<std::int64_t>(inside, 0))) {}
        void add(std::int64_t at, std::uint32_t id) {
            (at >= 0 && at < static_cast<std::int64_t>(inside_.size()) ? inside_[static_cast<std::size_t>(at)]
                                                                        : outside_[at])
                .push_back(id);
        }
        // Calls f(strip) for each strip from first to last: those over the
        // map one by one, those beyond it looked up one by one for a short
        // range, or all gone through when that is fewer.
        template <class F>
        void forRange(std::int64_t first, std::int64_t last, F f) const {
            const auto n = static_cast<std::int64_t>(inside_.size());
            for (std::int64_t at = std::max<std::int64_t>(first, 0); at <= std::min(last, n - 1); ++at)
                f(inside_[static_cast<std::size_t>(at)]);
            if (outside_.empty()) return;
            if (last - first + 1 > static_cast<std::int64_t>(outside_.size())) {
                for (const auto& [at, strip] : outside_)
                    if (at >= first && at <= last) f(strip);
                return;
            }
            for (std::int64_t at = first; at <= last; ++at) {
                if (at >= 0 && at < n) continue;
                if (const auto strip = outside_.find(at); strip != outside_.end()) f(strip->second);
            }
        }

    private:
        std::vector<std::vector<std::uint32_t>> inside_;
        std::unordered_map<std::int64_t, std::vector<std::uint32_t>> outside_;
    };
    Strips columnStrips_, rowStrips_;
    std::vector<std::uint32_t> large_;  // tall and wide
    // The runs the last collect found: the first foundCount_ of found_,
    // which only grows, so that collecting writes into it without a check.
    mutable std::vector<Run> found_;
    mutable std::size_t foundCount_ = 0;
    // A rectangle over several cells is met once in each: the number of the
    // visit that last met it keeps it from being taken twice. Equal
    // rectangles added in a row cover the same cells, so their runs are the
    // same in each, and the run's first rectangle stands for all.
    mutable std::vector<std::uint32_t> lastVisit_;
    mutable std::uint32_t visits_ = 0;
    // The coverage kept for the searches, made where they look.
    mutable CoverageMap coverage_;
};

}  // namespace orvex
