#include "place/label_scorers.h"

#include <algorithm>

namespace orvex {

namespace {

Rect intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

std::size_t hashOf(const Rect& r) {
    std::uint64_t h = static_cast<std::uint32_t>(r.left);
    for (int v : {r.top, r.right, r.bottom}) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(v);
    return static_cast<std::size_t>(h ^ (h >> 29));
}

}  // namespace

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

void DirectScorer::gather(const Rect& region, const ObstacleIndex& obstacles) {
    near_.clear();
    distinct_.clear();
    count_ = 0;
    obstacles.visitOverlappingAnyOrder(region, [&](const Rect& o, std::int64_t count) {
        near_.push_back({intersection(o, region), count});
        count_ += count;
    });
}

void DirectScorer::merge() {
    // Identical obstacles (after the cut) are kept once, with their count,
    // found through a table of at least twice as many slots.
    std::size_t slots = 16;
    while (slots < 2 * near_.size()) slots *= 2;
    slotOf_.assign(slots, -1);
    distinct_.clear();
    for (const CountedRect& o : near_) {
        std::size_t slot = hashOf(o.rect) & (slots - 1);
        while (slotOf_[slot] >= 0 && distinct_[static_cast<std::size_t>(slotOf_[slot])].rect != o.rect)
            slot = (slot + 1) & (slots - 1);
        if (slotOf_[slot] >= 0) {
            distinct_[static_cast<std::size_t>(slotOf_[slot])].count += o.count;
        } else {
            slotOf_[slot] = static_cast<std::int32_t>(distinct_.size());
            distinct_.push_back(o);
        }
    }
}

std::int64_t DirectScorer::areaPart(const Rect& label, std::int64_t limit) const {
    std::int64_t s = 0;
    for (const CountedRect& o : distinct_) {
        s += o.count * rectOverlapArea(o.rect, label);
        if (s >= limit) break;
    }
    return s;
}

std::int64_t DirectScorer::leaderPart(const Rect& leader, std::int64_t limit) const {
    std::int64_t s = 0;
    for (const CountedRect& o : distinct_) {
        s += o.count * (3 * rectOverlapArea(o.rect, leader) / 10);
        if (s >= limit) break;
    }
    return s;
}

std::int64_t CoverageScorer::leaderPart(const Rect& leader, const ObstacleIndex& obstacles) {
    std::int64_t s = 0;
    obstacles.visitOverlappingAnyOrder(
        leader, [&](const Rect& o, std::int64_t count) { s += count * (3 * rectOverlapArea(o, leader) / 10); });
    return s;
}

}  // namespace orvex
