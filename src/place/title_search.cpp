#include "place/title_search.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

namespace orvex {

namespace {

// The scores of one candidate row, for every column from `first` to
// `last`: the summed overlap areas of the title rectangle with the
// obstacles. Along a row, an obstacle's overlap is its height within the row
// times the overlap of two intervals, a trapezoid in x that four ramps
// make up; summing the ramps' slope changes gives every column's exact
// score in one pass.
class RowScores {
public:
    RowScores(int first, int last) : first_(first), last_(last), slopeChanges_(last - first + 1, 0) {}

    // Adds count obstacles o.
    void addObstacle(const Rect& o, std::int64_t count, int y, int width, int height) {
        const std::int64_t v = count * (std::min<std::int64_t>(o.bottom, y + height) - std::max(o.top, y));
        if (v <= 0 || o.right <= o.left) return;
        addRamp(static_cast<std::int64_t>(o.left) - width, v);
        addRamp(o.left, -v);
        addRamp(static_cast<std::int64_t>(o.right) - width, -v);
        addRamp(o.right, v);
    }

    // Calls visit(x, score) for each column, left to right.
    template <class Visit>
    void forEach(Visit visit) const {
        std::int64_t value = startValue_, slope = startSlope_;
        for (int x = first_; x <= last_; ++x) {
            visit(x, value);
            slope += slopeChanges_[x - first_];
            value += slope;
        }
    }

private:
    // Adds weight x max(0, x - a) to every column.
    void addRamp(std::int64_t a, std::int64_t weight) {
        if (a < first_) {
            startValue_ += weight * (first_ - a);
            startSlope_ += weight;
        } else if (a <= last_) {
            slopeChanges_[a - first_] += weight;
        }
    }

    int first_, last_;
    std::int64_t startValue_ = 0, startSlope_ = 0;
    std::vector<std::int64_t> slopeChanges_;
};

}  // namespace

Rect placeTitle(int textWidth, int charWidth, int lineHeight, int mapWidth, int mapHeight,
                const ObstacleIndex& obstacles) {
    if (lineHeight < 2 || textWidth < 0 || charWidth < 0)
        throw std::invalid_argument("the title search takes a line height of 2 or more and no negative width");
    const int step = lineHeight / 2;
    // Columns keep a character width clear of both sides.
    const int first = charWidth, last = mapWidth - textWidth - charWidth - 1;

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    Rect chosen = rectFromCorners(0, 0, textWidth, lineHeight);
    for (int y = step; y < mapHeight - 1.5 * lineHeight && first <= last; y += step) {
        RowScores scores(first, last);
        // Only obstacles that reach into the row, between the leftmost and
        // the rightmost candidate's reach, add to its scores: the ramps of
        // one wholly beside them cancel out.
        const Rect row{first - textWidth - 1, y, last + textWidth + 1, y + lineHeight};
        obstacles.visitOverlappingAnyOrder(
            row, [&](const Rect& o, std::int64_t count) { scores.addObstacle(o, count, y, textWidth, lineHeight); });
        scores.forEach([&](int x, std::int64_t score) {
            if (score < best) best = score, chosen = rectFromCorners(x, y, x + textWidth, y + lineHeight);
        });
    }
    return chosen;
}

}  // namespace orvex
