#include "place/label_search.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvex {

namespace {

Rect boundingBox(const Rect& a, const Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace

// The candidates of one object: in their order, ring by ring, or by block.
class LabelSearch::Walk {
public:
    Walk(CandidateRings& rings, LeaderBoxes& leaders, PixelPoint anchor, int iconHalfWidth, int width, int height)
        : rings_(rings), leaders_(leaders), anchor_(anchor), iconHalfWidth_(iconHalfWidth), width_(width),
          height_(height) {}

    // Calls visit(label, candidate, k) for each candidate in order until
    // visit returns false; returns the place k of the last one visited
    // then, or nothing when every candidate was seen.
    template <class Visit>
    std::optional<int> inOrder(Visit visit) const {
        for (int r = 0; r < RINGS; ++r) {
            for (const Candidate& c : rings_.ring(iconHalfWidth_ + r).list) {
                const int k = r * ANGLES + c.angle;
                if (!visit(CandidateRings::labelOf(anchor_, iconHalfWidth_ + r, c, width_, height_), c, k)) return k;
            }
        }
        return std::nullopt;
    }

    const std::vector<const Band*>& bands() const { return rings_.bands(iconHalfWidth_); }

    // Calls visit(label, candidate, k) for each candidate of the block that
    // lies on one of the object's rings.
    template <class Visit>
    void inBlock(const Band& band, const CandidateBlock& b, Visit visit) const {
        for (auto i = static_cast<std::size_t>(b.first); i < static_cast<std::size_t>(b.last); ++i) {
            const BandCandidate& p = band.list[i];
            const int r = p.radius - iconHalfWidth_;
            if (r < 0 || r >= RINGS) continue;
            visit(CandidateRings::labelOf(anchor_, p.radius, p.c, width_, height_), p.c, r * ANGLES + p.c.angle);
        }
    }

    // Whether one of the block's candidates lies on one of the object's
    // rings.
    bool holdsRingOf(const CandidateBlock& b) const {
        return b.radiusMax >= iconHalfWidth_ && b.radiusMin < iconHalfWidth_ + RINGS;
    }

    // The pixels every label of the block holds, and the box every leader
    // box of it holds.
    Rect coreOf(const CandidateBlock& b) const { return CandidateRings::blockCore(anchor_, b, width_, height_); }
    Rect firstLabelOf(const CandidateBlock& b) const { return CandidateRings::blockFirstLabel(anchor_, b, width_, height_); }
    Rect leaderCoreOf(const CandidateBlock& b) const { return CandidateRings::blockLeaderCore(anchor_, b); }

    Rect leaderOf(const Rect& label, const Candidate& c, int k) const { return leaders_.of(anchor_, label, c, k); }

private:
    CandidateRings& rings_;
    LeaderBoxes& leaders_;
    PixelPoint anchor_;
    int iconHalfWidth_, width_, height_;
};

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
    lastWasCostly_ = false;
    if (preferred) {
        bool free = true;
        obstacles.visitOverlappingAnyOrder({preferred->x, preferred->y, preferred->x + width, preferred->y + height},
                                           [&](const Rect&, std::int64_t) { free = false; });
        if (free) return *preferred;
    }

    const Rect region = regionOf(anchor, iconHalfWidth, width, height);
    const std::int64_t regionArea = rectOverlapArea(region, region);
    leaders_.useSize(iconHalfWidth, width, height);
    Walk walk(rings_, leaders_, anchor, iconHalfWidth, width, height);

    // Few obstacles near: direct sums, while their work stays below a share
    // of what the coverage's table costs; else the coverage.
    Best best;
    int seen = -1;  // the candidates up to this place are scored
    // Where direct sums have ended without an answer for several objects
    // in a row, as on a map where no label finds a free place, they are
    // tried again only now and then.
    const bool few = obstacles.runsAround(region) <= regionArea / 32 && directSums_.due();
    if (few) {
        direct_.gather(region, obstacles);
        if (direct_.count() >= EXACT_SUM_LIMIT / (2 * regionArea + 1)) return inListOrder(walk, region, obstacles);
        direct_.merge();
        const std::optional<int> last = byDirectSums(walk, best, regionArea / 32);
        if (!last || best.score == 0) {
            directSums_.tried(true);
            return best.corner;
        }
        directSums_.tried(false);
        seen = *last;
    }
    lastWasCostly_ = true;
    coverage_.build(region, obstacles);
    if (best.score == INT64_MAX && 2 * coverage_.sum(region) >= EXACT_SUM_LIMIT)
        return inListOrder(walk, region, obstacles);
    // A leader runs to a side's midpoint, seldom farther than half the
    // label's side beyond its point (boxes beyond get no count); the
    // crossings are counted among the obstacles within that reach.
    const int reach = iconHalfWidth + RINGS;
    const int reachX = reach + 1 + (width + 1) / 2, reachY = reach + 1 + (height + 1) / 2;
    if (!few) direct_.gather({anchor.x - reachX, anchor.y - reachY, anchor.x + reachX, anchor.y + reachY}, obstacles);
    crossings_.reset(anchor, reachX, reachY, direct_.near());
    return byCoverage(walk, seen, best, obstacles);
}

Rect LabelSearch::regionOf(PixelPoint anchor, int iconHalfWidth, int width, int height) {
    // Every candidate and its leader lie within this region round the
    // object; an obstacle counts only by its part inside it.
    const int reach = iconHalfWidth + RINGS;
    return {anchor.x - reach - width, anchor.y - reach - height, anchor.x + reach + width, anchor.y + reach + height};
}

Rect LabelSearch::readArea(PixelPoint anchor, int iconHalfWidth, int width, int height,
                           std::optional<PixelPoint> preferred) {
    // The scores count obstacles only by their parts inside the region;
    // the counts of obstacles over leader boxes, which reach a little
    // beyond it, bound scores and choose only which are worked out.
    const Rect region = regionOf(anchor, iconHalfWidth, width, height);
    if (!preferred) return region;
    return boundingBox(region, {preferred->x, preferred->y, preferred->x + width, preferred->y + height});
}

// The sums in list order, for an object whose sums could reach 2^49.
PixelPoint LabelSearch::inListOrder(const Walk& walk, const Rect& region, const ObstacleIndex& obstacles) {
    std::vector<Rect> inOrder;
    obstacles.visitOverlapping(region, [&](const Rect& o) { inOrder.push_back(o); });
    Best best;
    walk.inOrder([&](const Rect& label, const Candidate& c, int k) {
        const std::int64_t s = orderedScore(label, walk.leaderOf(label, c, k), inOrder, best.score);
        if (s < best.score) best = {s, k, {label.left, label.top}};
        return s != 0;
    });
    return best.corner;
}

std::optional<int> LabelSearch::byDirectSums(const Walk& walk, Best& best, std::int64_t share) {
    std::int64_t work = 0;
    return walk.inOrder([&](const Rect& label, const Candidate& c, int k) {
        work += direct_.size();
        const std::int64_t a = direct_.areaPart(label, best.score);
        if (a < best.score) {
            const std::int64_t s = a + direct_.leaderPart(walk.leaderOf(label, c, k), best.score - a);
            if (s < best.score) best = {s, k, {label.left, label.top}};
        }
        return best.score != 0 && work <= share;
    });
}

// Two passes over the candidates from `at` on. The first takes each one's
// area part A from the coverage, and for those that may still win, the
// coverage C over its leader box and the number n of obstacles over it:
// its score lies between A + ceil((3C - 9n) / 10) and A + floor(3C / 10)
// (exactly A when C is below 4: no obstacle then covers 4 pixels of the
// box, and 0.3 x 3 truncates to 0). The least upper bound bounds the
// answer's score; a group whose core's coverage lies above it, or a
// candidate whose lower bound does, cannot win. The groups of least core
// coverage go first, so that the bound is low early. A group that may win
// is then bounded more tightly, by the least area part over its points' box
// in place of its core's coverage, before its candidates are looked at.
// The second pass scores the candidates left exactly, lowest lower bound
// first, until the lower bounds pass the best score.
PixelPoint LabelSearch::byCoverage(const Walk& walk, int seen, Best& best, const ObstacleIndex& obstacles) {
    std::int64_t limit = best.score;  // the answer's score is at most this
    auto consider = [&](std::int64_t s, int k, const Rect& label) {
        if (best.beatenBy(s, k)) best = {s, k, {label.left, label.top}};
        limit = std::min(limit, s);
    };
    maybe_.clear();
    // The least the leader part of a box that holds `box` can be.
    auto leastLeaderPart = [&](const Rect& box, std::int64_t covered) -> std::int64_t {
        const std::optional<std::int64_t> n = crossings_.count(box);
        return n ? std::max<std::int64_t>(0, (3 * covered - 9 * *n + 9) / 10) : 0;
    };
    auto look = [&](const Rect& label, const Candidate& c, int k) {
        if (k <= seen) return;
        const std::int64_t a = coverage_.sum(label);
        if (a > limit) return;
        const Rect leader = walk.leaderOf(label, c, k);
        const std::int64_t covered = coverage_.sum(leader);
        if (covered < 4) {
            consider(a, k, label);
            return;
        }
        const std::int64_t high = a + 3 * covered / 10, low = a + leastLeaderPart(leader, covered);
        if (low == high) {
            consider(high, k, label);
            return;
        }
        limit = std::min(limit, high);
        if (low <= limit) maybe_.push_back({k, label, leader, a, low});
    };
    const std::vector<const Band*>& bands = walk.bands();
    auto blockOf = [&](const BlockAt& b) -> const CandidateBlock& {
        return bands[static_cast<std::size_t>(b.band)]->blocks[static_cast<std::size_t>(b.index)];
    };
    // A block's bound is its core's coverage, to which the least leader part
    // of its leader core is added only for a block that the core alone does
    // not rule out.
    auto addLeaderPart = [&](BlockAt& b) {
        const Rect leaderCore = walk.leaderCoreOf(blockOf(b));
        const std::int64_t covered = coverage_.sum(leaderCore);
        if (covered >= 4) b.least += leastLeaderPart(leaderCore, covered);
    };
    // The labels of a block have their top-left corners in one box, the
    // box of its points moved by the label's size on the sides it extends
    // to; no place there inside the region means the block holds no
    // candidate.
    auto visit = [&](const BlockAt& b) {
        const CandidateBlock& block = blockOf(b);
        const std::int64_t least = coverage_.leastSum(walk.firstLabelOf(block), block.dxMax - block.dxMin + 1,
                                                      block.dyMax - block.dyMin + 1);
        if (least == INT64_MAX || b.least - b.core + least > limit) return;
        walk.inBlock(*bands[static_cast<std::size_t>(b.band)], block, look);
    };
    // A band's blocks of rings beyond the object's hold no candidate of it,
    // and their labels may reach past the region.
    order_.clear();
    for (std::size_t j = 0; j < bands.size(); ++j) {
        for (std::size_t i = 0; i < bands[j]->blocks.size(); ++i) {
            const CandidateBlock& b = bands[j]->blocks[i];
            if (!walk.holdsRingOf(b)) continue;
            const std::int64_t core = coverage_.sum(walk.coreOf(b));
            order_.push_back({core, core, static_cast<std::int32_t>(j), static_cast<std::int32_t>(i)});
        }
    }
    // The blocks of least core coverage first, by their whole bound, for a
    // low limit early; then the others.
    const auto first = order_.begin() + static_cast<std::ptrdiff_t>(std::min(order_.size(), LEAST_FIRST));
    auto byLeast = [](const BlockAt& x, const BlockAt& y) { return x.least < y.least; };
    std::nth_element(order_.begin(), first, order_.end(), byLeast);
    std::for_each(order_.begin(), first, addLeaderPart);
    std::sort(order_.begin(), first, byLeast);
    for (auto b = order_.begin(); b != order_.end(); ++b) {
        if (b >= first) {
            if (b->least > limit) continue;
            addLeaderPart(*b);
        }
        if (b->least <= limit) visit(*b);
    }

    std::sort(maybe_.begin(), maybe_.end(),
              [](const Seen& x, const Seen& y) { return x.low < y.low || (x.low == y.low && x.k < y.k); });
    for (const Seen& m : maybe_) {
        if (m.low > best.score) break;
        if (m.low == best.score && m.k > best.k) continue;
        consider(m.area + CoverageScorer::leaderPart(m.leader, obstacles), m.k, m.label);
    }
    return best.corner;
}

}  // namespace orvex
