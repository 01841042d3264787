#include "place/candidate_rings.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

// Beyond this radius the offsets would not fit their table.
constexpr double OFFSET_LIMIT = 30000;
// A ring's candidates are numbered, and their offsets kept, in 16 bits.
static_assert(ANGLES <= INT16_MAX && OFFSET_LIMIT + 1 <= INT16_MAX);
// Candidates are put in blocks of points within a box this many pixels
// across and down.
constexpr int BLOCK_W = 8, BLOCK_H = 4;
// The most bands kept at once.
constexpr std::size_t KEPT_BANDS = 1024;

int floorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

struct Direction {
    double cosine, sine;
};

// The candidates' directions, one per degree.
const std::array<Direction, ANGLES>& directions() {
    static const std::array<Direction, ANGLES> table = [] {
        std::array<Direction, ANGLES> t{};
        for (int j = 0; j < ANGLES; ++j) {
            const double theta = degreeAngle(j);
            t[static_cast<std::size_t>(j)] = {std::cos(theta), std::sin(theta)};
        }
        return t;
    }();
    return table;
}

// Which way the label extends from its point at angle j: away from the
// object.
int sideX(int j) { return j <= 90 || j > 270 ? 1 : -1; }
int sideY(int j) { return j <= 180 ? 1 : -1; }

// The label whose point lies dx, dy from the anchor, extending to the sides
// given.
Rect labelAt(PixelPoint anchor, int dx, int dy, int sideX, int sideY, int width, int height) {
    const int x = anchor.x + dx + (sideX > 0 ? 0 : -width), y = anchor.y + dy + (sideY > 0 ? 0 : -height);
    return {x, y, x + width, y + height};
}

}  // namespace

Rect CandidateRings::labelOf(PixelPoint anchor, int radius, const Candidate& c, int width, int height) {
    const int j = c.angle;
    if (c.exact) {
        const Direction& d = directions()[static_cast<std::size_t>(j)];
        const int x = roundToInt(anchor.x + radius * d.cosine);
        const int y = roundToInt(anchor.y + radius * d.sine);
        return rectFromCorners(x, y, x + sideX(j) * width, y + sideY(j) * height);
    }
    return labelAt(anchor, c.dx, c.dy, sideX(j), sideY(j), width, height);
}

Rect CandidateRings::blockFirstLabel(PixelPoint anchor, const CandidateBlock& b, int width, int height) {
    return labelAt(anchor, b.dxMin, b.dyMin, b.sideX, b.sideY, width, height);
}

Rect CandidateRings::blockCore(PixelPoint anchor, const CandidateBlock& b, int width, int height) {
    const int left = b.sideX > 0 ? b.dxMax : b.dxMax - width, right = b.sideX > 0 ? b.dxMin + width : b.dxMin;
    const int top = b.sideY > 0 ? b.dyMax : b.dyMax - height, bottom = b.sideY > 0 ? b.dyMin + height : b.dyMin;
    if (right <= left || bottom <= top) return {anchor.x, anchor.y, anchor.x, anchor.y};
    return {anchor.x + left, anchor.y + top, anchor.x + right, anchor.y + bottom};
}

Rect CandidateRings::blockLeaderCore(PixelPoint anchor, const CandidateBlock& b) {
    const int dx = b.sideX > 0 ? std::max<int>(b.dxMin, 0) : std::min<int>(b.dxMax, 0);
    const int dy = b.sideY > 0 ? std::max<int>(b.dyMin, 0) : std::min<int>(b.dyMax, 0);
    return rectFromCorners(anchor.x, anchor.y, anchor.x + dx, anchor.y + dy);
}

const Ring& CandidateRings::ring(int radius) {
    Ring& ring = rings_[radius];
    if (!ring.list.empty()) return ring;
    // A candidate's point is the object's anchor moved by the rounded ring
    // offset: adding a whole coordinate first changes nothing, except for an
    // offset that lies near a half, which is worked out from the object's
    // position instead.
    Candidate before{};
    for (int j = 0; j < ANGLES; ++j) {
        const Direction& d = directions()[static_cast<std::size_t>(j)];
        const double tx = radius * d.cosine, ty = radius * d.sine;
        const Candidate c{static_cast<std::int16_t>(j), static_cast<std::int16_t>(roundToInt(tx)),
                          static_cast<std::int16_t>(roundToInt(ty)),
                          isNearHalf(tx) || isNearHalf(ty) || radius > OFFSET_LIMIT};
        const bool sameSides = j > 0 && sideX(j) == sideX(j - 1) && sideY(j) == sideY(j - 1);
        const bool repeat = sameSides && !c.exact && !before.exact && c.dx == before.dx && c.dy == before.dy;
        before = c;
        if (!repeat) ring.list.push_back(c);
    }
    ring.list.shrink_to_fit();
    return ring;
}

const std::vector<const Band*>& CandidateRings::bands(int first) {
    const int firstBand = first / BAND_RINGS, lastBand = (first + RINGS - 1) / BAND_RINGS;
    // Bands are kept for the radii in use; far more than a map's icons need
    // means they are dropped and made again as asked for.
    if (bands_.size() + static_cast<std::size_t>(lastBand - firstBand + 1) > KEPT_BANDS) bands_.clear();
    asked_.clear();
    for (int i = firstBand; i <= lastBand; ++i) {
        auto [at, isNew] = bands_.try_emplace(i);
        if (isNew) at->second = makeBand(i);
        asked_.push_back(&at->second);
    }
    return asked_;
}

Band CandidateRings::makeBand(int index) {
    // Each candidate goes to the block of its sides and of the square of
    // BLOCK_W x BLOCK_H offsets its point lies in.
    struct Keyed {
        std::array<int, 4> block;
        BandCandidate candidate;
    };
    std::vector<Keyed> keyed;
    for (int radius = index * BAND_RINGS; radius < (index + 1) * BAND_RINGS; ++radius)
        for (const Candidate& c : ring(radius).list)
            keyed.push_back({{sideX(c.angle), sideY(c.angle), floorDiv(c.dx, BLOCK_W), floorDiv(c.dy, BLOCK_H)},
                             {static_cast<std::int16_t>(radius), c}});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.block < b.block; });
    Band band;
    for (std::size_t i = 0; i < keyed.size();) {
        CandidateBlock b{static_cast<std::int32_t>(i), 0, INT16_MAX, INT16_MIN, INT16_MAX, INT16_MIN, INT16_MAX, INT16_MIN,
                         static_cast<std::int8_t>(keyed[i].block[0]), static_cast<std::int8_t>(keyed[i].block[1])};
        int dxMin = INT16_MAX, dxMax = INT16_MIN, dyMin = INT16_MAX, dyMax = INT16_MIN;
        int radiusMin = INT16_MAX, radiusMax = INT16_MIN;
        const std::array<int, 4> block = keyed[i].block;
        for (; i < keyed.size() && keyed[i].block == block; ++i) {
            const Candidate& c = keyed[i].candidate.c;
            const int off = c.exact ? 1 : 0;
            dxMin = std::min(dxMin, c.dx - off), dxMax = std::max(dxMax, c.dx + off);
            dyMin = std::min(dyMin, c.dy - off), dyMax = std::max(dyMax, c.dy + off);
            radiusMin = std::min<int>(radiusMin, keyed[i].candidate.radius);
            radiusMax = std::max<int>(radiusMax, keyed[i].candidate.radius);
            band.list.push_back(keyed[i].candidate);
        }
        b.last = static_cast<std::int32_t>(i);
        b.dxMin = static_cast<std::int16_t>(dxMin), b.dxMax = static_cast<std::int16_t>(dxMax);
        b.dyMin = static_cast<std::int16_t>(dyMin), b.dyMax = static_cast<std::int16_t>(dyMax);
        b.radiusMin = static_cast<std::int16_t>(radiusMin), b.radiusMax = static_cast<std::int16_t>(radiusMax);
        band.blocks.push_back(b);
    }
    return band;
}

Rect leaderBox(PixelPoint anchor, const Rect& label) {
    const PixelPoint m = nearestEdgeMidpoint(label, anchor.x, anchor.y);
    return rectFromCorners(anchor.x, anchor.y, m.x, m.y);
}

void LeaderBoxes::useSize(int iconHalfWidth, int width, int height) {
    const std::array<int, 3> size{iconHalfWidth, width, height};
    if (slots_.empty()) slots_.resize(static_cast<std::size_t>(RINGS) * ANGLES);
    if (size == size_) return;
    size_ = size;
    // Forget every slot at once: only slots of the current generation count.
    // cppcheck-suppress knownConditionTrueFalse ; the count wraps after 2^32 sizes
    if (++generation_ == 0) {
        for (Slot& slot : slots_) slot.generation = 0;
        generation_ = 1;
    }
}

Rect LeaderBoxes::of(PixelPoint anchor, const Rect& label, const Candidate& c, int k) {
    if (c.exact) return leaderBox(anchor, label);
    Slot& slot = slots_[static_cast<std::size_t>(k)];
    if (slot.generation != generation_) {
        const Rect box = leaderBox(anchor, label);
        slot = {static_cast<std::int16_t>(box.left - anchor.x), static_cast<std::int16_t>(box.top - anchor.y),
                static_cast<std::int16_t>(box.right - anchor.x), static_cast<std::int16_t>(box.bottom - anchor.y),
                generation_};
    }
    return {anchor.x + slot.left, anchor.y + slot.top, anchor.x + slot.right, anchor.y + slot.bottom};
}

}  // namespace orvex
