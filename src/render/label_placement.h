// Each object's label placed beside it, in list order, at the place the
// label search finds among the obstacles registered before it; each label
// and its leader become obstacles in turn.
//
// Where the machine has a second core, the next object's label is searched
// for there at the same time as the current one's, among the obstacles as
// they stand before the current label is registered. That answer is kept
// only when the current label and its leader lie clear of every obstacle
// the next search reads; otherwise it is searched for again. The places are
// the same either way: the second search only saves time, on maps where
// consecutive objects lie apart.
#pragma once

#include "render/layout.h"

namespace orvex {

// layout holds the obstacles so far and an entry per object.
void placeLabels(const std::vector<GameObject>& objects, const LayoutSettings& settings, MapLayout& layout);

}  // namespace orvex
