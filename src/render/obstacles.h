// Pixel rectangles and the obstacle list: the rectangles already covered by
// drawing, which the label and title searches try to keep clear of.
#pragma once

#include "render/projection.h"

#include <gd.h>

#include <cstdint>
#include <vector>

// Sides are coordinates: the overlap measure takes the width as
// right - left, while fading and gd's drawing include both sides.
struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

// The normalised rectangle with the two corners.
Rect rectFromCorners(int x1, int y1, int x2, int y2);

// r with every side moved out by m.
Rect rectGrow(const Rect& r, int m);

// The area two rectangles share; 0 when they only touch.
std::int64_t rectOverlapArea(const Rect& a, const Rect& b);

// The distance between two points, truncated.
int pointDistance(int x1, int y1, int x2, int y2);

// The midpoint of the side of r nearest to (x, y). Sides are tried left,
// bottom, right, top; a later one wins only when strictly nearer.
PixelPoint nearestEdgeMidpoint(const Rect& r, int x, int y);

// True for a horizontal or vertical segment, or a single point.
bool isAxisParallel(int x1, int y1, int x2, int y2);

// The rectangles registered so far, in drawing order, stored unchanged.
struct ObstacleList {
    std::vector<Rect> entries;
};

void obstacleAdd(ObstacleList& list, const Rect& r);
inline int obstacleCount(const ObstacleList& list) { return static_cast<int>(list.entries.size()); }
inline Rect obstacleGet(const ObstacleList& list, int i) { return list.entries[i]; }

// Draws the four sides of r with the image's current line style.
void rectOutline(gdImagePtr image, const Rect& r);

// Outlines every obstacle, in list order, with the current line style.
void drawObstacles(gdImagePtr image, const ObstacleList& list);
