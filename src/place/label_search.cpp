#include "place/label_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace orvex {

// Scores, reordered. The score of a candidate is defined by a running sum
// truncated after each obstacle in list order:
//     s = trunc(s + a + 0.3 x b)
// with a and b the obstacle's overlap with the label and with the leader's
// box. While the sums stay below 2^49, trunc(0.3 x b) in doubles equals
// floor(3b / 10), and trunc(c + p) = c + trunc(p) for a whole c. The score
// is then the plain sum of the per-obstacle terms a + floor(3b / 10), which
// can be added in any order, identical obstacles as count x term. The
// search takes that route when the obstacles near the object cannot reach
// the limit, and otherwise scores in list order.
//
// The area part, the sum of the a terms, is the obstacles' coverage summed
// over the label's pixels. Once the candidates need it often enough, it
// comes from a summed-area table of the coverage over the search region, in
// four look-ups; it is also a lower bound of the score, which lets most
// candidates be dropped against the best so far without their leader.

namespace {

constexpr int RINGS = 32;
constexpr int ANGLES = 360;
// Beyond this radius the offsets would not fit their table.
constexpr double OFFSET_LIMIT = 30000;
// A ring's candidates are numbered, and their offsets kept, in 16 bits.
static_assert(ANGLES <= INT16_MAX && OFFSET_LIMIT + 1 <= INT16_MAX);
// The most the anchor points of one group of candidates lie apart.
constexpr int GROUP_SPREAD = 2;
constexpr std::int64_t EXACT_SUM_LIMIT = std::int64_t{1} << 49;

struct Direction {
    double cosine, sine;
};

// The candidates' directions, one per degree.
const std::array<Direction, ANGLES>& directions() {
    static const std::array<Direction, ANGLES> table = [] {
        std::array<Direction, ANGLES> t{};
        for (int j = 0; j < ANGLES; ++j) {
            const double theta = degreeAngle(j);
            t[j] = {std::cos(theta), std::sin(theta)};
        }
        return t;
    }();
    return table;
}

// Which way the label extends from its anchor point at angle j: away from
// the object.
int sideX(int j) { return j <= 90 || j > 270 ? 1 : -1; }
int sideY(int j) { return j <= 180 ? 1 : -1; }

// The label's rectangle for the candidate on ring radius at angle j.
Rect candidateRect(PixelPoint anchor, double radius, int j, int width, int height) {
    const Direction& d = directions()[j];
    const int x = roundToInt(anchor.x + radius * d.cosine);
    const int y = roundToInt(anchor.y + radius * d.sine);
    return rectFromCorners(x, y, x + sideX(j) * width, y + sideY(j) * height);
}

Rect leaderBox(PixelPoint anchor, const Rect& label) {
    const PixelPoint m = nearestEdgeMidpoint(label, anchor.x, anchor.y);
    return rectFromCorners(anchor.x, anchor.y, m.x, m.y);
}

Rect intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// The score in list order, or any value not below `limit` once the score
// reaches it: no term is negative, so the score can only grow from there.
std::int64_t orderedScore(const Rect& label, const Rect& leader, const std::vector<Rect>& obstacles,
                          std::int64_t limit) {
    std::int64_t s = 0;
    for (const Rect& o : obstacles) {
        const std::int64_t a = rectOverlapArea(o, label);
        const std::int64_t b = rectOverlapArea(o, leader);
        s = static_cast<std::int64_t>(static_cast<double>(s + a) + 0.3 * static_cast<double>(b));
        if (s >= limit) break;
    }
    return s;
}

}  // namespace

void LabelSearch::CellLists::build(const Rect& region, const std::vector<CountedRect>& obstacles) {
    x0_ = region.left, y0_ = region.top;
    columns_ = ((region.right - region.left) >> CELL_SHIFT) + 1;
    rows_ = ((region.bottom - region.top) >> CELL_SHIFT) + 1;
    start_.assign(static_cast<std::size_t>(columns_) * rows_ + 1, 0);
    // Each obstacle's cells, found once; then counted, and then placed, so
    // that each cell's ids lie together. Locals throughout, as the stores
    // into the lists could alias the members.
    const int x0 = x0_, y0 = y0_;
    const auto columns = static_cast<std::size_t>(columns_);
    cells_.clear();
    for (const CountedRect& o : obstacles)
        cells_.push_back({(o.rect.left - x0) >> CELL_SHIFT, (o.rect.right - 1 - x0) >> CELL_SHIFT,
                          (o.rect.top - y0) >> CELL_SHIFT, (o.rect.bottom - 1 - y0) >> CELL_SHIFT});
    std::uint32_t* count = start_.data() + 1;
    for (const CellRange& c : cells_)
        for (int row = c.top; row <= c.bottom; ++row)
            for (int column = c.left; column <= c.right; ++column) ++count[static_cast<std::size_t>(row) * columns + column];
    for (std::size_t cell = 1; cell < start_.size(); ++cell) start_[cell] += start_[cell - 1];
    ids_.resize(start_.back());
    fill_.assign(start_.begin(), start_.end() - 1);
    std::uint32_t* fill = fill_.data();
    std::uint32_t* ids = ids_.data();
    for (std::size_t id = 0; id < cells_.size(); ++id) {
        const CellRange& c = cells_[id];
        for (int row = c.top; row <= c.bottom; ++row)
            for (int column = c.left; column <= c.right; ++column)
                ids[fill[static_cast<std::size_t>(row) * columns + column]++] = static_cast<std::uint32_t>(id);
    }
}

const LabelSearch::Ring& LabelSearch::ring(int radius) {
    Ring& ring = rings_[radius];
    if (!ring.list.empty()) return ring;
    // A candidate's anchor point is the object's anchor moved by the
    // rounded ring offset: adding a whole coordinate first changes nothing,
    // except for an offset that lies near a half, which is computed from the
    // object's position instead.
    Candidate before{};
    for (int j = 0; j < ANGLES; ++j) {
        const double tx = radius * directions()[j].cosine, ty = radius * directions()[j].sine;
        const Candidate c{static_cast<std::int16_t>(j), static_cast<std::int16_t>(roundToInt(tx)),
                          static_cast<std::int16_t>(roundToInt(ty)),
                          isNearHalf(tx) || isNearHalf(ty) || radius > OFFSET_LIMIT};
        const bool sameSides = j > 0 && sideX(j) == sideX(j - 1) && sideY(j) == sideY(j - 1);
        const bool repeat = sameSides && !c.exact && !before.exact && c.dx == before.dx && c.dy == before.dy;
        before = c;
        if (repeat) continue;
        // Groups of neighbouring candidates whose anchor points lie within a
        // few pixels of each other. A repeated rectangle would have joined
        // the group of the one before it.
        const auto n = static_cast<std::int16_t>(ring.list.size());
        CandidateGroup* group = ring.groups.empty() ? nullptr : &ring.groups.back();
        const bool joins = group && sameSides && group->bounded && !c.exact &&
                           std::max(group->dxMax, c.dx) - std::min(group->dxMin, c.dx) <= GROUP_SPREAD &&
                           std::max(group->dyMax, c.dy) - std::min(group->dyMin, c.dy) <= GROUP_SPREAD;
        if (joins) {
            group->last = static_cast<std::int16_t>(n + 1);
            group->dxMin = std::min(group->dxMin, c.dx), group->dxMax = std::max(group->dxMax, c.dx);
            group->dyMin = std::min(group->dyMin, c.dy), group->dyMax = std::max(group->dyMax, c.dy);
        } else {
            ring.groups.push_back({n, static_cast<std::int16_t>(n + 1), c.dx, c.dx, c.dy, c.dy,
                                   static_cast<std::int8_t>(sideX(j)), static_cast<std::int8_t>(sideY(j)), !c.exact});
        }
        ring.list.push_back(c);
    }
    ring.list.shrink_to_fit();
    ring.groups.shrink_to_fit();
    return ring;
}

void LabelSearch::useLeaderSize(int iconHalfWidth, int width, int height) {
    const std::array<int, 3> size{iconHalfWidth, width, height};
    if (leaders_.empty()) leaders_.resize(static_cast<std::size_t>(RINGS) * ANGLES);
    if (size == leaderSize_) return;
    leaderSize_ = size;
    // Forget every slot at once: only slots of the current generation count.
    // cppcheck-suppress knownConditionTrueFalse ; the count wraps after 2^32 sizes
    if (++leaderGeneration_ == 0) {
        for (LeaderSlot& slot : leaders_) slot.generation = 0;
        leaderGeneration_ = 1;
    }
}

void LabelSearch::countDistinct(const Rect& region) {
    // Identical obstacles (after the cut) are kept once, with their count,
    // found through a table of at least twice as many slots.
    std::size_t size = 16;
    while (size < 2 * near_.size()) size *= 2;
    slotOf_.assign(size, -1);
    distinct_.clear();
    for (const CountedRect& o : near_) {
        const Rect cut = intersection(o.rect, region);
        std::size_t slot = hashOf(cut) & (size - 1);
        while (slotOf_[slot] >= 0 && distinct_[static_cast<std::size_t>(slotOf_[slot])].rect != cut)
            slot = (slot + 1) & (size - 1);
        if (slotOf_[slot] >= 0) {
            distinct_[static_cast<std::size_t>(slotOf_[slot])].count += o.count;
        } else {
            slotOf_[slot] = static_cast<std::int32_t>(distinct_.size());
            distinct_.push_back({cut, o.count});
        }
    }
}

PixelPoint placeLabel(PixelPoint anchor, int iconHalfWidth, int width, int height, const ObstacleIndex& obstacles) {
    LabelSearch search;
    return search.place(anchor, iconHalfWidth, width, height, obstacles);
}

PixelPoint LabelSearch::place(PixelPoint anchor, int iconHalfWidth, int width, int height,
                              const ObstacleIndex& obstacles, std::optional<PixelPoint> preferred) {
    if (width < 0 || height < 0 || iconHalfWidth < 0 ||
        static_cast<std::int64_t>(iconHalfWidth) + RINGS + std::max(width, height) >= MAX_LABEL_REACH)
        throw std::invalid_argument("the label search takes labels and icons reaching at most 32000 pixels");
    if (std::abs(static_cast<double>(anchor.x)) > MAX_PIXEL_OFFSET + 65536 ||
        std::abs(static_cast<double>(anchor.y)) > MAX_PIXEL_OFFSET + 65536)
        throw std::invalid_argument("the label search takes anchors within 2^28 pixels of the map");
    if (preferred) {
        bool free = true;
        obstacles.visitOverlappingAnyOrder({preferred->x, preferred->y, preferred->x + width, preferred->y + height},
                                           [&](const Rect&, std::int64_t) { free = false; });
        if (free) return *preferred;
    }

    // Every candidate and its leader lie within this region round the
    // object; an obstacle counts only by its part inside it.
    const int reach = iconHalfWidth + RINGS;
    const Rect region{anchor.x - reach - width, anchor.y - reach - height, anchor.x + reach + width,
                      anchor.y + reach + height};
    near_.clear();
    std::int64_t nearCount = 0;
    obstacles.visitOverlappingAnyOrder(region, [&](const Rect& o, std::int64_t count) {
        near_.push_back({o, count});
        nearCount += count;
    });

    // The candidates in order, ring by ring and each ring group by group;
    // visit takes the label's rectangle, the candidate and its place k in
    // that order. skipGroup may drop a whole group that cannot hold a better
    // candidate.
    std::array<const Ring*, RINGS> rings{};
    for (int r = 0; r < RINGS; ++r) rings[static_cast<std::size_t>(r)] = &ring(iconHalfWidth + r);
    auto forEachCandidate = [&](auto visit, auto skipGroup) {
        for (int r = 0; r < RINGS; ++r) {
            const Ring& candidates = *rings[static_cast<std::size_t>(r)];
            for (const CandidateGroup& group : candidates.groups) {
                if (skipGroup(group)) continue;
                // Where the group's labels lie from their anchor points.
                const int shiftX = group.sideX > 0 ? 0 : -width, shiftY = group.sideY > 0 ? 0 : -height;
                for (int n = group.first; n < group.last; ++n) {
                    const Candidate& c = candidates.list[static_cast<std::size_t>(n)];
                    const int k = r * ANGLES + c.angle;
                    if (c.exact) {
                        if (!visit(candidateRect(anchor, iconHalfWidth + r, c.angle, width, height), c, k)) return;
                        continue;
                    }
                    const int x = anchor.x + c.dx + shiftX, y = anchor.y + c.dy + shiftY;
                    if (!visit(Rect{x, y, x + width, y + height}, c, k)) return;
                }
            }
        }
    };
    auto skipNone = [](const CandidateGroup&) { return false; };
    // The leader's box of candidate k, whose place from the anchor is the
    // same for every object of the same icon and label size.
    useLeaderSize(iconHalfWidth, width, height);
    auto leaderOf = [&](const Rect& label, const Candidate& c, int k) {
        if (c.exact) return leaderBox(anchor, label);
        LeaderSlot& slot = leaders_[static_cast<std::size_t>(k)];
        if (slot.generation != leaderGeneration_) {
            const Rect box = leaderBox(anchor, label);
            slot = {static_cast<std::int16_t>(box.left - anchor.x), static_cast<std::int16_t>(box.top - anchor.y),
                    static_cast<std::int16_t>(box.right - anchor.x), static_cast<std::int16_t>(box.bottom - anchor.y),
                    leaderGeneration_};
        }
        return Rect{anchor.x + slot.left, anchor.y + slot.top, anchor.x + slot.right, anchor.y + slot.bottom};
    };

    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    PixelPoint chosen{anchor.x, anchor.y};
    auto consider = [&](const Rect& label, std::int64_t s) {
        if (s < best) best = s, chosen = {label.left, label.top};
        return s != 0;  // the first candidate that overlaps nothing ends the search
    };

    const std::int64_t regionArea = rectOverlapArea(region, region);
    if (nearCount >= EXACT_SUM_LIMIT / (2 * regionArea + 1)) {
        std::vector<Rect> inOrder;
        obstacles.visitOverlapping(region, [&](const Rect& o) { inOrder.push_back(o); });
        forEachCandidate([&](const Rect& label, const Candidate& c, int k) {
            return consider(label, orderedScore(label, leaderOf(label, c, k), inOrder, best));
        }, skipNone);
        return chosen;
    }

    countDistinct(region);

    // The leader's terms, summed until they reach `limit`.
    auto leaderPart = [&](const Rect& leader, std::int64_t limit) {
        std::int64_t s = 0;
        for (const CountedRect& o : distinct_) {
            const std::int64_t b = rectOverlapArea(o.rect, leader);
            s += o.count * (3 * b / 10);
            if (s >= limit) break;
        }
        return s;
    };
    auto areaPart = [&](const Rect& label, std::int64_t limit) {
        std::int64_t s = 0;
        for (const CountedRect& o : distinct_) {
            s += o.count * rectOverlapArea(o.rect, label);
            if (s >= limit) break;
        }
        return s;
    };

    // Summing over the obstacles directly is cheapest while few candidates
    // have been scored; past a share of the coverage table's cost, the
    // table, with the obstacles split for the leader's part: those kept
    // with a count of two or more are summed one by one, the others bounded
    // through the table and summed from cell lists only where the bound
    // could still win.
    const std::int64_t tableCost = regionArea / 32;
    std::int64_t directCost = 0;
    bool tableBuilt = false;
    std::int64_t lightCount = 0, totalCount = 0;
    auto buildTables = [&] {
        for (const CountedRect& o : distinct_) totalCount += o.count;
        coverage_.build(region, distinct_, totalCount);
        heavy_.clear();
        light_.clear();
        for (const CountedRect& o : distinct_) (o.count > 1 ? heavy_ : light_).push_back(o);
        lightCount = static_cast<std::int64_t>(light_.size());
        lightCells_.build(region, light_);
        tableBuilt = true;
    };
    // The leader's part from the tables, or any value not below `limit`.
    auto boundedLeaderPart = [&](const Rect& leader, std::int64_t limit) -> std::int64_t {
        const std::int64_t covered = coverage_.sum(leader);
        // No obstacle adds to the leader's part unless it covers 4 of its
        // pixels: 0.3 x 3 truncates to 0.
        if (covered < 4) return 0;
        // Each term, floor(3b / 10), is at least (3b - 9) / 10.
        const std::int64_t lower = 3 * covered - 9 * totalCount;
        if (lower > 0 && (lower + 9) / 10 >= limit) return (lower + 9) / 10;
        std::int64_t s = 0, heavyCovered = 0;
        for (const CountedRect& o : heavy_) {
            const std::int64_t b = rectOverlapArea(o.rect, leader);
            s += o.count * (3 * b / 10);
            heavyCovered += o.count * b;
        }
        const std::int64_t lightLower =
            3 * (covered - heavyCovered) - 9 * std::min(lightCount, lightCells_.countAtMost(leader));
        if (lightLower > 0) s += (lightLower + 9) / 10;
        if (s >= limit) return s;
        s = s - (lightLower > 0 ? (lightLower + 9) / 10 : 0);
        lightCells_.visit(leader, light_, [&](const CountedRect& o) {
            s += 3 * rectOverlapArea(o.rect, leader) / 10;
            return s < limit;
        });
        return s;
    };
    // Every label of a group holds the pixels all of them share, so the
    // coverage there bounds their area parts from below.
    auto groupCannotWin = [&](const CandidateGroup& g) {
        if (!tableBuilt || !g.bounded) return false;
        const int left = g.sideX > 0 ? g.dxMax : g.dxMax - width, right = g.sideX > 0 ? g.dxMin + width : g.dxMin;
        const int top = g.sideY > 0 ? g.dyMax : g.dyMax - height, bottom = g.sideY > 0 ? g.dyMin + height : g.dyMin;
        if (right <= left || bottom <= top) return false;
        return coverage_.sum({anchor.x + left, anchor.y + top, anchor.x + right, anchor.y + bottom}) >= best;
    };
    forEachCandidate([&](const Rect& label, const Candidate& c, int k) {
        if (!tableBuilt && directCost > tableCost) buildTables();
        if (tableBuilt) {
            const std::int64_t a = coverage_.sum(label);
            if (a >= best) return true;
            return consider(label, a + boundedLeaderPart(leaderOf(label, c, k), best - a));
        }
        directCost += static_cast<std::int64_t>(distinct_.size());
        const std::int64_t a = areaPart(label, best);
        if (a >= best) return true;
        return consider(label, a + leaderPart(leaderOf(label, c, k), best - a));
    }, groupCannotWin);
    return chosen;
}

}  // namespace orvex
