// Where a label may go round its object: 32 rings, from the icon's half
// width outward one pixel at a time, of 360 candidates each, one a degree
// from due east clockwise (on the image, y downward). The label extends
// away from the object from its candidate's point. The geometry is worked
// out once per ring radius and shared by every object.
#pragma once

#include "base/geometry.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvex {

constexpr int RINGS = 32;
constexpr int ANGLES = 360;

// A candidate of one ring whose rectangle differs from the one before it
// (the same rectangle has the same score, which cannot beat the one before):
// its angle in degrees, and where its point lies from the object's anchor.
struct Candidate {
    std::int16_t angle, dx, dy;
    bool exact;  // near a half: worked out from the object's position
};

// The candidates on the ring of one radius, by angle.
struct Ring {
    std::vector<Candidate> list;
};

// A candidate of a band of rings, with the radius of its ring.
struct BandCandidate {
    std::int16_t radius;
    Candidate c;
};

// Candidates [first, last) of a band whose labels extend the same way and
// whose points lie within a few pixels of each other, with the range of
// their offsets (widened by a pixel for those worked out from the object's
// position, whose point may lie that much off their offset).
struct CandidateBlock {
    std::int32_t first, last;
    std::int16_t dxMin, dxMax, dyMin, dyMax;
    std::int16_t radiusMin, radiusMax;  // of its candidates' rings
    std::int8_t sideX, sideY;
};

// The candidates of the rings of BAND_RINGS neighbouring radii, by block.
struct Band {
    std::vector<BandCandidate> list;
    std::vector<CandidateBlock> blocks;
};

// The rings of radii [BAND_RINGS x i, BAND_RINGS x (i + 1)) make band i.
constexpr int BAND_RINGS = 4;

class CandidateRings {
public:
    // The ring of the radius, worked out the first time it is asked for.
    const Ring& ring(int radius);

    // The bands that hold the rings of radii [first, first + RINGS); kept
    // until the next call.
    const std::vector<const Band*>& bands(int first);

    // The label's rectangle of candidate c on the ring of the radius, for a
    // label of width x height pixels beside the object at anchor.
    static Rect labelOf(PixelPoint anchor, int radius, const Candidate& c, int width, int height);

    // The pixels every label of the block holds; an empty rectangle when
    // they share none.
    static Rect blockCore(PixelPoint anchor, const CandidateBlock& b, int width, int height);

    // The box from the anchor to the block's nearest point, which every
    // leader box of the block holds: a leader runs from the anchor to a side
    // of its label, and the label extends from its point away from the
    // anchor.
    static Rect blockLeaderCore(PixelPoint anchor, const CandidateBlock& b);

    // The label of the block's point nearest the top left, for a label of
    // width x height pixels: every label of the block is it moved by at
    // most dxMax - dxMin right and dyMax - dyMin down.
    static Rect blockFirstLabel(PixelPoint anchor, const CandidateBlock& b, int width, int height);

private:
    Band makeBand(int index);

    std::unordered_map<int, Ring> rings_;
    std::unordered_map<int, Band> bands_;
    std::vector<const Band*> asked_;
};

// The box of a candidate's leader line: from the anchor to the midpoint of
// the label's side nearest it.
Rect leaderBox(PixelPoint anchor, const Rect& label);

// The leader boxes of the candidates, by their place r x 360 + angle, as
// offsets from the anchor: the same for every object of one icon half width
// and label size, so they are kept while that size lasts.
class LeaderBoxes {
public:
    // Keeps the boxes when the size is the one before, else forgets them.
    void useSize(int iconHalfWidth, int width, int height);

    // The leader box of candidate c at place k, whose label is `label`.
    Rect of(PixelPoint anchor, const Rect& label, const Candidate& c, int k);

private:
    struct Slot {
        std::int16_t left, top, right, bottom;
        std::uint32_t generation;  // a slot of an older generation is not known
    };
    std::vector<Slot> slots_;
    std::array<int, 3> size_{-1, -1, -1};
    std::uint32_t generation_ = 1;
};

}  // namespace orvex
