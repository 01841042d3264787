// The map's layout: every rectangle the drawing covers that later labels
// and the title keep clear of, each object's icon square and track, and
// where each label and the title go. It needs no pixel: the places follow
// from the map's frame, the objects and the fonts' cell sizes alone, so a
// run, a check and a caller that wants the geometry lay the map out the same
// way, and the drawing stages paint what it says.
#pragma once

#include "base/geometry.h"
#include "place/obstacle_index.h"
#include "scenario/game_objects.h"
#include "scenario/header.h"

#include <optional>
#include <vector>

namespace orvex {

struct PlacedLabel {
    PixelPoint corner{};  // the text's top-left corner
    Rect text{};          // its rectangle, right and bottom included when drawn
    // The leader line, from the registered rectangle's side nearest the
    // anchor to the anchor; drawn only where the map has a leader colour.
    std::optional<Segment> leader;
};

struct ObjectLayout {
    PixelPoint anchor{};
    Rect icon{};                   // the icon's square
    std::vector<Segment> course;   // the track's or the thrust line's segments, in drawing order
    std::optional<PlacedLabel> label;  // none for an empty label
};

struct MapLayout {
    MapLayout(int width, int height) : obstacles(width, height) {}

    ObstacleIndex obstacles;            // every rectangle registered, in drawing order
    std::vector<ObjectLayout> objects;  // one per game object, in list order
    Rect title{};                       // the title's text rectangle
};

struct LayoutSettings {
    bool grid = false;
    bool realThrust = false;
    bool leaders = false;  // the map draws leader lines (LEADERCOLOR is set)
    // Per object, a place for its label given as the offset of its corner
    // from the anchor: taken when the label overlaps nothing there, else the
    // label is placed by the search. Empty, or unset for an object, for none.
    std::vector<std::optional<PixelPoint>> labelOffsets;
    // Search for labels on a second core where the process may run on one;
    // the places are the same either way.
    bool secondThread = true;
};

// Lays the map out in the order it is drawn: the axes and grid, then each
// object's track and icon, each label with its leader, and the title.
MapLayout layOutMap(const MapHeader& header, const std::vector<GameObject>& objects, const LayoutSettings& settings);

}  // namespace orvex
