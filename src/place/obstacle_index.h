// The obstacles: the rectangles already covered by drawing, which the label
// and title searches try to keep clear of. Rectangles are stored unchanged,
// in the order they were added.
#pragma once

#include "base/geometry.h"

#include <vector>

class ObstacleIndex {
public:
    void add(const Rect& r) { entries_.push_back(r); }

    int size() const { return static_cast<int>(entries_.size()); }

    // Calls visit(rect) for every rectangle that overlaps area (shares a
    // positive area with it), in the order they were added.
    template <class Visit>
    void visitOverlapping(const Rect& area, Visit visit) const {
        for (const Rect& r : entries_)
            if (rectOverlapArea(r, area) > 0) visit(r);
    }

    // Every rectangle, in the order they were added.
    const std::vector<Rect>& all() const { return entries_; }

private:
    std::vector<Rect> entries_;
};
